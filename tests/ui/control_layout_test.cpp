// Every control of the window but the swatches (whose table is checked on its own), as designed:
// name, kind, left, top, width and height in twips, font, alignment and design text. The control
// table and the live widgets are both held to it, row by row.

#include "WindowFixture.h"

#include "palette/PaletteSwatch.h"
#include "ui/ControlTable.h"

#include <QPushButton>
#include <QRegularExpression>

#include <map>

using namespace loomara;
using namespace loomara::testing;

namespace {

constexpr const char* kDesignedControls = R"(
Text22     caption  10080  600  1095  285  window     left   "ALL SHADES"
Text23     caption    120  960  2295  285  window     left   "Loomara Authority BASE COLORS"
Text25     caption   2520 1080  6975  285  window     left   "  lr   p    r    o    k   lg   x   g    i    d   lb   q    b   h   n    v   s    y    f    e   a    t   c    l    w   z    u   m   j"
Text160    caption  11280  480   375  375  sans 13.5  centre "1"
Text110    text       120 1440   855  285  window     left   ""
Text1      text      1080 1440   375  285  window     left   "0"
Text2      text      1560 1440   375  285  window     left   "0"
Text3      text      2040 1440   375  285  window     left   "0"
Text4      text      2520 1440   375  285  window     left   "0"
Text5      text      3000 1440   375  285  window     left   "0"
Text6      text      3480 1440   375  285  window     left   "0"
Text7      text      3960 1440   375  285  window     left   "0"
Text8      text      4440 1440   375  285  window     left   "0"
Text9      text      4920 1440   375  285  window     left   "0"
Text10     text      5400 1440   375  285  window     left   "0"
Text11     text      5880 1440   375  285  window     left   "0"
Text12     text      6360 1440   375  285  window     left   "0"
Text13     text      6840 1440   375  285  window     left   "0"
Text14     text      7320 1440   375  285  window     left   "0"
Text15     text      7800 1440   375  285  window     left   "0"
Text16     text      8280 1440   375  285  window     left   "0"
Text17     text      8760 1440   375  285  window     left   "0"
Text18     text      9240 1440   375  285  window     left   "0"
Text19     text      9720 1440   375  285  window     left   "0"
Text20     text     10200 1440   375  285  window     left   "0"
Text21     text     10680 1440   375  285  window     left   "0"
Text130    caption   9720 1200  1335  165  window     left   "THREAD COUNT"
Text170    caption  11280 1320   375  375  sans 13.5  centre "2"
Text140    caption      0 1800   855  285  window     centre "PATTERN"
Text150    text       840 1800 10695  285  window     left   ""
Picture136 picture   5400 2160   255  375  window     left   ""
Picture137 picture   5700 2160   255  375  window     left   ""
Picture138 picture   6000 2160   255  375  window     left   ""
Picture139 picture   6300 2160   255  375  window     left   ""
Picture140 picture   6600 2160   255  375  window     left   ""
Picture141 picture   6900 2160   255  375  window     left   ""
Picture142 picture   7200 2160   255  375  window     left   ""
Picture143 picture   7500 2160   255  375  window     left   ""
Picture144 picture   7800 2160   255  375  window     left   ""
Picture145 picture   8100 2160   255  375  window     left   ""
Picture146 picture   8400 2160   255  375  window     left   ""
Picture147 picture   8700 2160   255  375  window     left   ""
Picture148 picture   9000 2160   255  375  window     left   ""
Picture149 picture   9300 2160   255  375  window     left   ""
Picture150 picture   9600 2160   255  375  window     left   ""
Picture151 picture   9900 2160   255  375  window     left   ""
Picture152 picture  10200 2160   255  375  window     left   ""
Picture153 picture  10470 2160   255  375  window     left   ""
Picture154 picture  10800 2160   255  375  window     left   ""
Picture155 picture  11100 2160   255  375  window     left   ""
Picture156 picture  11400 2160   255  375  window     left   ""
Text180    caption  11280 2640   375  375  sans 13.5  centre "3"
Picture135 picture    120 2640 10455 6735  window     left   ""
Text220    caption  10680 3120  1095  255  window     left   "SETT WIDTH"
Text230    text     10800 3360   855  285  window     centre "0"
WEAVE      button   10800 3720   855  735  window     left   "WEAVE"
Picture246 picture  10920 4560   615  615  window     left   ""
Text120    caption  10600 5160  1215  285  serif 6.75 centre "BACKGROUND"
Command1   button   10800 5400   855  735  window     left   "Brighten then reweave"
Command2   button   10800 6240   855  615  window     left   "Darken then reweave"
Text26     caption  10800 6960   855  165  window     centre "SEARCH"
Command3   button   10680 7320   975  255  window     left   "A To Di"
Command4   button   10680 7680   975  255  window     left   "Do To J"
Command5   button   10680 8040   975  255  window     left   "K to MacO"
Command6   button   10680 8400   975  255  window     left   "MacP to Sa"
Command7   button   10680 8760   975  255  window     left   "Sc to U"
Command8   button   10680 9120   975  255  window     left   "V to Z"
)";

struct Designed {
    QString name;
    ControlKind kind;
    QRect twips;
    Typeface typeface;
    double points; // 0: the window's
    Alignment alignment;
    QString text;
};

std::vector<Designed> designedControls() {
    static const QRegularExpression line(QStringLiteral(
        R"re(^(\S+)\s+(\S+)\s+(\d+)\s+(\d+)\s+(\d+)\s+(\d+)\s+(window|sans|serif)\s*)re"
        R"re(([\d.]*)\s+(left|centre)\s+"(.*)"$)re"));
    const std::map<QString, ControlKind> kinds{{"caption", ControlKind::CaptionBox},
                                               {"text", ControlKind::TextBox},
                                               {"picture", ControlKind::PictureBox},
                                               {"button", ControlKind::CommandButton}};
    const std::map<QString, Typeface> faces{
        {"window", Typeface::Default}, {"sans", Typeface::SansSerif}, {"serif", Typeface::Serif}};
    std::vector<Designed> rows;
    for (const QString& text : QString::fromLatin1(kDesignedControls).split(u'\n')) {
        if (text.isEmpty()) {
            continue;
        }
        const QRegularExpressionMatch m = line.match(text);
        if (!m.hasMatch()) {
            ADD_FAILURE() << "unreadable row: " << text.toStdString();
            continue;
        }
        rows.push_back({m.captured(1), kinds.at(m.captured(2)),
                        QRect(m.captured(3).toInt(), m.captured(4).toInt(), m.captured(5).toInt(),
                              m.captured(6).toInt()),
                        faces.at(m.captured(7)), m.captured(8).toDouble(),
                        m.captured(9) == "left" ? Alignment::Left : Alignment::Centre,
                        m.captured(10)});
    }
    return rows;
}

QRect pixels(const QRect& twips) {
    return {qRound(twips.x() / 15.0), qRound(twips.y() / 15.0), qRound(twips.width() / 15.0),
            qRound(twips.height() / 15.0)};
}

} // namespace

TEST(ControlTable, HoldsEveryControlAsDesigned) {
    std::map<QString, const ControlDescription*> table;
    for (const ControlDescription& row : mainWindowControls()) {
        table.emplace(row.name, &row);
    }
    const std::vector<Designed> designed = designedControls();
    ASSERT_EQ(designed.size(), 67u);
    EXPECT_EQ(table.size(), designed.size() + paletteSwatches().size());
    for (const Designed& d : designed) {
        SCOPED_TRACE(d.name.toStdString());
        ASSERT_TRUE(table.contains(d.name));
        const ControlDescription& row = *table.at(d.name);
        EXPECT_EQ(row.kind, d.kind);
        EXPECT_EQ(QRect(row.left, row.top, row.width, row.height), d.twips);
        EXPECT_EQ(row.text, d.text);
        EXPECT_EQ(row.typeface, d.typeface);
        EXPECT_EQ(row.pointSize, d.points);
        EXPECT_EQ(row.alignment, d.alignment);
    }
}

TEST_F(WindowTest, EveryControlStandsAndReadsAsDesigned) {
    const QFont windowFont = window->font();
    for (const Designed& d : designedControls()) {
        SCOPED_TRACE(d.name.toStdString());
        const QWidget* widget = get(d.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), pixels(d.twips));
        if (d.kind == ControlKind::PictureBox) {
            continue;
        }
        if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
            EXPECT_EQ(button->text(), d.text);
        } else {
            const auto* box = qobject_cast<const QLineEdit*>(widget);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->text(), d.text);
            EXPECT_EQ(box->alignment() & Qt::AlignHorizontal_Mask,
                      d.alignment == Alignment::Left ? Qt::AlignLeft : Qt::AlignHCenter);
        }
        const QFont font = widget->font();
        EXPECT_EQ(font.pointSizeF(), d.points > 0 ? d.points : windowFont.pointSizeF());
        if (d.typeface == Typeface::Serif) {
            EXPECT_EQ(font.styleHint(), QFont::Serif);
        } else {
            EXPECT_EQ(font.family(), windowFont.family());
        }
    }
}
