#include "support/FakeCommonDialog.h"

#include <gtest/gtest.h>

namespace loomara {

void FakeCommonDialog::setCancelError(bool on) {
    log_ << QStringLiteral("CancelError=%1").arg(on ? "true" : "false");
    CommonDialog::setCancelError(on);
}

void FakeCommonDialog::setFilter(const QString& filter) {
    log_ << QStringLiteral("Filter=") + filter;
    CommonDialog::setFilter(filter);
}

void FakeCommonDialog::setFilterIndex(int index) {
    log_ << QStringLiteral("FilterIndex=%1").arg(index);
    CommonDialog::setFilterIndex(index);
}

void FakeCommonDialog::setDialogTitle(const QString& title) {
    log_ << QStringLiteral("DialogTitle=") + title;
    CommonDialog::setDialogTitle(title);
}

void FakeCommonDialog::setInitDir(const QString& folder) {
    log_ << QStringLiteral("InitDir=") + folder;
    CommonDialog::setInitDir(folder);
}

void FakeCommonDialog::setFileName(const QString& name) {
    log_ << QStringLiteral("FileName=") + name;
    CommonDialog::setFileName(name);
}

void FakeCommonDialog::setOrientation(int code) {
    log_ << QStringLiteral("Orientation=%1").arg(code);
    CommonDialog::setOrientation(code);
}

FakeCommonDialog::Answer FakeCommonDialog::nextAnswer(Kind kind) {
    static constexpr const char* kShowNames[] = {"ShowOpen", "ShowSave", "ShowPrinter"};
    log_ << QString::fromLatin1(kShowNames[static_cast<int>(kind)]);
    shown_.push_back(
        {kind, dialogTitle(), filter(), filterIndex(), initDir(), fileName(), orientation()});
    if (answers_.empty()) {
        ADD_FAILURE() << "a dialog was shown with no scripted answer left";
        return {true, QString(), 0};
    }
    const Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::optional<CommonDialog::FileChoice> FakeCommonDialog::runFileDialog(FileDialogKind kind) {
    const Answer answer = nextAnswer(kind == FileDialogKind::Open ? Kind::Open : Kind::Save);
    if (answer.cancelled) {
        return std::nullopt;
    }
    return FileChoice{answer.fileName, filterIndex()};
}

std::optional<int> FakeCommonDialog::runPrinterDialog() {
    const Answer answer = nextAnswer(Kind::Printer);
    if (answer.cancelled) {
        return std::nullopt;
    }
    return answer.orientation;
}

} // namespace loomara
