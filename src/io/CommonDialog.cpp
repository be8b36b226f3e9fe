#include "io/CommonDialog.h"

namespace loomara {

DialogResult CommonDialog::showOpen() {
    return showFile(FileDialogKind::Open);
}

DialogResult CommonDialog::showSave() {
    return showFile(FileDialogKind::Save);
}

DialogResult CommonDialog::showFile(FileDialogKind kind) {
    const std::optional<FileChoice> choice = runFileDialog(kind);
    if (!choice) {
        return DialogResult::Cancelled;
    }
    fileName_ = choice->fileName;
    filterIndex_ = choice->filterIndex;
    return DialogResult::Confirmed;
}

DialogResult CommonDialog::showPrinter() {
    const std::optional<int> chosen = runPrinterDialog();
    if (!chosen) {
        return DialogResult::Cancelled;
    }
    orientation_ = *chosen;
    return DialogResult::Confirmed;
}

} // namespace loomara
