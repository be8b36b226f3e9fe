#include "ui/SecondaryWindows.h"

#include "ui/HelpPage.h"
#include "ui/ReferencePage.h"

#include <cstddef>

namespace loomara {

namespace {

std::size_t slotOf(int page) {
    // A number outside the page table throws here instead of indexing past the array.
    static_cast<void>(reference::referencePage(page));
    return static_cast<std::size_t>(page - 1);
}

template <typename Window> Window* openWindow(const std::unique_ptr<Window>& window) {
    return window && window->isVisible() ? window.get() : nullptr;
}

void bringToFront(QWidget& window) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.raise();
    window.activateWindow();
}

// A closed window is only hidden; it is replaced rather than shown again, so that what the user
// typed into it is gone.
template <typename Window, typename... Args>
void showWindow(std::unique_ptr<Window>& window, Args... args) {
    if (openWindow(window)) {
        bringToFront(*window);
        return;
    }
    window = std::make_unique<Window>(args...);
    window->show();
}

} // namespace

SecondaryWindows::SecondaryWindows() = default;

SecondaryWindows::~SecondaryWindows() = default;

void SecondaryWindows::showReferencePage(int page) {
    showWindow(pages_[slotOf(page)], page);
}

void SecondaryWindows::showHelp() {
    showWindow(help_);
}

void SecondaryWindows::closeAll() {
    for (std::unique_ptr<ReferencePage>& page : pages_) {
        page.reset();
    }
    help_.reset();
}

ReferencePage* SecondaryWindows::referencePage(int page) const {
    return openWindow(pages_[slotOf(page)]);
}

HelpPage* SecondaryWindows::helpPage() const {
    return openWindow(help_);
}

} // namespace loomara
