#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace loomara {

// What loomara-studio was started with: `loomara-studio [SETT | --name NAME]`.
struct StudioStart {
    QString sett;
    QString name;
    // Printed instead of opening the window: the help or the version (status 0), or why the
    // command line is refused (status 2).
    std::optional<QString> printed;
    int status = 0;
};

// The arguments after the program's name, those Qt itself takes already removed.
StudioStart readStudioStart(const QStringList& arguments);

} // namespace loomara
