#include "cloth/YarnSize.h"

#include <gtest/gtest.h>

using namespace loomara;

namespace {

double width(const char* count) {
    const auto read = yarnWidthMm(QString::fromLatin1(count));
    const double* mm = std::get_if<double>(&read);
    return mm ? *mm : -1;
}

} // namespace

// A kilt's yarn, 2/28 metric, is about a third of a millimetre across; a yarn's width goes as one
// over the root of its count, and a ply count is as thick as its single count over the plies.
TEST(YarnSize, CountsReadToTheirWidths) {
    struct Row {
        const char* count;
        double mm;
    };
    for (const Row& row :
         {Row{"Nm 2/28", 0.339}, Row{"nm2/28", 0.339}, Row{"Nm 14", 0.339}, Row{"Nm 1/56", 0.169},
          Row{" NeW 2/48 ", 0.243}, Row{"YSW 10", 0.598}, Row{"Nm 3.5", 0.677}}) {
        EXPECT_NEAR(width(row.count), row.mm, 0.001) << row.count;
    }
}

TEST(YarnSize, CountsThatDoNotReadAreRefused) {
    for (const char* count : {"", "Nm", "28", "Nm 0", "Nm 2/0", "Nm 0/28", "Nm 21/28", "Nm -3",
                              "Ne 30", "Nm 2/28/3", "Nm 1001", "Nm 2 28"}) {
        EXPECT_TRUE(std::holds_alternative<QString>(yarnWidthMm(QString::fromLatin1(count))))
            << count;
    }
    // A known system's name alone is not read as a shorter name and a count.
    for (const char* count : {"NeW", "Nm", "YSW"}) {
        const auto refusal = yarnWidthMm(QString::fromLatin1(count));
        EXPECT_TRUE(std::get<QString>(refusal).contains(u"does not read")) << count;
    }
}

// The yarn taken unless told fills a share of a thread's room that falls as the weave crosses
// more often, and the count a note names for it reads back to nearly that width.
TEST(YarnSize, TheYarnTakenForADensityReadsBackFromItsNote) {
    struct Row {
        const char* weave;
        double share;
    };
    for (const Row& row : {Row{"twill", 2.0 / 3}, Row{"point", 2.0 / 3}, Row{"hopsack", 2.0 / 3},
                           Row{"plain", 1.0 / 2}, Row{"2/1", 3.0 / 5}, Row{"3/1", 2.0 / 3}}) {
        EXPECT_NEAR(firmYarnWidthMm(2, *weaveNamed(QString::fromLatin1(row.weave))) * 2, row.share,
                    1e-12)
            << row.weave;
    }
    for (const double perInch : {0.03, 0.5, 4.0, 20.0, 40.0, 56.0, 72.0, 120.0}) {
        const double mm = firmYarnWidthMm(perInch / 25.4, defaultWeave());
        const QString note = metricTwoPlyCount(mm);
        EXPECT_NEAR(width(note.toLatin1().constData()) / mm, 1, 0.03) << note.toStdString();
    }
    EXPECT_EQ(metricTwoPlyCount(0.339), QStringLiteral("Nm 2/28"));
}
