#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace loomara {

// One named-sett reference page: a window of its own holding the page's list, exactly as stored,
// in one editable multi-line box. Edits live only as long as the window.
class ReferencePage : public QWidget {
    Q_OBJECT

public:
    // page 1..6, in the order of the buttons on the main window.
    explicit ReferencePage(int page);

    int page() const { return page_; }
    QPlainTextEdit* text1() const { return text1_; }

private:
    int page_;
    QPlainTextEdit* text1_;
};

} // namespace loomara
