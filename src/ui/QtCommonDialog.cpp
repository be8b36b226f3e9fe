#include "ui/QtCommonDialog.h"

#include "io/DialogFilter.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>

namespace loomara {

QtCommonDialog::QtCommonDialog(QWidget* parent, QPrinter& printer)
    : parent_(parent), printer_(printer), lastFolder_(QDir::homePath()) {}

QString QtCommonDialog::startFolder() const {
    if (!initDir().isEmpty() && QFileInfo(initDir()).isDir()) {
        return initDir();
    }
    return lastFolder_;
}

std::optional<CommonDialog::FileChoice> QtCommonDialog::runFileDialog(FileDialogKind kind) {
    QFileDialog dialog(parent_, dialogTitle(), startFolder());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (kind == FileDialogKind::Open) {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    } else {
        // The name is used exactly as typed, and an existing file is replaced without asking.
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    const QStringList filters = nameFilters(filter());
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(filterIndex() - 1, filters.constFirst()));
    }
    if (!fileName().isEmpty()) {
        dialog.selectFile(fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    lastFolder_ = dialog.directory().absolutePath();
    const qsizetype chosenFilter = filters.indexOf(dialog.selectedNameFilter());
    return FileChoice{dialog.selectedFiles().constFirst(),
                      chosenFilter < 0 ? filterIndex() : static_cast<int>(chosenFilter) + 1};
}

std::optional<int> QtCommonDialog::runPrinterDialog() {
    printer_.setPageOrientation(orientation() == kLandscape ? QPageLayout::Landscape
                                                            : QPageLayout::Portrait);
    QPrintDialog dialog(&printer_, parent_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return printer_.pageLayout().orientation() == QPageLayout::Landscape ? kLandscape : kPortrait;
}

} // namespace loomara
