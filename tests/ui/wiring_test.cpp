// Every event reaches its handler through the real widgets, and the widgets show the state after
// each handler; controls without a handler run nothing.

#include "WindowFixture.h"

#include "palette/PaletteSwatch.h"
#include "ui/ReferencePage.h"
#include "ui/Wiring.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include <set>

using namespace loomara;
using namespace loomara::testing;

namespace {

int mod6(int v) {
    return ((v % 6) + 6) % 6;
}

// The twill of the first block in both directions, from the drawing rule: column x >= 1 is the
// x-th warp thread, row y >= 1 the y-th weft thread.
bool warpPaints(int x, int y) {
    if (x < 1) {
        return false;
    }
    const int offset = x == 1 ? 1 : -mod6(x - 2);
    return mod6(y - offset) <= 1;
}

bool weftPaints(int x, int y) {
    if (y < 1) {
        return false;
    }
    const int offset = -mod6(y - 1);
    const int phase = mod6(x - offset + 1);
    return phase == 0 || phase == 5;
}

} // namespace

TEST(Wiring, HasOneHandlerPerEventOf201Controls) {
    const std::vector<Wire>& wires = wiringTable();
    EXPECT_EQ(wires.size(), 201u);
    std::set<QString> names;
    for (const Wire& wire : wires) {
        names.insert(wire.control);
        EXPECT_EQ(wire.event, wire.control == "Text230" ? Event::Change : Event::Click);
    }
    EXPECT_EQ(names.size(), 201u);
}

TEST_F(WindowTest, EveryWiredControlExists) {
    for (const Wire& wire : wiringTable()) {
        EXPECT_NE(window->control(wire.control), nullptr) << qPrintable(wire.control);
    }
}

TEST_F(WindowTest, EverySwatchSetsItsOwnColourAndCode) {
    for (const PaletteSwatch& s : paletteSwatches()) {
        click(s.controlName());
        EXPECT_EQ(text("Text110")->text(), "Color " + s.codeText());
        EXPECT_EQ(window->designer().design.currentColour(), s.colour());
    }
    EXPECT_EQ(takeHandlers().size(), 163);
}

TEST_F(WindowTest, EveryLockBoxLocksItsOwnSlot) {
    click("Picture164");
    for (int k = 1; k <= 21; ++k) {
        type(QStringLiteral("Text%1").arg(k), QString::number(k));
        click(QStringLiteral("Picture%1").arg(135 + k));
    }
    int left = 120;
    for (int k = 1; k <= 21; ++k) {
        EXPECT_EQ(window->designer().design.slot(k).threadCount, k);
        const PictureBox* bar = picture(QStringLiteral("Picture%1").arg(135 + k));
        EXPECT_EQ(bar->geometry(), QRect(qRound(left / 15.0), 144, qRound(k * 10 / 15.0), 25));
        EXPECT_FALSE(bar->bordered());
        EXPECT_EQ(bar->backColour(), rgb(0, 128, 0));
        left += k * 10;
    }
    EXPECT_EQ(text("Text230")->text(), "231");
    EXPECT_EQ(text("Text230")->palette().color(QPalette::Base), rgb(50, 250, 50));
}

TEST_F(WindowTest, EnteringWeavingBrighteningAndClearingThroughTheWidgets) {
    enterFourStripeSett();
    EXPECT_EQ(picture("Picture246")->backColour(), rgb(255, 255, 255));
    EXPECT_EQ(text("Text110")->text(), "Color s");
    EXPECT_EQ(text("Text150")->text(), "r12, k4, g12, s12, ");
    EXPECT_EQ(text("Text230")->text(), "40");
    EXPECT_EQ(picture("Picture136")->geometry(), QRect(8, 144, 8, 25));
    EXPECT_EQ(picture("Picture137")->geometry(), QRect(16, 144, 3, 25));
    EXPECT_EQ(picture("Picture138")->geometry(), QRect(19, 144, 8, 25));
    EXPECT_EQ(picture("Picture139")->geometry(), QRect(27, 144, 8, 25));
    EXPECT_EQ(picture("Picture136")->backColour(), rgb(128, 0, 0));

    const auto checkFirstBlock = [this](const QColor& stripe) {
        // A sett of 40 threads shows on 40/150 of the picture.
        EXPECT_EQ(get("Picture135")->size(), QSize(186, 120));
        const QImage shown = get("Picture135")->grab().toImage();
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 12; ++x) {
                const QColor expected = (warpPaints(x, y) || weftPaints(x, y)) ? stripe : Qt::white;
                EXPECT_EQ(shown.pixelColor(2 + x, 2 + y), expected) << x << "," << y;
            }
        }
    };
    click("WEAVE");
    checkFirstBlock(rgb(128, 0, 0));
    // The drawing rule's own examples: first column rows 1, 2, 7, 8; first row columns 4, 5,
    // 10, 11.
    for (int y : {1, 2, 7, 8}) {
        EXPECT_TRUE(warpPaints(1, y));
    }
    for (int x : {4, 5, 10, 11}) {
        EXPECT_TRUE(weftPaints(x, 1));
    }

    click("Command1");
    EXPECT_EQ(picture("Picture136")->backColour(), rgb(128, 0, 0)); // bars keep their colour
    click("WEAVE");
    checkFirstBlock(rgb(158, 30, 30));
    EXPECT_EQ(takeHandlers(),
              (QStringList{"Picture181", "Picture246", "Picture159", "Picture136", "Picture161",
                           "Picture137", "Picture164", "Picture138", "Picture173", "Picture139",
                           "WEAVE", "Command1", "WEAVE"}));

    qobject_cast<QAction*>(window->control("Clear"))->trigger();
    EXPECT_EQ(takeHandlers(), QStringList{"Clear"});
    for (int k = 1; k <= 21; ++k) {
        EXPECT_EQ(text(QStringLiteral("Text%1").arg(k))->text(), "0");
        EXPECT_TRUE(picture(QStringLiteral("Picture%1").arg(135 + k))->bordered());
    }
    EXPECT_EQ(picture("Picture136")->geometry(), QRect(360, 144, 17, 25));
    EXPECT_EQ(text("Text230")->text(), "0");
    EXPECT_EQ(text("Text230")->palette().color(QPalette::Base), rgb(255, 255, 128));
    EXPECT_TRUE(text("Text110")->text().isEmpty());
    EXPECT_TRUE(text("Text150")->text().isEmpty());
    EXPECT_EQ(get("Picture135")->size(), QSize(697, 449));
    EXPECT_EQ(picture("Picture246")->backColour(),
              QApplication::palette().color(QPalette::WindowText));
}

TEST_F(WindowTest, RefusedLockWarnsAndChangesNothing) {
    click("Picture159");
    type("Text1", "8");
    click("Picture136");
    type("Text2", "lots");
    const FormState before = window->designer().form;
    const DesignState designBefore = window->designer().design;
    const QRect bar = picture("Picture137")->geometry();
    takeHandlers();

    click("Picture137");
    EXPECT_EQ(takeHandlers(), QStringList{"Picture137"});
    ASSERT_EQ(messages->warnings.size(), 1);
    EXPECT_FALSE(messages->warnings.first().isEmpty());
    EXPECT_EQ(text("Text2")->text(), "lots");
    EXPECT_TRUE(text("Text2")->hasFocus() || !window->isActiveWindow());
    EXPECT_EQ(picture("Picture137")->geometry(), bar);
    EXPECT_TRUE(picture("Picture137")->bordered());
    EXPECT_EQ(text("Text150")->text(), "r8, ");
    EXPECT_EQ(text("Text230")->text(), "8");
    EXPECT_EQ(window->designer().form.lockBox(2), before.lockBox(2));
    EXPECT_EQ(window->designer().design.slot(2), designBefore.slot(2));

    // Corrected in place, the same box locks.
    type("Text2", "6");
    click("Picture137");
    EXPECT_EQ(messages->warnings.size(), 1);
    EXPECT_EQ(text("Text150")->text(), "r8, r6, ");
}

TEST_F(WindowTest, ClickingCaptionsTheWeavePictureOrTheFileTitleRunsNoHandler) {
    for (const char* name : {"Text22", "Text23", "Text25", "Text120", "Text160", "Picture135",
                             "Text1", "Text150", "Text110", "Text230"}) {
        click(name);
    }
    QMenuBar* bar = window->menuBar();
    QAction* fileTitle = bar->actions().at(0);
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(fileTitle).center());
    EXPECT_TRUE(fileTitle->menu()->isVisible());
    fileTitle->menu()->close();
    EXPECT_TRUE(takeHandlers().isEmpty());
    EXPECT_TRUE(messages->warnings.isEmpty());
    EXPECT_EQ(window->designer().form.notation.text(), "");
    EXPECT_EQ(text("Text1")->text(), "0");

    // Help has no items: a click on its title runs its handler at once.
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions().at(1)).center());
    EXPECT_EQ(takeHandlers(), QStringList{"Help"});
}

TEST_F(WindowTest, TypingFeedsTheStateAndOnlyTheSettWidthRunsAHandler) {
    type("Text5", " 7 ");
    EXPECT_EQ(window->designer().form.countBox(5).text(), " 7 ");
    type("Text150", "k8, ");
    EXPECT_EQ(window->designer().form.notation.text(), "k8, ");
    type("Text110", "Color zz");
    EXPECT_TRUE(window->designer().design.currentCode.isEmpty());
    EXPECT_TRUE(takeHandlers().isEmpty());

    // The sett width cannot be edited: every typed change is replaced by the total.
    type("Text230", "abc");
    EXPECT_EQ(text("Text230")->text(), "0");
    EXPECT_TRUE(takeHandlers().contains("Text230"));
}

TEST_F(WindowTest, PageButtonsAndHelpOpenTheirPagesAndExitClosesEveryWindow) {
    const QStringList captions{"A to Di",    "Do to J", "K to MacO",
                               "MacP to Sa", "Sc to U", "V to Z"};
    for (int n = 3; n <= 8; ++n) {
        click(QStringLiteral("Command%1").arg(n));
    }
    click("Command3");
    QMenuBar* bar = window->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions().at(1)).center());
    const SecondaryWindows& pages = window->secondaryWindows();
    for (int page = 1; page <= 6; ++page) {
        ASSERT_NE(pages.referencePage(page), nullptr) << page;
        EXPECT_EQ(pages.referencePage(page)->windowTitle(), captions[page - 1]);
    }
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto openPages = std::count_if(windows.cbegin(), windows.cend(), [](const QWidget* w) {
        return qobject_cast<const ReferencePage*>(w) != nullptr && w->isVisible();
    });
    EXPECT_EQ(openPages, 6);
    EXPECT_NE(pages.helpPage(), nullptr);

    // The main window still takes input beside its pages.
    click("Picture161");
    EXPECT_EQ(text("Text110")->text(), "Color k");

    qobject_cast<QAction*>(window->control("Exit"))->trigger();
    EXPECT_FALSE(window->isVisible());
    for (int page = 1; page <= 6; ++page) {
        EXPECT_EQ(pages.referencePage(page), nullptr) << page;
    }
    EXPECT_EQ(pages.helpPage(), nullptr);
}
