#include "reference/ReferencePages.h"
#include "ui/HelpPage.h"
#include "ui/ReferencePage.h"
#include "ui/SecondaryWindows.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

#include <array>

namespace {

using loomara::HelpPage;
using loomara::ReferencePage;
using loomara::SecondaryWindows;

// What a box shows, its lines joined again by the CR LF they were stored with.
QString shownText(const QPlainTextEdit* edit) {
    QStringList lines;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
        lines << block.text();
    }
    return lines.join(QStringLiteral("\r\n"));
}

int openWindowsNamed(const QString& name) {
    int count = 0;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == name && widget->isVisible()) {
            ++count;
        }
    }
    return count;
}

// A name reaches into a letter range when its first letters, as many as the bound has, lie
// within it (case ignored, as an index reads).
int compareInitials(const QString& name, const char* bound) {
    const QString initials = QString::fromLatin1(bound);
    return name.left(initials.size()).compare(initials, Qt::CaseInsensitive);
}

QString entryName(const QString& line) {
    return line.section(QStringLiteral("  "), 0, 0).trimmed();
}

struct PageExpectation {
    const char* form;
    const char* caption;
    const char* first;
    const char* last;
    int entries;
    QSize inner;
    QRect text1;
};

const std::array<PageExpectation, 6> kPages{{
    {"Search", "A to Di", "A", "Di", 666, {638, 478}, {8, 8, 609, 465}},
    {"Search2", "Do to J", "Do", "J", 640, {625, 482}, {8, 8, 609, 465}},
    {"Search3", "K to MacO", "K", "MacO", 738, {630, 482}, {8, 8, 609, 465}},
    {"Search4", "MacP to Sa", "MacP", "Sa", 657, {629, 484}, {8, 8, 609, 465}},
    {"Search5", "Sc to U", "Sc", "U", 378, {631, 488}, {8, 8, 609, 465}},
    {"Search6", "V to Z", "V", "Z", 176, {563, 431}, {8, 8, 537, 417}},
}};

TEST(ReferencePageWindows, EachPageShowsItsStoredListWhole) {
    SecondaryWindows windows;
    for (int page = 1; page <= 6; ++page) {
        SCOPED_TRACE(page);
        const PageExpectation& expected = kPages[static_cast<std::size_t>(page - 1)];
        windows.showReferencePage(page);
        const ReferencePage* window = windows.referencePage(page);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->objectName(), QString::fromLatin1(expected.form));
        EXPECT_EQ(window->windowTitle(), QString::fromLatin1(expected.caption));
        EXPECT_EQ(window->size(), expected.inner);

        const QPlainTextEdit* text1 = window->text1();
        EXPECT_EQ(text1->objectName(), QStringLiteral("Text1"));
        EXPECT_EQ(text1->geometry(), expected.text1);
        EXPECT_FALSE(text1->isReadOnly());
        EXPECT_EQ(text1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_EQ(text1->lineWrapMode(), QPlainTextEdit::NoWrap);

        // The resource bytes are what the box shows: every line, every blank, no line added.
        const QByteArray stored = loomara::reference::storedListBytes(page);
        EXPECT_EQ(shownText(text1).toLatin1(), stored);
        EXPECT_EQ(text1->document()->blockCount(), expected.entries);

        const QString first = text1->document()->firstBlock().text();
        const QString last = text1->document()->lastBlock().text();
        EXPECT_GE(compareInitials(entryName(first), expected.first), 0) << first.toStdString();
        EXPECT_LE(compareInitials(entryName(last), expected.last), 0) << last.toStdString();
    }
}

TEST(ReferencePageWindows, LastLineScrolledIntoViewReadsAsStored) {
    SecondaryWindows windows;
    for (int page = 1; page <= 6; ++page) {
        SCOPED_TRACE(page);
        windows.showReferencePage(page);
        QPlainTextEdit* text1 = windows.referencePage(page)->text1();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(text1->window()));

        text1->verticalScrollBar()->setValue(text1->verticalScrollBar()->maximum());
        const QTextCursor atBottom =
            text1->cursorForPosition(QPoint(4, text1->viewport()->height() - 4));
        EXPECT_EQ(atBottom.block(), text1->document()->lastBlock());
        EXPECT_EQ(atBottom.block().text(), loomara::reference::storedLines(page).last());
    }
}

TEST(ReferencePageWindows, ShowingAnOpenPageAgainBringsItForward) {
    SecondaryWindows windows;
    windows.showReferencePage(1);
    ReferencePage* first = windows.referencePage(1);
    ASSERT_TRUE(QTest::qWaitForWindowActive(first));
    windows.showReferencePage(2);
    ASSERT_TRUE(QTest::qWaitForWindowActive(windows.referencePage(2)));

    windows.showReferencePage(1);
    EXPECT_EQ(windows.referencePage(1), first);
    EXPECT_EQ(openWindowsNamed(QStringLiteral("Search")), 1);
    EXPECT_TRUE(QTest::qWaitForWindowActive(first));
}

TEST(ReferencePageWindows, EditsAreGoneAfterCloseAndReopen) {
    SecondaryWindows windows;
    windows.showReferencePage(4);
    QPlainTextEdit* text1 = windows.referencePage(4)->text1();
    text1->setFocus();
    QTest::keyClicks(text1, QStringLiteral("tartan"));
    ASSERT_TRUE(text1->toPlainText().startsWith(QStringLiteral("tartan")));

    windows.referencePage(4)->close();
    EXPECT_EQ(windows.referencePage(4), nullptr);
    EXPECT_EQ(openWindowsNamed(QStringLiteral("Search4")), 0);

    windows.showReferencePage(4);
    ASSERT_NE(windows.referencePage(4), nullptr);
    EXPECT_EQ(shownText(windows.referencePage(4)->text1()).toLatin1(),
              loomara::reference::storedListBytes(4));
    EXPECT_EQ(openWindowsNamed(QStringLiteral("Search4")), 1);
}

TEST(SecondaryWindowSet, AllPagesAndHelpOpenAtOnceWithoutOwnerOrModality) {
    SecondaryWindows windows;
    for (int page = 1; page <= 6; ++page) {
        windows.showReferencePage(page);
    }
    windows.showHelp();

    std::vector<QWidget*> open;
    for (int page = 1; page <= 6; ++page) {
        open.push_back(windows.referencePage(page));
    }
    open.push_back(windows.helpPage());
    for (QWidget* window : open) {
        ASSERT_NE(window, nullptr);
        SCOPED_TRACE(window->objectName().toStdString());
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(window->isWindow());
        EXPECT_EQ(window->parentWidget(), nullptr);
        EXPECT_EQ(window->windowModality(), Qt::NonModal);
        EXPECT_FALSE(window->testAttribute(Qt::WA_QuitOnClose));
    }
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(QGuiApplication::modalWindow(), nullptr);
}

TEST(SecondaryWindowSet, CloseAllEndsEveryWindowAtOnce) {
    SecondaryWindows windows;
    for (int page = 1; page <= 6; ++page) {
        windows.showReferencePage(page);
    }
    windows.showHelp();
    windows.referencePage(3)->text1()->insertPlainText(QStringLiteral("unsaved"));

    windows.closeAll();

    for (int page = 1; page <= 6; ++page) {
        EXPECT_EQ(windows.referencePage(page), nullptr);
    }
    EXPECT_EQ(windows.helpPage(), nullptr);
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(widget->objectName().startsWith(QStringLiteral("Search")) ||
                     widget->objectName() == QStringLiteral("FormHelp"))
            << widget->objectName().toStdString();
    }
}

} // namespace
