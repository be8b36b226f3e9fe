#include "entry/ReferenceEntries.h"
#include "reference/ReferencePages.h"

#include <gtest/gtest.h>

#include <array>

using namespace loomara;

namespace {

void expectEntry(const ReferenceEntry& e, const QString& name, const QString& notation, int line,
                 int notationLine, int notationCharacter) {
    EXPECT_EQ(e.name, name);
    EXPECT_EQ(e.notation, notation);
    EXPECT_EQ(e.line, line);
    EXPECT_EQ(e.notationLine, notationLine);
    EXPECT_EQ(e.notationCharacter, notationCharacter);
}

} // namespace

TEST(ReferenceEntries, ALineSplitsIntoNameAndNotation) {
    expectEntry(readReferenceLine(u"Aberdeen University           y8b32k28r60y8", 12),
                "Aberdeen University", "y8b32k28r60y8", 12, 12, 31);
    // A name may end in what looks like a pair; the run of blanks decides.
    expectEntry(readReferenceLine(u"Buchanan D1                       n2f16k1"), "Buchanan D1",
                "n2f16k1", 1, 1, 35);
    expectEntry(readReferenceLine(u"Miyuki, Check Ecru Beige, No 1001A  j80lg2"),
                "Miyuki, Check Ecru Beige, No 1001A", "j80lg2", 1, 1, 37);
    expectEntry(readReferenceLine(u"Utah Centennial w6b16"), "Utah Centennial", "w6b16", 1, 1, 17);
    expectEntry(readReferenceLine(u"Yukon     p8b32y2 \r"), "Yukon", "p8b32y2", 1, 1, 11);
    expectEntry(readReferenceLine(u"Devon 2000 "), "Devon 2000", "", 1, 1, 0);
    expectEntry(readReferenceLine(u"  y8b4"), "", "y8b4", 1, 1, 3);
    expectEntry(readReferenceLine(u"   "), "", "", 1, 1, 0);
}

TEST(ReferenceEntries, IrregularLinesAreKeptWithTheReasonOnTheLine) {
    struct Case {
        QString line;
        QString message;
    };
    const QList<Case> cases{
        {"Virginia Military Institute  y12r60]y12r60",
         "at character 36: \"]\" splits the sett in two; only one run of colour codes and counts "
         "can be woven."},
        {"Yukon   p8b40 Yukon", "at character 14: a blank cannot stand inside a sett."},
        {"Lone   p8b40y", "at character 13: the colour code \"y\" has no thread count after it."},
        {"Counted   4p8b40",
         "at character 11: the thread count \"4\" has no colour code before it."},
        {"Dotted   .p8b40", "at character 10: \".\" is neither a colour code nor a thread count."},
        {"Alone", "there is no sett after the name."},
        {"Many  " + QStringLiteral("k2").repeated(22),
         "at character 49: the sett has 22 stripes; a sett holds at most 21."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        const SettReading reading = readReferenceSett(readReferenceLine(c.line));
        ASSERT_FALSE(reading.ok());
        EXPECT_EQ(reading.refusal->message, c.message);
    }
}

TEST(ReferenceEntries, ANameAloneTakesTheNextLineOfPairsOnly) {
    const QString list = QStringLiteral("First    y8b4\r\n"
                                        "Second, alone \r\n"
                                        "   k2w4\r\n"
                                        "Third alone\r\n"
                                        "Fourth   r6\r\n"
                                        "g2\r\n"
                                        "\r\n"
                                        "Fifth\r\n"
                                        "\r\n"
                                        "b8");
    const QList<ReferenceEntry> entries = readReferenceList(list);
    ASSERT_EQ(entries.size(), 7);
    expectEntry(entries[0], "First", "y8b4", 1, 1, 10);
    expectEntry(entries[1], "Second, alone", "k2w4", 2, 3, 4);
    expectEntry(entries[2], "Third alone", "", 4, 4, 0);
    expectEntry(entries[3], "Fourth", "r6", 5, 5, 10);
    // A line of pairs after a whole entry, or after a gap, is a notation without a name.
    expectEntry(entries[4], "", "g2", 6, 6, 1);
    expectEntry(entries[5], "Fifth", "", 8, 8, 0);
    expectEntry(entries[6], "", "b8", 10, 10, 1);

    const SettReading joined = readReferenceSett(entries[1]);
    ASSERT_TRUE(joined.ok());
    EXPECT_EQ(joined.stripes.size(), 2);
    EXPECT_EQ(readReferenceSett(readReferenceLine(u"   k2w4zz1")).refusal->character, 8);
}

TEST(ReferenceEntries, TheStoredListsReadAsCounted) {
    struct Count {
        int entries;
        int clean;
        int tooManyStripes;
        int otherwise;
    };
    const std::array<Count, 6> expected{{
        {666, 627, 39, 0},
        {640, 613, 27, 0},
        {738, 689, 49, 0},
        {657, 610, 47, 0},
        {378, 360, 18, 0},
        {176, 170, 5, 1},
    }};
    for (int page = 1; page <= 6; ++page) {
        SCOPED_TRACE(page);
        const QList<ReferenceEntry> entries = readReferenceList(reference::storedList(page));
        Count counted{static_cast<int>(entries.size()), 0, 0, 0};
        for (const ReferenceEntry& e : entries) {
            EXPECT_FALSE(e.name.isEmpty()) << e.line;
            const SettReading reading = readReferenceSett(e);
            if (reading.ok()) {
                ++counted.clean;
            } else if (reading.refusal->message.contains("a sett holds at most 21")) {
                ++counted.tooManyStripes;
            } else {
                ++counted.otherwise;
            }
        }
        const Count& want = expected[static_cast<std::size_t>(page - 1)];
        EXPECT_EQ(counted.entries, want.entries);
        EXPECT_EQ(counted.clean, want.clean);
        EXPECT_EQ(counted.tooManyStripes, want.tooManyStripes);
        EXPECT_EQ(counted.otherwise, want.otherwise);
    }

    const QList<ReferenceEntry> first = readReferenceList(reference::storedList(1));
    const auto aberdeen = std::find_if(first.begin(), first.end(), [](const ReferenceEntry& e) {
        return e.name == "Aberdeen University";
    });
    ASSERT_NE(aberdeen, first.end());
    const SettReading reading = readReferenceSett(*aberdeen);
    ASSERT_TRUE(reading.ok());
    QStringList pairs;
    for (const WrittenStripe& s : reading.stripes) {
        pairs << s.code + QString::number(s.count);
    }
    EXPECT_EQ(pairs.join(u' '), "y8 b32 k28 r60 y8");
}
