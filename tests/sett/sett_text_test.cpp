#include "palette/PaletteSwatch.h"
#include "sett/SettText.h"

#include "support/RandomSett.h"

#include <gtest/gtest.h>

using namespace loomara;
using namespace loomara::testing;

namespace {

// The stripes as "code count" pairs, a blank between, with "/" for a pivot.
QString pairs(const SettReading& reading) {
    EXPECT_TRUE(reading.ok()) << reading.refusal->message.toStdString();
    QStringList written;
    for (const SettStripe& s : reading.sett.stripes) {
        EXPECT_EQ(findSwatchByCode(s.code)->colour(), s.colour);
        written << s.code + QString::number(s.count);
    }
    return written.join(u' ');
}

} // namespace

TEST(SettText, ReadsEveryFormPeopleWrite) {
    struct Case {
        QString text;
        QString stripes;
        Repeat repeat;
        bool unmarked; // told on stderr how it was read
    };
    const QList<Case> cases{
        {"y8b32k28r60y8", "y8 b32 k28 r60 y8", Repeat::Symmetric, false},
        {"K10, R20, lr4, ", "K10 R20 lr4", Repeat::Symmetric, false},
        {"K10,R20", "K10 R20", Repeat::Symmetric, false},
        {" \t y8b32\r\n", "y8 b32", Repeat::Symmetric, false},
        {"DOG0T007", "DOG0 T7", Repeat::Symmetric, false},
        {"K4 R24 K24 Y4", "K4 R24 K24 Y4", Repeat::Symmetric, true},
        {"K4  R24\tK24 Y4", "K4 R24 K24 Y4", Repeat::Symmetric, true},
        {"K4, R24 K24, Y4", "K4 R24 K24 Y4", Repeat::Symmetric, false},
        {"B/24 W4 B24 R2 K24 G24 W/2", "B24 W4 B24 R2 K24 G24 W2", Repeat::Symmetric, false},
        {"B/24 W4", "B24 W4", Repeat::Symmetric, false},
        {"K/6", "K6", Repeat::Symmetric, false},
        {"...K4 R24 K24 Y4...", "K4 R24 K24 Y4", Repeat::Straight, false},
        {"...k4r8...", "k4 r8", Repeat::Straight, false},
        {"K4", "K4", Repeat::Symmetric, false},
        // Line breaks and blanks of every kind, as a sett copied from a page may hold.
        {"K4\r\nR24\u00a0K24\u2009Y4\n", "K4 R24 K24 Y4", Repeat::Symmetric, true},
        // A byte-order mark, at the start, the end or between pairs, shows as nothing.
        {"\ufeffK4 R24\ufeff", "K4 R24", Repeat::Symmetric, true},
        {"K4\ufeffR24", "K4 R24", Repeat::Symmetric, true},
        // The limits themselves.
        {"y10000", "y10000", Repeat::Symmetric, false},
        {"y10000 b10000 y10000 b10000 y10000 b10000", "y10000 b10000 y10000 b10000 y10000 b10000",
         Repeat::Symmetric, true},
        {"...y10000 b10000 y10000 b10000 y10000 b10000 y10000 b10000 y10000 b10000...",
         "y10000 b10000 y10000 b10000 y10000 b10000 y10000 b10000 y10000 b10000", Repeat::Straight,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const SettReading reading = readSett(c.text);
        EXPECT_EQ(pairs(reading), c.stripes);
        EXPECT_EQ(reading.sett.repeat, c.repeat);
        EXPECT_EQ(reading.unmarkedPairs, c.unmarked);
    }
    // Codes are case-sensitive: "K" and "k" are different colours.
    EXPECT_EQ(readSett(u"K10").sett.stripes[0].colour, (Rgb{2, 2, 2}));
    EXPECT_EQ(readSett(u"k10").sett.stripes[0].colour, (Rgb{0, 0, 0}));
    EXPECT_EQ(readSett(QStringLiteral("y1").repeated(kMostSettStripes)).sett.stripes.size(),
              kMostSettStripes);
}

TEST(SettText, EachRefusalNamesItsPlace) {
    struct Case {
        QString text;
        int character;
        QString message;
    };
    const QList<Case> cases{
        {" \r\n ", 0, "there is no sett to read: the text is empty."},
        {"y8zz4", 3, "at character 3: \"zz\" is not a colour code of the palette."},
        {"y8b", 3, "at character 3: the colour code \"b\" has no thread count after it."},
        {"8y4", 1, "at character 1: the thread count \"8\" has no colour code before it."},
        {"K 7 , ", 1, "at character 1: the colour code \"K\" has no thread count after it."},
        {"y8]b4", 3,
         "at character 3: \"]\" splits the sett in two; only one run of colour codes and counts "
         "can be woven."},
        {".y4", 1, "at character 1: \".\" is neither a colour code nor a thread count."},
        {"y4\x01", 3,
         "at character 3: the character U+0001 is neither a colour code nor a thread count."},
        {"y10001", 2,
         "at character 2: the thread count 10001 is above 10000, the most a stripe may hold."},
        {"y99999999999999999999", 2,
         "at character 2: the thread count 99999999999999999999 is above 10000, the most a "
         "stripe may hold."},
        // However long, what the user wrote is repeated as its start.
        {"y" + QString(130000, u'9'), 2,
         "at character 2: the thread count 999999999999999999999999999999\u2026 is above 10000, "
         "the most a stripe may hold."},
        {QStringLiteral("y1").repeated(1001), 2001,
         "at character 2001: the sett has 1001 stripes; a sett holds at most 1000."},
        // Up to b10000 a repeat is 10000 + 2 x 4 x 10000 + 10000 = 100000 threads, the most;
        // with y1 as the last pivot b10000 counts twice.
        {"y10000 b10000 y10000 b10000 y10000 b10000 y1", 43,
         "at character 43: with this stripe one repeat of the sett would hold 110001 threads, "
         "more than the 100000 a sett may hold."},
        {"K10, R2.5, ", 7,
         "at character 7: \"2.5\" is not a whole thread count; write the count in digits alone."},
        {"K10, , R4", 6, "at character 6: an entry between commas is empty."},
        {", K4", 1, "at character 1: an entry between commas is empty."},
        {"K10, zz4, ", 6, "at character 6: \"zz\" is not a colour code of the palette."},
        // Codes are read as written: "DR" is a colour, "dr" is not.
        {"dr4 K8", 1, "at character 1: \"dr\" is not a colour code of the palette."},
        // Pivot and repeat marks.
        {"B/24 W/4 B24", 7,
         "at character 7: a slash marks a pivot, and only the first and the last stripe are "
         "pivots."},
        {"B24 /4", 5,
         "at character 5: a slash marks a pivot and stands between its colour code and its "
         "count."},
        {"...B/24 W4...", 5,
         "at character 5: a straight repeat has no pivots; leave out the slash or the \"...\" "
         "marks."},
        {"...K4 R24", 1, "at character 1: \"...\" opens a straight repeat that no \"...\" closes."},
        {"K4 R24...", 7, "at character 7: \"...\" closes a straight repeat that no \"...\" opens."},
        {"......", 1, "at character 1: there is no sett between the \"...\" marks."},
        {"...", 1, "at character 1: \"...\" opens a straight repeat that no \"...\" closes."},
        {"... , ...", 1, "at character 1: there is no sett between the \"...\" marks."},
        // A sign where the count should start is named, not the code before it.
        {"K//4", 3,
         "at character 3: a slash marks a pivot and stands between its colour code and its "
         "count."},
        {"K-4", 2, "at character 2: \"-\" is neither a colour code nor a thread count."},
        {"K4 \U0001F600", 4,
         "at character 4: \"\U0001F600\" is neither a colour code nor a thread count."},
        // The first fault in the text is the one named.
        {"zz4y", 1, "at character 1: \"zz\" is not a colour code of the palette."},
        {"B/4 W/4 zz4", 6,
         "at character 6: a slash marks a pivot, and only the first and the last stripe are "
         "pivots."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const SettReading reading = readSett(c.text);
        ASSERT_FALSE(reading.ok());
        EXPECT_TRUE(reading.sett.stripes.isEmpty());
        EXPECT_EQ(reading.refusal->message, c.message);
        EXPECT_EQ(reading.refusal->character, c.character);
    }
    // Places count from where the caller's piece of text starts.
    EXPECT_EQ(readSett(u"y8zz4", 21).refusal->character, 23);
}

TEST(SettText, TheWrittenFormReadsBackAsTheSameSett) {
    std::mt19937 random(18);
    for (int round = 0; round < 300; ++round) {
        // 1 to 200 stripes of the palette's codes, symmetric or straight.
        const Sett sett = randomSett(random, {200, 0, 249});
        const QString written = writtenForm(sett);
        SCOPED_TRACE(written.left(200).toStdString());
        const SettReading reading = readSett(written);
        ASSERT_TRUE(reading.ok()) << reading.refusal->message.toStdString();
        EXPECT_EQ(reading.sett, sett);
        EXPECT_FALSE(reading.unmarkedPairs);
        // Each stripe points at where its code stands in the text.
        for (const SettStripe& stripe : reading.sett.stripes) {
            EXPECT_EQ(written.mid(stripe.writtenAt - 1, stripe.code.size()), stripe.code);
        }
    }
}
