#include "entry/ThreadCount.h"

#include <gtest/gtest.h>

#include <QString>

using namespace loomara;

namespace {

std::optional<long long> parse(const char* text) {
    return parseThreadCount(QString::fromUtf8(text));
}

} // namespace

TEST(ThreadCount, PlainNumbersWithBlanksAndSign) {
    EXPECT_EQ(parse("0"), 0);
    EXPECT_EQ(parse("8"), 8);
    EXPECT_EQ(parse(" 7 "), 7);
    EXPECT_EQ(parse("\t 12\t"), 12);
    EXPECT_EQ(parse("+5"), 5);
    EXPECT_EQ(parse("-5"), -5);
    EXPECT_EQ(parse("-0"), 0);
    EXPECT_EQ(parse("007"), 7);
    EXPECT_EQ(parse("3276"), 3276);
    EXPECT_EQ(parse("3277"), 3277);
}

TEST(ThreadCount, FractionsRoundToNearestWithHalvesToEven) {
    EXPECT_EQ(parse("2.5"), 2);
    EXPECT_EQ(parse("3.5"), 4);
    EXPECT_EQ(parse("0.5"), 0);
    EXPECT_EQ(parse("1.5"), 2);
    EXPECT_EQ(parse("-2.5"), -2);
    EXPECT_EQ(parse("-3.5"), -4);
    EXPECT_EQ(parse("2.4999"), 2);
    EXPECT_EQ(parse("2.50001"), 3);
    // Decided by the decimal digits, not a binary approximation of them.
    EXPECT_EQ(parse("2.50000000000000000001"), 3);
    EXPECT_EQ(parse("2.5000000000000000000"), 2);
    EXPECT_EQ(parse("2.6"), 3);
    EXPECT_EQ(parse("2.05"), 2);
    EXPECT_EQ(parse("9."), 9);
    EXPECT_EQ(parse(".5"), 0);
    EXPECT_EQ(parse(".51"), 1);
    EXPECT_EQ(parse("-0.4"), 0);
}

TEST(ThreadCount, AnythingElseIsNotANumber) {
    for (const char* text : {"", " ", "\t", "abc", "7a", "a7", "1e3", "1E3", "2,5", "1 000",
                             "1 2", "+", "-", ".", "+-1", "--1", "- 1", "1.2.3", "0x10",
                             "\n5", "5\n", "12%", "\xd9\xa3" /* an Arabic-Indic three */}) {
        EXPECT_FALSE(parse(text)) << '"' << text << '"';
    }
}

TEST(ThreadCount, HugeNumbersSaturateKeepingTheirSign) {
    EXPECT_EQ(parse("99999999999999999999999"), kHugeCount);
    EXPECT_EQ(parse("-99999999999999999999999.9"), -kHugeCount);
    EXPECT_EQ(parse("32768"), 32768);
}
