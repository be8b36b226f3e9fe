#pragma once

#include "reference/ReferencePages.h"

#include <array>
#include <memory>

namespace loomara {

class HelpPage;
class ReferencePage;

// The main window's secondary windows: the six reference pages and the help page. Each is a
// window of its own, without owner and not modal, created the first time it is shown. Showing
// an open window brings it to the front; showing a window the user has closed creates it afresh
// from its stored texts.
class SecondaryWindows {
public:
    SecondaryWindows();
    ~SecondaryWindows();
    SecondaryWindows(const SecondaryWindows&) = delete;
    SecondaryWindows& operator=(const SecondaryWindows&) = delete;

    // page 1..6, in the order of the main window's six page buttons.
    void showReferencePage(int page);
    void showHelp();

    // Closes and destroys every secondary window at once, without asking anything.
    void closeAll();

    // The window while it is open (shown and not closed by the user), or null.
    ReferencePage* referencePage(int page) const;
    HelpPage* helpPage() const;

private:
    std::array<std::unique_ptr<ReferencePage>, reference::kReferencePageCount> pages_;
    std::unique_ptr<HelpPage> help_;
};

} // namespace loomara
