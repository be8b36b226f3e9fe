// The window as it opens: design texts, colours and geometry, checked against the design's own
// numbers in twips (15 to a pixel) rather than against the control table.

#include "WindowFixture.h"

#include "palette/PaletteSwatch.h"
#include "ui/LoomaraIcon.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <set>

using namespace loomara;
using namespace loomara::testing;

namespace {

QRect twips(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}

QColor paletteColour(QPalette::ColorRole role) {
    return QApplication::palette().color(role);
}

} // namespace

TEST_F(WindowTest, StartsWithEmptyEntryAndZeroCounts) {
    for (int k = 1; k <= 21; ++k) {
        EXPECT_EQ(text(QStringLiteral("Text%1").arg(k))->text(), "0") << k;
    }
    EXPECT_EQ(text("Text230")->text(), "0");
    EXPECT_EQ(text("Text230")->palette().color(QPalette::Base), rgb(255, 255, 128));
    EXPECT_TRUE(text("Text110")->text().isEmpty());
    EXPECT_TRUE(text("Text150")->text().isEmpty());
    EXPECT_EQ(picture("Picture246")->backColour(), paletteColour(QPalette::WindowText));
}

TEST_F(WindowTest, LockBoxesStartAtTheirDesignPlacesInButtonFaceWithBorder) {
    for (int k = 136; k <= 156; ++k) {
        const int left = k == 153 ? 10470 : 5400 + 300 * (k - 136);
        const PictureBox* box = picture(QStringLiteral("Picture%1").arg(k));
        EXPECT_EQ(box->geometry(), twips(left, 2160, 255, 375)) << k;
        EXPECT_EQ(box->backColour(), paletteColour(QPalette::Button)) << k;
        EXPECT_TRUE(box->bordered()) << k;
    }
    // The one box out of step: 30 twips left of the 300-twip pitch.
    EXPECT_EQ(picture("Picture153")->x(), 698);
    EXPECT_EQ(picture("Picture154")->x() - picture("Picture152")->x(), 40);
}

TEST_F(WindowTest, ClientAreaHasTheDesignedSizeAndTheWindowCannotBeResized) {
    const QWidget* client = window->centralWidget();
    EXPECT_EQ(client->size(), QSize(785, 638));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(client->mapTo(window.get(), QPoint(0, 0)).y(), window->menuBar()->height());
    EXPECT_TRUE(window->windowTitle().startsWith("LOOMARAS by "));
    EXPECT_GT(window->windowTitle().size(), QStringLiteral("LOOMARAS by ").size());
}

TEST_F(WindowTest, ControlsStandWhereTheDesignPutsThem) {
    EXPECT_EQ(get("Text21")->geometry(), twips(10680, 1440, 375, 285));
    EXPECT_EQ(get("Text1")->geometry(), twips(1080, 1440, 375, 285));
    EXPECT_EQ(get("Command8")->geometry(), twips(10680, 9120, 975, 255));
    EXPECT_EQ(get("Command3")->geometry(), twips(10680, 7320, 975, 255));
    EXPECT_EQ(get("Picture135")->geometry(), twips(120, 2640, 10455, 6735));
    EXPECT_EQ(get("Picture135")->size(), QSize(697, 449));
    EXPECT_EQ(get("Text230")->geometry(), twips(10800, 3360, 855, 285));
    EXPECT_EQ(get("WEAVE")->geometry(), twips(10800, 3720, 855, 735));
    EXPECT_EQ(get("Picture246")->geometry(), twips(10920, 4560, 615, 615));
    EXPECT_EQ(get("Text150")->geometry(), twips(840, 1800, 10695, 285));
    EXPECT_EQ(get("Text25")->geometry(), twips(2520, 1080, 6975, 285));
}

TEST_F(WindowTest, PaletteRowsStartAndStepAsDesigned) {
    std::map<int, int> firstLeftOfRow; // top -> smallest left, in pixels
    int swatches = 0;
    for (const PaletteSwatch& s : paletteSwatches()) {
        const PictureBox* box = picture(s.controlName());
        EXPECT_EQ(box->size(), QSize(17, 17));
        EXPECT_EQ(box->backColour(),
                  rgb(s.shownColour.red, s.shownColour.green, s.shownColour.blue));
        auto [it, fresh] = firstLeftOfRow.try_emplace(box->y(), box->x());
        it->second = std::min(it->second, box->x());
        ++swatches;
    }
    EXPECT_EQ(swatches, 163);
    EXPECT_EQ(firstLeftOfRow, (std::map<int, int>{{8, 8}, {24, 8}, {40, 8}, {56, 168}}));
    // A swatch that is shown in a colour other than the one it sets shows the other.
    EXPECT_EQ(picture("Picture174")->backColour(), rgb(207, 179, 7));
    EXPECT_EQ(picture("Picture1")->geometry(), twips(120, 120, 255, 255));
    EXPECT_EQ(picture("Picture185")->x(), 9240 / 15);
}

TEST_F(WindowTest, CaptionBoxesAreFramelessReadOnlyAndShowTheirWholeText) {
    const std::map<QString, QString> captions{
        {"Text22", "ALL SHADES"},    {"Text23", "Loomara Authority BASE COLORS"},
        {"Text26", "SEARCH"},        {"Text120", "BACKGROUND"},
        {"Text130", "THREAD COUNT"}, {"Text140", "PATTERN"},
        {"Text220", "SETT WIDTH"}};
    for (const auto& [name, caption] : captions) {
        const QLineEdit* box = text(name);
        EXPECT_EQ(box->text(), caption);
        EXPECT_TRUE(box->isReadOnly()) << qPrintable(name);
        EXPECT_FALSE(box->hasFrame()) << qPrintable(name);
        EXPECT_EQ(box->palette().color(QPalette::Base), paletteColour(QPalette::Window));
        EXPECT_LE(box->fontMetrics().horizontalAdvance(caption), box->width() - 4)
            << qPrintable(name);
    }
    EXPECT_EQ(text("Text140")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(text("Text23")->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(text("Text120")->font().pointSizeF(), 6.75);
    for (const char* step : {"Text160", "Text170", "Text180"}) {
        EXPECT_EQ(text(step)->font().pointSizeF(), 13.5);
        EXPECT_EQ(text(step)->palette().color(QPalette::Base), paletteColour(QPalette::Base));
    }
}

// The legend is only useful when every code stands under its own swatch.
TEST_F(WindowTest, LegendPutsEachBaseColourCodeUnderItsSwatch) {
    const QLineEdit* legend = text("Text25");
    const QString line = legend->text();
    ASSERT_EQ(line, QString::fromLatin1(kBaseColourLegend));
    std::vector<const PaletteSwatch*> row4;
    for (const PaletteSwatch& s : paletteSwatches()) {
        if (s.row == 4) {
            row4.push_back(&s);
        }
    }
    qsizetype at = 0;
    for (const PaletteSwatch* s : row4) {
        const QString code = s->codeText();
        at = line.indexOf(code, at);
        ASSERT_GE(at, 0) << qPrintable(code);
        const QFontMetrics metrics = legend->fontMetrics();
        const int centre = legend->x() + 2 +
                           (metrics.horizontalAdvance(line.left(at)) +
                            metrics.horizontalAdvance(line.left(at + code.size()))) /
                               2;
        const QRect swatch = picture(s->controlName())->geometry();
        EXPECT_GE(centre, swatch.left()) << qPrintable(code);
        EXPECT_LE(centre, swatch.right()) << qPrintable(code);
        at += code.size();
    }
}

TEST_F(WindowTest, MenusHoldTheDesignedItemsWithoutShortcutsOrMnemonics) {
    const QList<QAction*> top = window->menuBar()->actions();
    ASSERT_EQ(top.size(), 2);
    EXPECT_EQ(top[0]->text(), "File");
    EXPECT_EQ(top[1]->text(), "Help");
    EXPECT_EQ(top[1]->menu(), nullptr);
    const QMenu* file = top[0]->menu();
    ASSERT_NE(file, nullptr);
    QStringList items;
    for (const QAction* item : file->actions()) {
        items << item->text();
        EXPECT_TRUE(item->shortcut().isEmpty());
    }
    EXPECT_EQ(items, (QStringList{"Clear", "Save", "Open", "Print", "Exit"}));
    for (const QAction* action : top) {
        EXPECT_FALSE(action->text().contains('&'));
        EXPECT_TRUE(action->shortcut().isEmpty());
    }
}

TEST_F(WindowTest, TabMovesThroughTheCountBoxesLeftToRight) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    text("Text1")->setFocus();
    for (int k = 2; k <= 21; ++k) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), get(QStringLiteral("Text%1").arg(k)));
    }
}

TEST_F(WindowTest, ButtonsCarryTheirCaptions) {
    const std::map<QString, QString> captions{{"WEAVE", "WEAVE"},
                                              {"Command1", "Brighten then reweave"},
                                              {"Command2", "Darken then reweave"},
                                              {"Command3", "A To Di"},
                                              {"Command4", "Do To J"},
                                              {"Command5", "K to MacO"},
                                              {"Command6", "MacP to Sa"},
                                              {"Command7", "Sc to U"},
                                              {"Command8", "V to Z"}};
    for (const auto& [name, caption] : captions) {
        EXPECT_EQ(get<QPushButton>(name)->text(), caption);
    }
}

TEST(LoomaraIcon, IsA32PixelSixteenColourGreenPlaidInAWhiteFrame) {
    const QImage icon = loomaraIcon();
    ASSERT_EQ(icon.size(), QSize(32, 32));
    std::set<QRgb> colours;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            colours.insert(icon.pixel(x, y));
            if (x == 0 || y == 0 || x == 31 || y == 31) {
                EXPECT_EQ(icon.pixel(x, y), qRgb(255, 255, 255));
            }
        }
    }
    EXPECT_LE(colours.size(), 16u);
    EXPECT_TRUE(colours.contains(qRgb(0, 0, 0)));
    EXPECT_TRUE(colours.contains(qRgb(255, 255, 0)));
    const auto greens = std::count_if(colours.begin(), colours.end(), [](QRgb c) {
        return qGreen(c) > qRed(c) && qGreen(c) > qBlue(c);
    });
    EXPECT_GE(greens, 1);
}
