#include "reference/HelpContent.h"
#include "reference/ReferencePages.h"

#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

namespace {

using namespace loomara::reference;

QString boxText(std::string_view name) {
    for (const HelpBox& box : kHelpBoxes) {
        if (box.name == name) {
            return toQString(box.text);
        }
    }
    return {};
}

TEST(HelpContent, ExampleSettIsARedAndBlackSettOfTheLists) {
    const QString example = toQString(kHelpExampleSett);
    EXPECT_TRUE(boxText("Text8").contains(QStringLiteral("small pattern i.e. ") + example +
                                          QStringLiteral(" that is only \r\n")));

    // Name, a run of blanks, then pairs of a colour code and a count.
    const QRegularExpression entry(QStringLiteral("^(.*\\S)\\s{2,}((?:[a-z]+\\d+)+)\\s*$"));
    const QRegularExpression redAndBlackOnly(QStringLiteral("^(?:[rk]\\d+)+$"));
    int redAndBlack = 0;
    for (int page = 1; page <= kReferencePageCount; ++page) {
        for (const QString& line : storedLines(page)) {
            const QRegularExpressionMatch match = entry.match(line);
            const QString notation = match.captured(2);
            if (match.hasMatch() && match.captured(1) == example &&
                redAndBlackOnly.match(notation).hasMatch() && notation.contains('r') &&
                notation.contains('k')) {
                ++redAndBlack;
            }
        }
    }
    EXPECT_GT(redAndBlack, 0);
}

TEST(HelpContent, IconIs32PixelsSquareInAtMostSixteenColours) {
    const QImage icon = helpIcon();
    ASSERT_EQ(icon.size(), QSize(32, 32));
    QSet<QRgb> colours;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            colours.insert(icon.pixel(x, y));
        }
    }
    EXPECT_LE(colours.size(), 16);
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(16, 16)), 255);
    // Every pixel of the map names a colour of the table: none falls back to transparent black
    // inside the page.
    EXPECT_EQ(qAlpha(icon.pixel(3, 2)), 255);
}

} // namespace
