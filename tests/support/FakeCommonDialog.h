#pragma once

#include "io/CommonDialog.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <vector>

namespace loomara {

// A Cd1 whose dialogs answer from a script, one answer per show call, and that records every
// setting and show in order ("DialogTitle=Picture Search", "ShowOpen", ...) and the settings
// each dialog was shown with.
class FakeCommonDialog final : public CommonDialog {
public:
    enum class Kind { Open, Save, Printer };

    // The settings a dialog was shown with.
    struct Shown {
        Kind kind;
        QString dialogTitle;
        QString filter;
        int filterIndex;
        QString initDir;
        QString fileName;
        int orientation;
    };

    // Scripted answers, used in the order given.
    void confirmFile(const QString& fileName) { answers_.push_back({false, fileName, 0}); }
    void confirmPrinter(int orientation) { answers_.push_back({false, QString(), orientation}); }
    void cancel() { answers_.push_back({true, QString(), 0}); }

    const QStringList& log() const { return log_; }
    const std::vector<Shown>& shown() const { return shown_; }
    void clearLog() { log_.clear(); }

    void setCancelError(bool on) override;
    void setFilter(const QString& filter) override;
    void setFilterIndex(int index) override;
    void setDialogTitle(const QString& title) override;
    void setInitDir(const QString& folder) override;
    void setFileName(const QString& name) override;
    void setOrientation(int code) override;

protected:
    std::optional<FileChoice> runFileDialog(FileDialogKind kind) override;
    std::optional<int> runPrinterDialog() override;

private:
    struct Answer {
        bool cancelled;
        QString fileName;
        int orientation;
    };

    Answer nextAnswer(Kind kind);

    std::deque<Answer> answers_;
    QStringList log_;
    std::vector<Shown> shown_;
};

} // namespace loomara
