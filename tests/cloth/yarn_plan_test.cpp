// The yarn plan against the threads themselves: every count is checked by walking the sett thread
// by thread, over random setts, sizes and units.

#include "cloth/YarnPlan.h"
#include "sett/SettText.h"

#include "support/RandomSett.h"
#include <QStringList>

#include <gtest/gtest.h>

#include <random>

using namespace loomara;
using namespace loomara::testing;

namespace {

Sett randomPlanSett(std::mt19937& random) {
    Sett sett = randomSett(random, {7, 0, 40});
    sett.stripes.first().count += 1; // a repeat holds a thread
    return sett;
}

struct RandomCloth {
    Sett sett;
    ClothOrder order;
};

// Sizes from a thread or so to a few thousand, in every unit.
RandomCloth randomCloth(std::mt19937& random) {
    const auto between = [&random](double least, double most) {
        return std::uniform_real_distribution<double>(least, most)(random);
    };
    const auto length = [&] {
        const auto unit = LengthUnit(std::uniform_int_distribution<int>(0, 3)(random));
        const bool small = unit == LengthUnit::Centimetre || unit == LengthUnit::Inch;
        return Length{small ? between(1, 60) : between(0.05, 1.5), unit};
    };
    const auto density = [&] {
        return Density{between(3, 30), random() % 2 ? LengthUnit::Centimetre : LengthUnit::Inch};
    };
    RandomCloth cloth{randomPlanSett(random), {}};
    if (random() % 2) {
        cloth.sett.ownWeft = std::make_shared<const Sett>(randomPlanSett(random));
    }
    cloth.order = {length(), length(), density(), density(), length(), between(0, 0.3)};
    return cloth;
}

// The first `threads` threads of the sett, colour by colour in the order they first come.
QList<std::pair<QString, long long>> countedOneByOne(const Sett& sett, long long threads) {
    const QList<qsizetype> stripes =
        threadStripes(sett, static_cast<int>(threads / threadsPerRepeat(sett) + 1));
    QList<std::pair<QString, long long>> counts;
    for (long long t = 0; t < threads; ++t) {
        const QString& code = sett.stripes[stripes[t]].code;
        auto counted = std::find_if(counts.begin(), counts.end(),
                                    [&](const auto& count) { return count.first == code; });
        if (counted == counts.end()) {
            counts.append({code, 0});
            counted = counts.end() - 1;
        }
        ++counted->second;
    }
    return counts;
}

template <typename Check> void forRandomCloths(Check check) {
    std::mt19937 random(21);
    for (int i = 0; i < 300; ++i) {
        const RandomCloth cloth = randomCloth(random);
        const YarnPlan plan = yarnPlan(cloth.sett, cloth.order);
        ASSERT_TRUE(plan.ok()) << plan.refusal->toStdString();
        check(cloth, plan);
    }
}

// A number as the table prints it: ends or picks as they are, metres in centimetres.
long long shownNumber(const QString& number) {
    return QString(number).remove(u'.').toLongLong();
}

} // namespace

TEST(YarnPlan, ColoursComeInTheOrderOfTheirFirstThreadWithTheThreadsCountedOneByOne) {
    forRandomCloths([](const RandomCloth& cloth, const YarnPlan& plan) {
        // The warp's colours first, then the weft's that the warp does not use.
        QList<YarnLine> expected;
        for (const auto& [code, ends] : countedOneByOne(cloth.sett, plan.warp.threads)) {
            expected.append({code, {}, ends});
        }
        for (const auto& [code, picks] : countedOneByOne(cloth.sett.weft(), plan.weft.threads)) {
            auto line = std::ranges::find(expected, code, &YarnLine::code);
            if (line == expected.end()) {
                expected.append({code, {}});
                line = expected.end() - 1;
            }
            line->picks = picks;
        }
        ASSERT_EQ(plan.lines.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(plan.lines[i].code, expected[i].code);
            EXPECT_EQ(plan.lines[i].ends, expected[i].ends);
            EXPECT_EQ(plan.lines[i].picks, expected[i].picks);
        }
    });
}

TEST(YarnPlan, EndsAndPicksOfTheColoursSumToTheRoundedThreadsOfTheCloth) {
    forRandomCloths([](const RandomCloth& cloth, const YarnPlan& plan) {
        EXPECT_EQ(plan.total.ends, std::llround(threadsIn(cloth.order.width, cloth.order.density)));
        EXPECT_EQ(plan.total.picks,
                  std::llround(threadsIn(cloth.order.length, cloth.order.weftDensity)));
        EXPECT_EQ(plan.warp.wholeRepeats * plan.warp.perRepeat + plan.warp.lastRepeatThreads,
                  plan.total.ends);
    });
}

// Half a thread or more counts as a thread, as the loom would be warped; less is left off.
TEST(YarnPlan, ThreadsAreRoundedToTheNearestWithHalvesUp) {
    struct Case {
        Length width;
        Density density;
        long long threads;
    };
    const QList<Case> cases{
        {{1, LengthUnit::Inch}, {10.5, LengthUnit::Inch}, 11},
        {{1, LengthUnit::Inch}, {10.49, LengthUnit::Inch}, 10},
        {{2, LengthUnit::Centimetre}, {1.25, LengthUnit::Centimetre}, 3},
        {{2, LengthUnit::Centimetre}, {3.5, LengthUnit::Centimetre}, 7},
        {{1, LengthUnit::Inch}, {3.9, LengthUnit::Centimetre}, 10}, // 9.906
        {{0.5, LengthUnit::Metre}, {1.01, LengthUnit::Inch}, 20},   // 19.88
    };
    for (const Case& c : cases) {
        const ClothOrder order{c.width, c.width, c.density, c.density};
        const YarnPlan plan = yarnPlan(readSett(u"K1 W1").sett, order);
        ASSERT_TRUE(plan.ok());
        EXPECT_EQ(plan.total.ends, c.threads) << c.width.amount << " " << c.density.threads;
        EXPECT_EQ(plan.total.picks, c.threads) << c.width.amount << " " << c.density.threads;
    }
}

// Each colour's yarn is its threads times the length of one, to the nearest centimetre, with the
// units' metres taken here from their definitions.
TEST(YarnPlan, EachColoursYarnIsItsThreadsTimesTheirLengthToTheNearestCentimetre) {
    const auto cm = [](const Length& length) {
        const double metresPer[]{0.01, 1, 0.0254, 0.9144}; // cm, m, in, yd
        return length.amount * metresPer[static_cast<int>(length.unit)] * 100;
    };
    forRandomCloths([&](const RandomCloth& cloth, const YarnPlan& plan) {
        const ClothOrder& order = cloth.order;
        for (const YarnLine& line : plan.lines) {
            EXPECT_NEAR(line.warpCm, line.ends * (cm(order.length) + cm(order.waste)), 0.5 + 1e-6);
            EXPECT_NEAR(line.weftCm, line.picks * cm(order.width) * (1 + order.takeUp), 0.5 + 1e-6);
        }
    });
}

TEST(YarnPlan, PrintedTotalsAreTheSumsOfThePrintedColourLines) {
    forRandomCloths([](const RandomCloth&, const YarnPlan& plan) {
        QStringList lines = yarnTable(plan, QStringLiteral("heading")).split(u'\n');
        ASSERT_EQ(lines.takeFirst(), "# heading");
        ASSERT_EQ(lines.takeFirst(), "# code\tcolour\tends\tpicks\twarp m\tweft m\ttotal m");
        ASSERT_EQ(lines.takeLast(), QString());
        const QStringList total = lines.takeLast().split(u'\t');
        ASSERT_EQ(lines.size(), plan.lines.size());
        for (int column = 2; column < 7; ++column) {
            long long sum = 0;
            for (const QString& line : lines) {
                sum += shownNumber(line.split(u'\t')[column]);
            }
            EXPECT_EQ(sum, shownNumber(total[column])) << "column " << column;
        }
        for (const QString& line : lines) {
            const QStringList fields = line.split(u'\t');
            EXPECT_EQ(shownNumber(fields[4]) + shownNumber(fields[5]), shownNumber(fields[6]));
        }
    });
}

TEST(YarnPlan, AWidthOfWholeRepeatsGivesEachColourThatManyTimesItsThreadsInARepeat) {
    std::mt19937 random(16);
    for (int i = 0; i < 100; ++i) {
        const Sett sett = randomPlanSett(random);
        const int k = static_cast<int>(random() % 6) + 1;
        const double perRepeat = static_cast<double>(threadsPerRepeat(sett));
        // The width in centimetres, which a density per inch must count back to whole repeats.
        const ClothOrder order{{k * perRepeat * 2.54, LengthUnit::Centimetre},
                               {k * perRepeat, LengthUnit::Inch},
                               {1, LengthUnit::Inch},
                               {1, LengthUnit::Inch}};
        const YarnPlan plan = yarnPlan(sett, order);
        ASSERT_TRUE(plan.ok());
        EXPECT_EQ(plan.warp.wholeRepeats, k);
        EXPECT_EQ(plan.warp.lastRepeatThreads, 0);
        for (const auto& [code, threads] : countedOneByOne(sett, threadsPerRepeat(sett))) {
            const auto line = std::ranges::find(plan.lines, code, &YarnLine::code);
            ASSERT_NE(line, plan.lines.end());
            EXPECT_EQ(line->ends, k * threads);
            EXPECT_EQ(line->picks, k * threads);
        }
    }
}

TEST(YarnPlan, NotesTellTheWholeRepeatsAndThePartOfTheNextInWords) {
    struct Case {
        YarnCut warp;
        YarnCut weft;
        QStringList notes;
    };
    const QList<Case> cases{
        {{1, 1, 1, 0},
         {3, 2, 1, 1},
         {"the width holds exactly 1 repeat of 1 end.",
          "the length holds 1 whole repeat of 2 picks and 1 pick of the next."}},
        {{364, 182, 2, 0},
         {1568, 182, 8, 112},
         {"the width holds exactly 2 repeats of 182 ends.",
          "the length holds 8 whole repeats of 182 picks and 112 picks of the next."}},
    };
    for (const Case& c : cases) {
        YarnPlan plan;
        plan.warp = c.warp;
        plan.weft = c.weft;
        EXPECT_EQ(yarnNotes(plan), c.notes);
    }
}
