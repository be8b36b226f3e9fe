#include "ui/HelpPage.h"
#include "ui/SecondaryWindows.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>

#include <vector>

namespace {

using loomara::HelpPage;
using loomara::SecondaryWindows;

// The help texts, line by line, as the page must show them.
const std::vector<QString> kText2Lines{
    QStringLiteral("SELECT a color by clicking on it. The Registry color code will be shown in the "
                   "text box on the left side below the color chart. "),
    QStringLiteral("The Loomaras are registerd by the thread count and color order not necessarliy "
                   "by the shade. A red is a red whether is is deep "),
    QStringLiteral("red, bright red or light red. You can vary the shade and still be the same "
                   "loomara. You may click on a different shade before it is "),
    QStringLiteral("locked in. If the color is ok, go to step 2."),
    QStringLiteral("There are at least 3 color lettering codes, the all shades, loomara authority "
                   "and the government Loomara Registry"),
};
const std::vector<QString> kText4Lines{
    QStringLiteral("Type in the first thread count in the FIRST thread count box. The program "
                   "accepts the first and last counts as pivot points in "),
    QStringLiteral("the pattern. You do not have to half these counts."),
};
const std::vector<QString> kText6Lines{
    QStringLiteral("Click on the First Picture box below the thread count boxes. This locks in the "
                   "color and thread count. The picture box will "),
    QStringLiteral("move to the left and show the color. Once locked in, it can not be changed "
                   "until you weave the pattern."),
};
const std::vector<QString> kText8Lines{
    QStringLiteral("Repeat by choosing Color 2, Count 2, PictureLock2. Continue until the pattern "
                   "is complete. NOTE that the best displays are "),
    QStringLiteral("set for a count of 200 to 300 as most Sett are in this range. If you have a "
                   "very small pattern i.e. Rob Roy that is only "),
    QStringLiteral("Red50,Black50, you may repeat the pattern to get the count to 200. You must "
                   "have a minimum of 4 thread counts. With super "),
    QStringLiteral("high counts (seen them up to 700), you may divide the counts by 2 or 3 to fit "
                   "the display screen. "),
};
const std::vector<QString> kText12Lines{
    QStringLiteral("The Loomaras can be colored as Modern, Ancient and Weathered. Most believe "
                   "Modern dyes are much brighter than older "),
    QStringLiteral("vegetable and mineral dyes. Although not necessarily true, the Ancient look on "
                   "the computer is by having a black background. "),
    QStringLiteral("If you want a Modern look, click on the color of the largest count in your "
                   "design and then click on the background picture on "),
    QStringLiteral("the right side. Click on the Weave button to refresh the picture. If you wish "
                   "to show the loomara as being beat on a rock too "),
    QStringLiteral("many times, set the background to light gray or white and re-weave to make it "
                   "look weathered."),
    QStringLiteral("After weaving your loomara , you may change shades by clicking on a color then "
                   "clicking on the corresponding picture box on "),
    QStringLiteral("the left and reweaving. You may also vary the shades by clicking on the "
                   "Brighten or Darken buttons and re-weaving. For "),
    QStringLiteral("making backgrounds you can Load in a bmp picture and weave on top of it."),
};
const std::vector<QString> kText13Lines{
    QStringLiteral("SEARCH: The data is from the Loomara Authority and other sources. Over 3000 "
                   "loomaras are registered. You dont have to register your "),
    QStringLiteral("loomara but make sure you do not violate the copyright of a registered "
                   "loomara. The program does not import the loomaras at this time and "),
    QStringLiteral("are given for reference only."),
};

// A multi-line box holds its lines with CR LF after each one, the last included.
QString multiLine(const std::vector<QString>& lines) {
    QString text;
    for (const QString& line : lines) {
        text += line + QStringLiteral("\r\n");
    }
    return text;
}

QString shownText(const QPlainTextEdit* edit) {
    QStringList lines;
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
        lines << block.text();
    }
    return lines.join(QStringLiteral("\r\n"));
}

// The text a box shows, whatever kind of box it is.
QString boxText(const QWidget* box) {
    if (const auto* line = qobject_cast<const QLineEdit*>(box)) {
        return line->text();
    }
    if (const auto* text = qobject_cast<const QPlainTextEdit*>(box)) {
        return shownText(text);
    }
    return QStringLiteral("<not a text box>");
}

struct ExpectedBox {
    const char* name;
    QString text;
    QRect pixels;
};

std::vector<ExpectedBox> expectedBoxes() {
    return {
        {"Text1", QStringLiteral("1"), {8, 8, 17, 25}},
        {"Text2", multiLine(kText2Lines), {32, 8, 601, 73}},
        {"Text3", QStringLiteral("2"), {8, 96, 17, 25}},
        {"Text4", multiLine(kText4Lines), {32, 96, 601, 41}},
        {"Text5", QStringLiteral("3"), {8, 152, 17, 25}},
        {"Text6", multiLine(kText6Lines), {32, 152, 601, 41}},
        {"Text7", QStringLiteral("4"), {8, 208, 17, 25}},
        {"Text8", multiLine(kText8Lines), {32, 208, 601, 65}},
        {"Text10", QStringLiteral("5"), {8, 288, 17, 25}},
        {"Text9",
         QStringLiteral("You are now ready to click on the WEAVE button and show the loomara."),
         {56, 288, 569, 25}},
        {"Text11", QStringLiteral("6"), {8, 328, 17, 25}},
        {"Text12", multiLine(kText12Lines), {32, 328, 601, 113}},
        {"Text13", multiLine(kText13Lines), {8, 448, 625, 49}},
    };
}

TEST(HelpPageWindow, EveryBoxShowsItsTextAtItsPlace) {
    HelpPage help;
    const std::vector<ExpectedBox> boxes = expectedBoxes();
    ASSERT_EQ(help.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(),
              static_cast<qsizetype>(boxes.size()));
    for (const ExpectedBox& expected : boxes) {
        SCOPED_TRACE(expected.name);
        const QWidget* box = help.findChild<QWidget*>(QString::fromLatin1(expected.name));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(boxText(box), expected.text);
        EXPECT_EQ(box->geometry(), expected.pixels);
    }
}

TEST(HelpPageWindow, StepBoxesAndBannerAreSingleLinesInTheirOwnFonts) {
    HelpPage help;
    for (const char* name : {"Text1", "Text3", "Text5", "Text7", "Text10", "Text11"}) {
        const auto* step = help.findChild<QLineEdit*>(QString::fromLatin1(name));
        ASSERT_NE(step, nullptr) << name;
        EXPECT_DOUBLE_EQ(step->font().pointSizeF(), 13.5) << name;
    }
    const auto* banner = help.findChild<QLineEdit*>(QStringLiteral("Text9"));
    ASSERT_NE(banner, nullptr);
    EXPECT_DOUBLE_EQ(banner->font().pointSizeF(), 12.0);
    EXPECT_EQ(banner->palette().color(QPalette::Base), QColor(192, 255, 192));
    EXPECT_EQ(banner->palette().color(QPalette::Text), QColor(0, 0, 255));

    const auto* body = help.findChild<QPlainTextEdit*>(QStringLiteral("Text2"));
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(body->font().family(), help.font().family());
    EXPECT_DOUBLE_EQ(body->font().pointSizeF(), help.font().pointSizeF());
    EXPECT_FALSE(body->isReadOnly());
}

// However wide the desktop's font, each designed line stays on one row of its box, and the
// banner is shown whole.
TEST(HelpPageWindow, EveryDesignedLineStandsOnOneRow) {
    HelpPage help;
    help.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
    for (const char* name : {"Text2", "Text4", "Text6", "Text8", "Text12", "Text13"}) {
        SCOPED_TRACE(name);
        const auto* box = help.findChild<QPlainTextEdit*>(QString::fromLatin1(name));
        ASSERT_NE(box, nullptr);
        for (QTextBlock line = box->document()->begin(); line.isValid(); line = line.next()) {
            ASSERT_NE(line.layout(), nullptr);
            EXPECT_EQ(line.layout()->lineCount(), 1) << line.text().toStdString();
        }
    }
    const auto* banner = help.findChild<QLineEdit*>(QStringLiteral("Text9"));
    ASSERT_NE(banner, nullptr);
    const QRect room = banner->contentsRect();
    EXPECT_LE(banner->fontMetrics().horizontalAdvance(banner->text()), room.width() - 4);
    EXPECT_EQ(banner->font().family(), help.font().family());
    EXPECT_DOUBLE_EQ(banner->font().pointSizeF(), 12.0);
}

TEST(HelpPageWindow, WindowIsALightGreenPageWithItsOwnIcon) {
    HelpPage help;
    EXPECT_EQ(help.objectName(), QStringLiteral("FormHelp"));
    EXPECT_EQ(help.windowTitle(), QStringLiteral("Help"));
    EXPECT_EQ(help.size(), QSize(640, 520));
    EXPECT_TRUE(help.windowIcon().availableSizes().contains(QSize(32, 32)));

    // Rendered: the margin left of the step boxes and the banner's far end are both light green.
    const QImage picture = help.grab().toImage();
    ASSERT_EQ(picture.size(), QSize(640, 520));
    EXPECT_EQ(picture.pixelColor(3, 300), QColor(192, 255, 192));
    EXPECT_EQ(picture.pixelColor(3, 510), QColor(192, 255, 192));
    EXPECT_EQ(picture.pixelColor(56 + 560, 288 + 12), QColor(192, 255, 192));
}

TEST(HelpPageWindow, ShownOnceAndFreshAfterClosing) {
    SecondaryWindows windows;
    windows.showHelp();
    HelpPage* help = windows.helpPage();
    ASSERT_NE(help, nullptr);
    windows.showHelp();
    EXPECT_EQ(windows.helpPage(), help);
    int open = 0;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        open += widget->objectName() == QStringLiteral("FormHelp") && widget->isVisible() ? 1 : 0;
    }
    EXPECT_EQ(open, 1);

    auto* text2 = help->findChild<QPlainTextEdit*>(QStringLiteral("Text2"));
    text2->selectAll();
    text2->insertPlainText(QStringLiteral("gone"));
    help->close();
    EXPECT_EQ(windows.helpPage(), nullptr);

    windows.showHelp();
    ASSERT_NE(windows.helpPage(), nullptr);
    EXPECT_EQ(shownText(windows.helpPage()->findChild<QPlainTextEdit*>(QStringLiteral("Text2"))),
              multiLine(kText2Lines));
}

} // namespace
