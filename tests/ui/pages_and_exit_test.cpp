// The reference pages and the help page live beside the main window, which keeps taking input, and
// File > Exit ends the program at once, whatever is open or unsaved.

#include "WindowFixture.h"

#include "ui/HelpPage.h"
#include "ui/ReferencePage.h"

#include <QApplication>
#include <QDialog>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTimer>

#include <algorithm>

using namespace loomara;
using namespace loomara::testing;

namespace {

const QStringList kPageForms{"Search", "Search2", "Search3", "Search4", "Search5", "Search6"};

int visibleWindowsNamed(const QString& name) {
    const QWidgetList windows = QApplication::topLevelWidgets();
    return static_cast<int>(std::count_if(windows.cbegin(), windows.cend(), [&](const QWidget* w) {
        return w->objectName() == name && w->isVisible();
    }));
}

QStringList visibleWindows() {
    QStringList names;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible()) {
            names << widget->objectName();
        }
    }
    return names;
}

// Any modal widget or dialog on screen: what a question to the user would look like.
bool aQuestionIsShown() {
    if (QApplication::activeModalWidget() != nullptr || QGuiApplication::modalWindow() != nullptr) {
        return true;
    }
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.cbegin(), windows.cend(), [](const QWidget* w) {
        return w->isVisible() && qobject_cast<const QDialog*>(w) != nullptr;
    });
}

class PagesBesideTheWindow : public WindowTest {
protected:
    void clickHelp() const {
        QMenuBar* bar = window->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {},
                          bar->actionGeometry(bar->actions().at(1)).center());
    }

    // Every page button and Help, each clicked twice, as an impatient user would.
    void openEverything() const {
        for (int n = 3; n <= 8; ++n) {
            click(QStringLiteral("Command%1").arg(n));
            click(QStringLiteral("Command%1").arg(n));
        }
        clickHelp();
        clickHelp();
    }

    void expectEveryPageOpenOnce() const {
        const SecondaryWindows& pages = window->secondaryWindows();
        for (int page = 1; page <= 6; ++page) {
            SCOPED_TRACE(page);
            ASSERT_NE(pages.referencePage(page), nullptr);
            EXPECT_EQ(pages.referencePage(page)->objectName(), kPageForms[page - 1]);
            EXPECT_EQ(visibleWindowsNamed(kPageForms[page - 1]), 1);
        }
        ASSERT_NE(pages.helpPage(), nullptr);
        EXPECT_EQ(visibleWindowsNamed(QStringLiteral("FormHelp")), 1);
        EXPECT_TRUE(window->isVisible());
    }

    // Black 24, green 36: one locked stripe each, through the palette, a count box and a lock box.
    void enterTwoStripes() const {
        click("Picture161");
        type("Text1", "24");
        click("Picture136");
        click("Picture164");
        type("Text2", "36");
        click("Picture137");
    }
};

TEST_F(PagesBesideTheWindow, AllPagesAndHelpOpenOnceEachAndTheWindowStillTakesInput) {
    openEverything();
    EXPECT_EQ(takeHandlers(),
              (QStringList{"Command3", "Command3", "Command4", "Command4", "Command5", "Command5",
                           "Command6", "Command6", "Command7", "Command7", "Command8", "Command8",
                           "Help", "Help"}));
    expectEveryPageOpenOnce();
    EXPECT_FALSE(aQuestionIsShown());

    // The pages hold nothing back: the main window comes to the front and is used as before.
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    enterTwoStripes();
    EXPECT_EQ(text("Text110")->text(), "Color g");
    EXPECT_EQ(window->designer().design.slot(1).threadCount, 24);
    EXPECT_EQ(window->designer().design.slot(2).threadCount, 36);
    EXPECT_EQ(picture("Picture136")->backColour(), rgb(0, 0, 0));
    EXPECT_EQ(picture("Picture137")->backColour(), rgb(0, 128, 0));
    EXPECT_FALSE(picture("Picture137")->bordered());
    EXPECT_EQ(picture("Picture137")->geometry(), QRect(24, 144, 24, 25));
    EXPECT_EQ(text("Text150")->text(), "k24, g36, ");
    EXPECT_EQ(text("Text230")->text(), "60");
    EXPECT_TRUE(messages->warnings.isEmpty());

    // Using the main window closed nothing, and a page button still finds its page open.
    expectEveryPageOpenOnce();
    const ReferencePage* fifth = window->secondaryWindows().referencePage(5);
    click("Command7");
    EXPECT_EQ(window->secondaryWindows().referencePage(5), fifth);
    EXPECT_EQ(visibleWindowsNamed(QStringLiteral("Search5")), 1);
}

TEST_F(PagesBesideTheWindow, ExitWithAWovenUnsavedPictureEndsTheProgramWithoutAQuestion) {
    click("Picture181"); // white ground
    click("Picture246");
    enterTwoStripes();
    click("WEAVE");
    const QImage woven = get("Picture135")->grab().toImage();
    for (const QColor& colour : {rgb(255, 255, 255), rgb(0, 0, 0), rgb(0, 128, 0)}) {
        bool found = false;
        for (int y = 0; y < woven.height() && !found; ++y) {
            for (int x = 0; x < woven.width() && !found; ++x) {
                found = woven.pixelColor(x, y) == colour;
            }
        }
        ASSERT_TRUE(found) << "the picture is not woven: " << ::testing::PrintToString(colour);
    }
    openEverything();
    takeHandlers();
    window->secondaryWindows().referencePage(2)->text1()->insertPlainText(QStringLiteral("typed"));
    ASSERT_FALSE(aQuestionIsShown());

    // Only an explicit request may end the event loop here, not the last window going away.
    const bool quitOnLastWindow = QApplication::quitOnLastWindowClosed();
    QApplication::setQuitOnLastWindowClosed(false);
    QSignalSpy aboutToQuit(qApp, &QCoreApplication::aboutToQuit);
    bool questionSeen = false;
    bool timedOut = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] { questionSeen |= aQuestionIsShown(); });
    watch.start(1);
    QTimer::singleShot(0, window.get(), [this] {
        qobject_cast<QAction*>(window->control(QStringLiteral("Exit")))->trigger();
    });
    QTimer::singleShot(10000, qApp, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });

    const int exitCode = QApplication::exec();
    QApplication::setQuitOnLastWindowClosed(quitOnLastWindow);

    EXPECT_FALSE(timedOut) << "Exit did not end the event loop";
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(aboutToQuit.count(), 1);
    EXPECT_FALSE(questionSeen);
    EXPECT_TRUE(messages->warnings.isEmpty());
    EXPECT_EQ(takeHandlers(), QStringList{"Exit"});
    EXPECT_TRUE(visibleWindows().isEmpty()) << visibleWindows().join(u' ').toStdString();
    for (int page = 1; page <= 6; ++page) {
        EXPECT_EQ(window->secondaryWindows().referencePage(page), nullptr) << page;
    }
    EXPECT_EQ(window->secondaryWindows().helpPage(), nullptr);
}

} // namespace
