#include "palette/PaletteSwatch.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

using namespace loomara;

namespace {

bool isShade(const PaletteSwatch& s) {
    return s.row <= 3;
}

int largestShownDifference(const PaletteSwatch& s) {
    return std::max({std::abs(s.red - s.shownColour.red), std::abs(s.green - s.shownColour.green),
                     std::abs(s.blue - s.shownColour.blue)});
}

bool allOf(const QString& text, bool (*test)(QChar)) {
    return std::all_of(text.begin(), text.end(), test);
}

} // namespace

TEST(PaletteTable, HoldsEachSwatchPictureOnceWithADistinctCaseSensitiveCode) {
    const auto swatches = paletteSwatches();
    ASSERT_EQ(swatches.size(), 163u);
    std::set<QString> codes;
    std::set<int> pictures;
    for (const auto& s : swatches) {
        codes.insert(s.codeText());
        pictures.insert(s.pictureNumber);
    }
    EXPECT_EQ(codes.size(), 163u);
    std::set<int> expected;
    for (int n = 1; n <= 134; ++n) {
        expected.insert(n);
    }
    for (int n = 157; n <= 185; ++n) {
        expected.insert(n);
    }
    EXPECT_EQ(pictures, expected);
}

TEST(PaletteTable, ShadesAreUpperCaseAndBaseColoursLowerCase) {
    int shades = 0;
    int bases = 0;
    std::set<QString> baseCodes;
    for (const auto& s : paletteSwatches()) {
        const QString code = s.codeText();
        EXPECT_GE(code.size(), 1);
        if (isShade(s)) {
            ++shades;
            EXPECT_LE(s.pictureNumber, 134) << s.code;
            EXPECT_LE(code.size(), 3) << s.code;
            EXPECT_TRUE(allOf(code, [](QChar c) { return c >= u'A' && c <= u'Z'; })) << s.code;
        } else {
            ++bases;
            EXPECT_GE(s.pictureNumber, 157) << s.code;
            EXPECT_LE(code.size(), 2) << s.code;
            EXPECT_TRUE(allOf(code, [](QChar c) { return c >= u'a' && c <= u'z'; })) << s.code;
            baseCodes.insert(code);
        }
        for (const int16 c : {s.red, s.green, s.blue}) {
            EXPECT_GE(c, 0);
            EXPECT_LE(c, 255);
        }
    }
    EXPECT_EQ(shades, 134);
    EXPECT_EQ(bases, 29);
    const auto differsOnlyInCase = std::count_if(
        paletteSwatches().begin(), paletteSwatches().end(), [&](const PaletteSwatch& s) {
            return isShade(s) && baseCodes.count(s.codeText().toLower()) == 1;
        });
    EXPECT_EQ(differsOnlyInCase, 21);
}

TEST(PaletteTable, OnlyDogAndTSetTheSameColour) {
    std::map<std::int32_t, QStringList> byColour;
    for (const auto& s : paletteSwatches()) {
        byColour[s.colour().value()].append(s.codeText());
    }
    QStringList shared;
    for (const auto& [value, codes] : byColour) {
        if (codes.size() > 1) {
            shared = codes;
            EXPECT_EQ(value, (Rgb{95, 63, 0}).value());
        }
    }
    EXPECT_EQ(shared, (QStringList{"DOG", "T"}));
    EXPECT_EQ(byColour.size(), 162u);
}

TEST(PaletteTable, ShownColoursDifferSlightlyExceptForFifteenNamedSwatches) {
    int differing = 0;
    int slightly = 0;
    QStringList clearly;
    int largest = 0;
    QString largestCode;
    for (const auto& s : paletteSwatches()) {
        const int d = largestShownDifference(s);
        if (d == 0) {
            continue;
        }
        ++differing;
        if (d <= 3) {
            ++slightly;
        } else {
            clearly.append(s.codeText());
        }
        if (d > largest) {
            largest = d;
            largestCode = s.codeText();
        }
    }
    EXPECT_EQ(differing, 57);
    EXPECT_EQ(slightly, 42);
    clearly.sort();
    QStringList named{"K",  "N",   "LN", "W",  "DR", "S", "PIN", "LIL",
                      "DU", "GDB", "LB", "LA", "AB", "H", "y"};
    named.sort();
    EXPECT_EQ(clearly, named);
    EXPECT_EQ(largest, 40);
    EXPECT_EQ(largestCode, "GDB");
}

TEST(PaletteTable, LegendRepeatsTheBaseCodesInSwatchOrder) {
    QStringList baseCodes;
    for (const auto& s : paletteSwatches()) {
        if (!isShade(s)) {
            baseCodes.append(s.codeText());
        }
    }
    const QString legend = QString::fromLatin1(kBaseColourLegend);
    EXPECT_EQ(legend.split(u' ', Qt::SkipEmptyParts), baseCodes);
    EXPECT_TRUE(legend.startsWith("  lr "));
    EXPECT_TRUE(legend.endsWith(" j"));
}

TEST(PaletteTable, SwatchesFillTheirRowsLeftToRightOnThe240TwipGrid) {
    std::map<int, std::vector<int>> columnsByRow;
    int previousRow = 1;
    int previousColumn = -1;
    for (const auto& s : paletteSwatches()) {
        columnsByRow[s.row].push_back(s.column);
        // Table order is reading order: row by row, left to right.
        if (s.row == previousRow) {
            EXPECT_EQ(s.column, previousColumn + 1) << s.code;
        } else {
            EXPECT_EQ(s.row, previousRow + 1) << s.code;
        }
        previousRow = s.row;
        previousColumn = s.column;
        EXPECT_EQ(s.left(), 120 + 240 * s.column);
        EXPECT_EQ(s.top(), 120 + 240 * (s.row - 1));
    }
    ASSERT_EQ(columnsByRow.size(), 4u);
    const std::map<int, std::pair<int, int>> span{
        {1, {0, 46}}, {2, {0, 45}}, {3, {0, 40}}, {4, {10, 38}}};
    for (const auto& [row, columns] : columnsByRow) {
        EXPECT_EQ(columns.front(), span.at(row).first) << row;
        EXPECT_EQ(columns.back(), span.at(row).second) << row;
        EXPECT_EQ(static_cast<int>(columns.size()), span.at(row).second - span.at(row).first + 1);
    }
    const auto* lr = findSwatch(157);
    const auto* j = findSwatch(185);
    ASSERT_TRUE(lr && j);
    EXPECT_EQ(lr->left(), 2520);
    EXPECT_EQ(j->left(), 9240);
    EXPECT_EQ(lr->top(), 840);
    EXPECT_EQ(PaletteSwatch::kSize, 255);
}

TEST(PaletteTable, LooksUpSwatchesByPictureNumberOnly) {
    const auto* k = findSwatch(1);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(k->codeText(), "K");
    EXPECT_EQ(k->controlName(), "Picture1");
    EXPECT_EQ(k->shownColour, (Rgb{12, 12, 12}));
    EXPECT_EQ(k->colour(), (Rgb{2, 2, 2}));
    ASSERT_NE(findSwatch(44), nullptr);
    EXPECT_EQ(findSwatch(44)->codeText(), "CW");
    // The weave picture, the lock boxes and the background box are not swatches.
    for (const int n : {0, 135, 136, 150, 156, 186, 246, -1}) {
        EXPECT_EQ(findSwatch(n), nullptr) << n;
    }
}
