#include "entry/SettText.h"
#include "entry/StripeLock.h"
#include "model/DesignState.h"

#include <gtest/gtest.h>

using namespace loomara;

namespace {

// Written limits and the lock's limits are one rule; a change to one must reach the other.
static_assert(kLargestWrittenCount == kMaxThreadCount);

QString written(const SettReading& reading) {
    QStringList pairs;
    for (const WrittenStripe& s : reading.stripes) {
        EXPECT_EQ(s.swatch.codeText(), s.code);
        pairs << s.code + QString::number(s.count);
    }
    return pairs.join(u' ');
}

SettRefusal refusalOf(QStringView text) {
    const SettReading reading = readWrittenSett(text);
    EXPECT_FALSE(reading.ok()) << text.toString().toStdString();
    EXPECT_TRUE(reading.stripes.isEmpty());
    return reading.refusal.value_or(SettRefusal{});
}

} // namespace

TEST(SettText, ReadsTheListFormAndTheNotationForm) {
    const SettReading list = readWrittenSett(u"y8b32k28r60y8");
    ASSERT_TRUE(list.ok());
    EXPECT_EQ(written(list), "y8 b32 k28 r60 y8");
    EXPECT_EQ(list.stripes[0].swatch.colour(), (Rgb{192, 192, 0}));

    const SettReading notation = readWrittenSett(u"K10, R20, lr4, ");
    ASSERT_TRUE(notation.ok());
    EXPECT_EQ(written(notation), "K10 R20 lr4");
    // Codes are case-sensitive: "K" and "k" are different colours.
    EXPECT_EQ(notation.stripes[0].swatch.colour(), (Rgb{2, 2, 2}));
    EXPECT_EQ(readWrittenSett(u"k10").stripes[0].swatch.colour(), (Rgb{0, 0, 0}));

    EXPECT_EQ(written(readWrittenSett(u"K10, R20, lr4")), "K10 R20 lr4");
    EXPECT_EQ(written(readWrittenSett(u"K10,R20")), "K10 R20");
    EXPECT_EQ(written(readWrittenSett(u" \t y8b32\r\n")), "y8 b32");
    EXPECT_EQ(written(readWrittenSett(u"DOG0T007")), "DOG0 T7");
    // The limits themselves: 21 stripes, and 10 x 3276 + 7 = 32767 threads.
    EXPECT_EQ(readWrittenSett(QStringLiteral("y1").repeated(21)).stripes.size(), 21);
    EXPECT_EQ(readWrittenSett(QStringLiteral("y3276").repeated(10) + "b7").stripes.size(), 11);
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
        {"y8 b4", 3, "at character 3: a blank cannot stand inside a sett."},
        {"y8]b4", 3,
         "at character 3: \"]\" splits the sett in two; only one run of colour codes and counts "
         "can be woven."},
        {".y4", 1, "at character 1: \".\" is neither a colour code nor a thread count."},
        {"y4\x01", 3,
         "at character 3: the character U+0001 is neither a colour code nor a thread count."},
        {"y3277", 2,
         "at character 2: the thread count 3277 is above 3276 and does not fit the strip."},
        {"y99999999999999999999", 2,
         "at character 2: the thread count 99999999999999999999 is above 3276 and does not fit "
         "the strip."},
        {QStringLiteral("y1").repeated(22), 43,
         "at character 43: the sett has 22 stripes; a sett holds at most 21."},
        {QStringLiteral("y3276").repeated(10) + "b8", 51,
         "at character 51: with this stripe the sett would be wider than 32767 threads."},
        // The notation box keeps counts as typed; only whole digit counts are read.
        {"K10, R2.5, ", 7,
         "at character 7: \"2.5\" is not a whole thread count; write the count in digits alone."},
        {"K 7 , ", 2,
         "at character 2: \" 7 \" is not a whole thread count; write the count in digits alone."},
        {"K10, , R4", 6, "at character 6: an entry between commas is empty."},
        {"K10, zz4, ", 6, "at character 6: \"zz\" is not a colour code of the palette."},
        {"8, ", 1, "at character 1: the thread count \"8\" has no colour code before it."},
        {"K10, R, ", 6, "at character 6: the colour code \"R\" has no thread count after it."},
        // The first fault in the text is the one named.
        {"zz4y", 1, "at character 1: \"zz\" is not a colour code of the palette."},
        {QStringLiteral("y1").repeated(22) + "zz1", 45,
         "at character 45: \"zz\" is not a colour code of the palette."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const SettRefusal refusal = refusalOf(c.text);
        EXPECT_EQ(refusal.message, c.message);
        EXPECT_EQ(refusal.character, c.character);
    }
}
