#pragma once

#include "app/RenderCommand.h"
#include "io/io_test_support.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace loomara::testing {

// One run of loomara-render in this process: its exit status and what it printed.
struct RenderRun {
    int status = -1;
    QString out;
    QString err;

    QStringList errLines() const { return err.split(u'\n', Qt::SkipEmptyParts); }
};

inline RenderRun render(const QStringList& arguments) {
    RenderRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = runRender(QStringList{"loomara-render"} + arguments, out, err);
    out.flush();
    err.flush();
    return run;
}

} // namespace loomara::testing
