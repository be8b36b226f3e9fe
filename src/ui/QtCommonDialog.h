#pragma once

#include "io/CommonDialog.h"

#include <QPointer>
#include <QString>

class QPrinter;
class QWidget;

namespace loomara {

// Cd1 on the toolkit's own file dialog (not a desktop portal, so it behaves the same on every
// desktop) and its printer dialog. The printer dialog works on the window's one QPrinter, so
// the printer and orientation chosen stay for the run.
class QtCommonDialog final : public CommonDialog {
public:
    QtCommonDialog(QWidget* parent, QPrinter& printer);

protected:
    std::optional<FileChoice> runFileDialog(FileDialogKind kind) override;
    std::optional<int> runPrinterDialog() override;

private:
    QString startFolder() const;

    QPointer<QWidget> parent_;
    QPrinter& printer_;
    QString lastFolder_;
};

} // namespace loomara
