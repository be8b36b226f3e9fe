#include "ui/HelpPage.h"
#include "ui/ReferencePage.h"
#include "ui/SecondaryWindows.h"

#include <QImage>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// Renders the first reference page and the help page as they appear on screen.
TEST(SecondaryWindowPictures, PagesRenderAtTheirDesignedSize) {
    loomara::SecondaryWindows windows;
    windows.showReferencePage(1);
    windows.showHelp();
    loomara::ReferencePage* page = windows.referencePage(1);
    loomara::HelpPage* help = windows.helpPage();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(page));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
    // Entries wider than the box are reached by scrolling sideways, not wrapped.
    EXPECT_TRUE(QTest::qWaitFor([&] { return page->text1()->horizontalScrollBar()->isVisible(); }));

    const QImage pagePicture = page->grab().toImage();
    const QImage helpPicture = help->grab().toImage();
    EXPECT_EQ(pagePicture.size(), QSize(638, 478));
    EXPECT_EQ(helpPicture.size(), QSize(640, 520));
    // The list box covers the page but for its 8-pixel margin at the left and top.
    EXPECT_EQ(page->childAt(7, 7), nullptr);
    EXPECT_NE(page->childAt(8 + 300, 8 + 200), nullptr);
}

} // namespace
