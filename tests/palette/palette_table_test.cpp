#include "palette/PaletteSwatch.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

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

// The whole table as designed, one swatch a line: its picture, its code, the colour a click sets,
// the colour it shows and its top-left corner in twips. Compared whole, so a single digit or a
// transposed letter anywhere shows up in the diff.
constexpr const char* kGoldenPalette = R"(
Picture1    K   sets   2   2   2  shows  12  12  12  at   120 120
Picture2    CN  sets  39  39  39  shows  39  39  39  at   360 120
Picture3    DDN sets  59  59  59  shows  59  59  59  at   600 120
Picture4    RN  sets  79  79  79  shows  79  79  79  at   840 120
Picture5    MN  sets  99  99  99  shows  99  99  99  at  1080 120
Picture6    LK  sets 127 127 127  shows 127 127 127  at  1320 120
Picture7    N   sets 147 147 147  shows 127 127 127  at  1560 120
Picture8    DW  sets 175 175 175  shows 175 175 175  at  1800 120
Picture9    LN  sets 200 200 200  shows 191 191 191  at  2040 120
Picture44   CW  sets 224 224 199  shows 224 224 199  at  2280 120
Picture10   W   sets 250 250 250  shows 255 255 255  at  2520 120
Picture122  DRT sets  30  20  20  shows  29  19  19  at  2760 120
Picture109  DRM sets  30   0  15  shows  29   0  14  at  3000 120
Picture120  LR  sets 110  80  85  shows 107  79  83  at  3240 120
Picture126  DRN sets 120  80  80  shows 119  79  79  at  3480 120
Picture111  DM  sets  90  27  55  shows  90  27  55  at  3720 120
Picture117  M   sets 120  25  55  shows 119  24  55  at  3960 120
Picture116  DWR sets 120   0  40  shows 119   0  39  at  4200 120
Picture113  WR  sets 125   0  51  shows 123   0  51  at  4440 120
Picture123  RO  sets 125   0   0  shows 124   0   0  at  4680 120
Picture124  DR  sets 135   0   0  shows 127   0   0  at  4920 120
Picture112  C   sets 165   0  71  shows 164   0  71  at  5160 120
Picture110  RM  sets 170   0  85  shows 169   1  84  at  5400 120
Picture114  LC  sets 200   0  80  shows 199   0  79  at  5640 120
Picture118  SR  sets 200   0  40  shows 199   0  39  at  5880 120
Picture119  S   sets 190   0  30  shows 199   0  39  at  6120 120
Picture121  DCC sets 175   0  20  shows 175   0  19  at  6360 120
Picture125  R   sets 165   0   0  shows 164   0   0  at  6600 120
Picture127  DRR sets 200   0   0  shows 199   0   0  at  6840 120
Picture128  SSR sets 200  10  10  shows 199   9   9  at  7080 120
Picture129  BR  sets 200  20  20  shows 199  19  19  at  7320 120
Picture130  CLR sets 200  40  40  shows 199  39  39  at  7560 120
Picture115  LLC sets 250 100 150  shows 249  99 150  at  7800 120
Picture132  PI  sets 245 140 140  shows 245 140 140  at  8040 120
Picture133  PIN sets 240 160 160  shows 236 157 157  at  8280 120
Picture134  VLC sets 225 175 175  shows 223 175 175  at  8520 120
Picture104  RED sets  45   0  45  shows  45   0  45  at  8760 120
Picture108  DTM sets  60  15  40  shows  59  16  39  at  9000 120
Picture100  DP  sets  75  40  95  shows  75  39  95  at  9240 120
Picture105  BLU sets  75   0  75  shows  75   0  75  at  9480 120
Picture103  MP  sets  80   0 100  shows  79   0  99  at  9720 120
Picture106  P   sets 120   0 120  shows 119   0 119  at  9960 120
Picture107  LP  sets 135   0 105  shows 132   0 103  at 10200 120
Picture101  LLP sets 160   0 240  shows 159   0 239  at 10440 120
Picture99   LIL sets 200 100 250  shows 196  99 249  at 10680 120
Picture102  LV  sets 196 156 215  shows 196 156 215  at 10920 120
Picture131  FN  sets 170 160 160  shows 168 159 159  at 11160 120
Picture32   MU  sets 199 119  16  shows 199 119  16  at   120 360
Picture33   LMU sets 249 150   0  shows 249 150   0  at   360 360
Picture34   KGY sets 230 140   0  shows 230 140   0  at   600 360
Picture38   DY  sets 223 175   0  shows 223 175   0  at   840 360
Picture39   Y   sets 231 191   0  shows 231 191   0  at  1080 360
Picture43   VLY sets 249 249 150  shows 249 249 150  at  1320 360
Picture25   NT  sets 150  59  14  shows 150  59  14  at  1560 360
Picture28   RRT sets 175  75   0  shows 175  75   0  at  1800 360
Picture17   RUS sets 165  43   4  shows 165  43   4  at  2040 360
Picture21   AOR sets 199  59   0  shows 199  59   0  at  2280 360
Picture16   DO  sets 223  49   0  shows 223  49   0  at  2520 360
Picture13   AR  sets 224  45   0  shows 224  45   0  at  2760 360
Picture15   OR  sets 224  49   4  shows 224  49   4  at  3000 360
Picture14   RT  sets 249  90  49  shows 249  90  49  at  3240 360
Picture22   LO  sets 236 115  63  shows 236 115  63  at  3480 360
Picture31   LPT sets 199 150  99  shows 199 150  99  at  3720 360
Picture26   DGO sets  59  22   2  shows  59  22   2  at  3960 360
Picture27   E   sets  67  51  39  shows  67  51  39  at  4200 360
Picture23   DT  sets  67  20   0  shows  67  20   0  at  4440 360
Picture24   DU  sets  77  30   0  shows  67  20   0  at  4680 360
Picture20   U   sets  71  20   0  shows  71  20   0  at  4920 360
Picture11   BT  sets  79  14   9  shows  79  14   9  at  5160 360
Picture19   GRT sets  99  39  14  shows  99  39  14  at  5400 360
Picture12   LU  sets 111  59  55  shows 111  59  55  at  5640 360
Picture18   FB  sets 119  75  59  shows 119  75  59  at  5880 360
Picture29   VLT sets 151 123  99  shows 151 123  99  at  6120 360
Picture37   LT  sets 159 135  87  shows 159 135  87  at  6360 360
Picture30   LF  sets 199 175 150  shows 199 175 150  at  6600 360
Picture80   GDB sets  30  40  50  shows   0   0  64  at  6840 360
Picture89   SGB sets  50  50  60  shows  49  49  59  at  7080 360
Picture84   MB  sets  15  27  70  shows  16  26  70  at  7320 360
Picture87   NB  sets   0   0  60  shows   0   0  59  at  7560 360
Picture88   AAB sets  30  30  70  shows  28  28  70  at  7800 360
Picture90   NNB sets  40  40  80  shows  39  39  79  at  8040 360
Picture95   DB  sets  35  28  95  shows  35  28  95  at  8280 360
Picture92   DBN sets  80  80 100  shows  79  79  99  at  8520 360
Picture93   GB  sets  90  90 127  shows  90  90 127  at  8760 360
Picture94   GBB sets  90  90 150  shows  90  90 150  at  9000 360
Picture97   RB  sets  24   0 111  shows  24   0 111  at  9240 360
Picture81   DTB sets  15  60 110  shows  14  59 110  at  9480 360
Picture85   GGB sets  15  25 120  shows  14  24 119  at  9720 360
Picture91   LRB sets   0   0 150  shows   0   0 150  at  9960 360
Picture83   B   sets  43  63 132  shows  43  63 132  at 10200 360
Picture82   HB  sets   0  60 150  shows   0  59 150  at 10440 360
Picture75   TB  sets   9  99 140  shows   9  99 140  at 10680 360
Picture74   FGB sets   5 115 150  shows   5 115 150  at 10920 360
Picture72   A   sets  71 135 143  shows  71 135 143  at   120 600
Picture98   MBP sets  60   0 150  shows  59   0 150  at   360 600
Picture96   PB  sets  63  11 255  shows  63  11 254  at   600 600
Picture86   V   sets 150 156 215  shows 150 156 215  at   840 600
Picture79   SB  sets   0 100 172  shows   0  99 172  at  1080 600
Picture78   LB  sets  30 125 190  shows  39 135 196  at  1320 600
Picture77   LA  sets  40 135 200  shows  39 135 196  at  1560 600
Picture73   EB  sets  35 210 255  shows  35 209 255  at  1800 600
Picture76   LSB sets 151 210 240  shows 151 207 239  at  2040 600
Picture71   VLA sets 129 245 250  shows 129 245 249  at  2280 600
Picture68   FFG sets 175 220 220  shows 175 220 220  at  2520 600
Picture69   LNB sets 207 239 239  shows 207 239 239  at  2760 600
Picture70   DN  sets 199 255 255  shows 199 255 255  at  3000 600
Picture53   DDG sets   0  26   0  shows   0  26   0  at  3240 600
Picture65   DG  sets   0  59  28  shows   0  59  28  at  3480 600
Picture57   NG  sets  26  59  28  shows  26  59  28  at  3720 600
Picture60   MG  sets   0  59  16  shows   0  59  16  at  3960 600
Picture49   ODD sets  59  70  39  shows  59  70  39  at  4200 600
Picture48   ODG sets  49  63  16  shows  49  63  16  at  4440 600
Picture54   ADG sets  49  75  49  shows  49  75  49  at  4680 600
Picture59   G   sets   0  71  12  shows   0  71  12  at  4920 600
Picture64   ALG sets  49  99  70  shows  49  99  70  at  5160 600
Picture67   AB  sets  69  89  89  shows  79  99  99  at  5400 600
Picture66   DC  sets  79  99  99  shows  79  99  99  at  5640 600
Picture50   TLG sets  79  99  70  shows  79  99  70  at  5880 600
Picture41   GT  sets  82  79  19  shows  82  79  19  at  6120 600
Picture35   DOG sets  95  63   0  shows  95  63   0  at  6360 600
Picture36   T   sets  95  63   0  shows  95  63   0  at  6600 600
Picture47   OG  sets  91  99  39  shows  91  99  39  at  6840 600
Picture45   OOG sets  87  91  31  shows  87  91  31  at  7080 600
Picture46   FG  sets 119 123  87  shows 119 123  87  at  7320 600
Picture42   LOG sets 150 150  59  shows 150 150  59  at  7560 600
Picture40   LY  sets 191 188 103  shows 191 188 103  at  7800 600
Picture61   LH  sets   0  91  28  shows   0  91  28  at  8040 600
Picture62   BG  sets   0  99  39  shows   0  99  39  at  8280 600
Picture63   H   sets   0  85  25  shows   0  99  39  at  8520 600
Picture51   LG  sets  47 156  20  shows  47 156  20  at  8760 600
Picture52   O   sets   0 123   0  shows   0 123   0  at  9000 600
Picture58   EG  sets   0 199  19  shows   0 199  19  at  9240 600
Picture55   PG  sets  83 190  83  shows  83 190  83  at  9480 600
Picture56   GW  sets 185 245 185  shows 185 245 185  at  9720 600
Picture157  lr  sets 255 128 128  shows 255 128 128  at  2520 840
Picture158  p   sets 255   0   0  shows 255   0   0  at  2760 840
Picture159  r   sets 128   0   0  shows 128   0   0  at  3000 840
Picture160  o   sets 128  64   0  shows 128  64   0  at  3240 840
Picture161  k   sets   0   0   0  shows   0   0   0  at  3480 840
Picture162  lg  sets 128 255 128  shows 128 255 128  at  3720 840
Picture163  x   sets   0 255   0  shows   0 255   0  at  3960 840
Picture164  g   sets   0 128   0  shows   0 128   0  at  4200 840
Picture165  i   sets   0 128  64  shows   0 128  64  at  4440 840
Picture166  d   sets  64  64  64  shows  64  64  64  at  4680 840
Picture167  lb  sets 128 128 255  shows 128 128 255  at  4920 840
Picture168  q   sets   0   0 255  shows   0   0 255  at  5160 840
Picture169  b   sets   0   0 128  shows   0   0 128  at  5400 840
Picture170  h   sets   0  64 128  shows   0  64 128  at  5640 840
Picture171  n   sets 128 128 128  shows 128 128 128  at  5880 840
Picture172  v   sets 255 255 128  shows 255 255 128  at  6120 840
Picture173  s   sets 255 255   0  shows 255 255   0  at  6360 840
Picture174  y   sets 192 192   0  shows 207 179   7  at  6600 840
Picture175  f   sets 128   0  64  shows 128   0  64  at  6840 840
Picture176  e   sets 192 192 192  shows 192 192 192  at  7080 840
Picture177  a   sets 128 255 255  shows 128 255 255  at  7320 840
Picture178  t   sets   0 255 255  shows   0 255 255  at  7560 840
Picture179  c   sets   0 128 128  shows   0 128 128  at  7800 840
Picture180  l   sets  64 128   0  shows  64 128   0  at  8040 840
Picture181  w   sets 255 255 255  shows 255 255 255  at  8280 840
Picture182  z   sets 255 125 255  shows 255 125 255  at  8520 840
Picture183  u   sets 255   0 255  shows 255   0 255  at  8760 840
Picture184  m   sets 128   0 128  shows 128   0 128  at  9000 840
Picture185  j   sets  64   0 128  shows  64   0 128  at  9240 840
)";

TEST(PaletteTable, MatchesTheDesignedTableSwatchForSwatch) {
    QString table = QStringLiteral("\n");
    for (const auto& s : paletteSwatches()) {
        table += QStringLiteral("%1 %2 sets %3 %4 %5  shows %6 %7 %8  at %9 %10\n")
                     .arg(s.controlName(), -11)
                     .arg(s.codeText(), -3)
                     .arg(s.red, 3)
                     .arg(s.green, 3)
                     .arg(s.blue, 3)
                     .arg(s.shownColour.red, 3)
                     .arg(s.shownColour.green, 3)
                     .arg(s.shownColour.blue, 3)
                     .arg(s.left(), 5)
                     .arg(s.top(), 3);
    }
    EXPECT_EQ(table.toStdString(), std::string(kGoldenPalette));
}
