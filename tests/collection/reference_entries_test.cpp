#include "collection/ReferenceEntries.h"
#include "reference/ReferencePages.h"

#include <gtest/gtest.h>

#include <array>

using namespace loomara;

TEST(ReferenceEntries, LinesSplitIntoEntriesAndANameAloneTakesTheNextLineOfPairs) {
    const QString list = QStringLiteral("Aberdeen University           y8b32k28r60y8\r\n"
                                        "Buchanan D1                       n2f16k1\r\n"
                                        "Utah Centennial w6b16\r\n"
                                        "Yukon     p8b32y2 \r\n"
                                        "Devon 2000 \r\n"
                                        "   k2w4\r\n"
                                        "Third alone\r\n"
                                        "Fourth   r6\r\n"
                                        "g2\r\n"
                                        "\r\n"
                                        "Fifth\r\n"
                                        "\r\n"
                                        "b8");
    QStringList entries;
    for (const ReferenceEntry& e : readReferenceList(list)) {
        entries.append(QStringLiteral("%1 %2|%3 @%4:%5")
                           .arg(e.line)
                           .arg(e.name, e.notation)
                           .arg(e.notationLine)
                           .arg(e.notationCharacter));
    }
    // A name may end in what looks like a pair ("D1"): the run of blanks decides. A line of
    // pairs after a whole entry, or after a gap, is a notation without a name.
    EXPECT_EQ(entries,
              (QStringList{"1 Aberdeen University|y8b32k28r60y8 @1:31",
                           "2 Buchanan D1|n2f16k1 @2:35", "3 Utah Centennial|w6b16 @3:17",
                           "4 Yukon|p8b32y2 @4:11", "5 Devon 2000|k2w4 @6:4", "7 Third alone| @7:0",
                           "8 Fourth|r6 @8:10", "9 |g2 @9:1", "11 Fifth| @11:0", "13 |b8 @13:1"}));
    EXPECT_EQ(readReferenceSett(readReferenceLine(u"   k2w4zz1")).refusal->character, 8);
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
        {"Yukon   p8b40 Yukon", "at character 15: \"Yukon\" is not a colour code of the palette."},
        {"Alone", "there is no sett after the name."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line.toStdString());
        const SettReading reading = readReferenceSett(readReferenceLine(c.line));
        ASSERT_FALSE(reading.ok());
        EXPECT_EQ(reading.refusal->message, c.message);
    }
}

TEST(ReferenceEntries, TheStoredListsReadAsCounted) {
    // Per page: entries, read cleanly, of them more than the designer's 21 stripes, refused.
    const std::array<std::array<int, 4>, 6> expected{{{666, 666, 39, 0},
                                                      {640, 640, 27, 0},
                                                      {738, 738, 49, 0},
                                                      {657, 657, 47, 0},
                                                      {378, 378, 18, 0},
                                                      {176, 175, 5, 1}}};
    for (int page = 1; page <= 6; ++page) {
        SCOPED_TRACE(page);
        const QList<ReferenceEntry> entries = readReferenceList(reference::storedList(page));
        std::array<int, 4> counted{static_cast<int>(entries.size()), 0, 0, 0};
        for (const ReferenceEntry& e : entries) {
            EXPECT_FALSE(e.name.isEmpty()) << e.line;
            const SettReading reading = readReferenceSett(e);
            ++counted[reading.ok() ? 1 : 3];
            counted[2] += reading.sett.stripes.size() > 21 ? 1 : 0;
        }
        EXPECT_EQ(counted, expected[static_cast<std::size_t>(page - 1)]);
    }

    const QList<ReferenceEntry> first = readReferenceList(reference::storedList(1));
    const auto aberdeen = std::find_if(first.begin(), first.end(), [](const ReferenceEntry& e) {
        return e.name == "Aberdeen University";
    });
    ASSERT_NE(aberdeen, first.end());
    const QList<SettStripe> stripes = readReferenceSett(*aberdeen).sett.stripes;
    ASSERT_EQ(stripes.size(), 5);
    EXPECT_EQ(stripes[1].code, "b");
    EXPECT_EQ(stripes[3].count, 60);
}
