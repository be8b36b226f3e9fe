#pragma once

#include "io/Orientation.h"

#include <QString>

#include <optional>

namespace loomara {

enum class DialogResult { Confirmed, Cancelled };

// The main window's one common dialog, Cd1: the open, save and printer dialogs and the
// properties the File commands set before showing one and read afterwards. The properties
// persist between uses, as on the real control: a setting one command makes is still there
// for the next command unless that command sets it again.
//
// Every show call reports a cancel as its own result whatever CancelError holds, so a command
// can never mistake a cancel for a confirmation; CancelError is kept as the setting the
// commands make.
class CommonDialog {
public:
    CommonDialog() = default;
    CommonDialog(const CommonDialog&) = delete;
    CommonDialog& operator=(const CommonDialog&) = delete;
    virtual ~CommonDialog() = default;

    bool cancelError() const { return cancelError_; }
    virtual void setCancelError(bool on) { cancelError_ = on; }

    // File types as "Description|pattern|Description|pattern...", several patterns of one
    // entry separated by ';'.
    const QString& filter() const { return filter_; }
    virtual void setFilter(const QString& filter) { filter_ = filter; }

    // The file-type entry shown first, counted from 1.
    int filterIndex() const { return filterIndex_; }
    virtual void setFilterIndex(int index) { filterIndex_ = index; }

    const QString& dialogTitle() const { return dialogTitle_; }
    virtual void setDialogTitle(const QString& title) { dialogTitle_ = title; }

    const QString& initDir() const { return initDir_; }
    virtual void setInitDir(const QString& folder) { initDir_ = folder; }

    // The name field: shown when a file dialog opens, the full path of the chosen file after
    // a confirmation; a cancel leaves it as it was.
    const QString& fileName() const { return fileName_; }
    virtual void setFileName(const QString& name) { fileName_ = name; }

    // kPortrait or kLandscape: shown when the printer dialog opens, the user's choice after a
    // confirmation; a cancel leaves it as it was.
    int orientation() const { return orientation_; }
    virtual void setOrientation(int code) { orientation_ = code; }

    DialogResult showOpen();
    DialogResult showSave();
    DialogResult showPrinter();

protected:
    enum class FileDialogKind { Open, Save };

    struct FileChoice {
        QString fileName;
        int filterIndex = 1;
    };

    // The platform's dialogs, shown with the current settings; empty when the user cancels.
    virtual std::optional<FileChoice> runFileDialog(FileDialogKind kind) = 0;
    virtual std::optional<int> runPrinterDialog() = 0;

private:
    DialogResult showFile(FileDialogKind kind);

    bool cancelError_ = false;
    QString filter_;
    int filterIndex_ = 1;
    QString dialogTitle_;
    QString initDir_;
    QString fileName_;
    int orientation_ = kPortrait;
};

} // namespace loomara
