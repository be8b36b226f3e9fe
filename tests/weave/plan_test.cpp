#include "WeaveTestSupport.h"

#include "weave/Plan.h"

#include <gtest/gtest.h>

using namespace loomara;
using namespace loomara::test;

namespace {

using D = DrawnBlock::Direction;

DrawnBlock warp(int stripe, int first, int last) {
    return {D::Warp, stripe, first, last};
}
DrawnBlock weft(int stripe, int first, int last) {
    return {D::Weft, stripe, first, last};
}

// Small counts and a sett-width text of 200: the design canvas is far wider than the whole
// plan, so every block of it is drawn.
Trace wholePlan(std::initializer_list<int> counts) {
    WeaveCanvas canvas(kBackground);
    WeaveState state;
    return weaveTraced(Sett(counts, QStringLiteral("200")), state, canvas);
}

// Each drawn block after the first starts right after the one before it.
void expectContiguous(const Trace& blocks) {
    for (std::size_t i = 1; i < blocks.size(); ++i) {
        EXPECT_EQ(blocks[i].first, blocks[i - 1].last + 1) << "block " << i;
    }
}

} // namespace

TEST(Plan, TablesHoldTheirBlockCounts) {
    EXPECT_EQ(plan::kWarpSteps.size(), 122u);
    EXPECT_EQ(plan::kWeftSteps.size(), 54u);
}

TEST(Plan, FourByTenSettOnAShrunkCanvasIsTheWorkedExample) {
    WeaveCanvas canvas(kBackground);
    WeaveState state;
    const Trace trace = weaveTraced(Sett({10, 10, 10, 10}, QStringLiteral("40")), state, canvas);
    ASSERT_EQ(canvas.scaleWidth(), 182);
    ASSERT_EQ(canvas.scaleHeight(), 116);
    const Trace expectedWarp{
        warp(1, 1, 10),    warp(2, 11, 21),   warp(3, 22, 32),   warp(4, 33, 43),
        warp(3, 44, 54),   warp(2, 55, 65),   warp(1, 66, 76),   warp(2, 77, 87),
        warp(3, 88, 98),   warp(4, 99, 109),  warp(3, 110, 120), warp(2, 121, 131),
        warp(1, 132, 142), warp(2, 143, 153), warp(3, 154, 164), warp(4, 165, 175),
        warp(3, 176, 186), warp(2, 187, 197), warp(1, 198, 208), // 209 > 182 + 20
    };
    EXPECT_EQ(warpOf(trace), expectedWarp);
    const Trace expectedWeft{
        weft(1, 1, 10),    weft(2, 11, 21),   weft(3, 22, 32),   weft(4, 33, 43), weft(3, 44, 54),
        weft(2, 55, 65),   weft(1, 66, 76),   weft(2, 77, 87),   weft(3, 88, 98), weft(4, 99, 109),
        weft(3, 110, 120), weft(2, 121, 131), weft(1, 132, 142), // 143 > 116 + 20
    };
    EXPECT_EQ(weftOf(trace), expectedWeft);
}

TEST(Plan, TwoStripesDrawTheAlwaysStripesWithZeroCountsOneThreadWide) {
    const Trace trace = wholePlan({2, 3});
    const Trace expectedWarp{
        warp(1, 1, 2),   warp(2, 3, 6),                                     // forward 1
        warp(1, 7, 9),   warp(2, 10, 13), warp(3, 14, 14),                  // forward 2
        warp(1, 15, 17), warp(2, 18, 21),                                   // forward 3
        warp(1, 22, 24), warp(2, 25, 28), warp(3, 29, 29), warp(2, 30, 33), // closing,
        warp(1, 34, 36),                                                    // 4 absent
    };
    EXPECT_EQ(warpOf(trace), expectedWarp);
    EXPECT_EQ(stripesOf(weftOf(trace)), (std::vector<int>{1, 2, 1, 2, 3, 4, 1, 2}));
    expectContiguous(weftOf(trace));
}

TEST(Plan, ThreeAndFourStripesCloseBackToThePivot) {
    const Trace three = wholePlan({4, 5, 6});
    EXPECT_EQ(stripesOf(warpOf(three)),
              (std::vector<int>{1, 2, 3, 2, 1, 2, 3, 2, 1, 2, 3, 2, 1, 2, 3, 2, 1}));
    expectContiguous(warpOf(three));
    EXPECT_EQ(stripesOf(weftOf(three)), (std::vector<int>{1, 2, 3, 2, 1, 2, 3, 4, 2, 1, 2}));

    const Trace four = wholePlan({4, 5, 6, 7});
    EXPECT_EQ(stripesOf(warpOf(four)), (std::vector<int>{1, 2, 3, 4, 3, 2, 1, 2, 3, 4, 3, 2, 1,
                                                         2, 3, 4, 3, 2, 1, 2, 3, 4, 3, 2, 1}));
    expectContiguous(warpOf(four));
    EXPECT_EQ(stripesOf(weftOf(four)),
              (std::vector<int>{1, 2, 3, 4, 3, 2, 1, 2, 3, 4, 3, 2, 1, 2}));
    expectContiguous(weftOf(four));
}

TEST(Plan, FiveStripesCloseWithSixAndSevenDrawnAlways) {
    const Trace five = wholePlan({4, 5, 6, 7, 8});
    const Trace warps = warpOf(five);
    EXPECT_EQ(stripesOf(warps),
              (std::vector<int>{1, 2, 3, 4, 5, 4, 3, 2, 1, 2, 3, 4, 5, 4, 3, 2, 1,
                                2, 3, 4, 5, 4, 3, 2, 1, 2, 3, 4, 5, 6, 7, 3, 2, 1}));
    expectContiguous(warps);
    EXPECT_EQ(warps[29], warp(6, warps[28].last + 1, warps[28].last + 1));
    EXPECT_EQ(stripesOf(weftOf(five)), (std::vector<int>{1, 2, 3, 4, 5, 4, 3,  2, 1, 2, 3,
                                                         4, 5, 6, 7, 8, 9, 10, 3, 2, 1, 2}));
}

TEST(Plan, TwentyOneStripesRunEveryBlockOfBothPlans) {
    const Trace trace = wholePlan({1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    const Trace warps = warpOf(trace);
    ASSERT_EQ(warps.size(), 122u);
    ASSERT_EQ(weftOf(trace).size(), 54u);
    expectContiguous(warps);
    expectContiguous(weftOf(trace));
    EXPECT_EQ(warps[20].stripe, 21); // forward 1 ends with the far pivot
    EXPECT_EQ(warps[21].stripe, 20); // mirror 1 starts next to it
    EXPECT_EQ(warps[96].stripe, 17); // forward 3 stops at 17
    EXPECT_EQ(warps[97].stripe, 16); // mirror 3 from 16
    EXPECT_EQ(stripesOf(Trace(warps.begin() + 112, warps.end())),
              (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 3, 2, 1}));
}

TEST(Plan, CountBoxEditedToZeroAfterLockingSplitsTheCountAndBoxTests) {
    Sett sett({10, 10, 10, 10}, QStringLiteral("40"));
    sett.boxes[2] = QStringLiteral("0"); // stripe 3 still counts 10
    WeaveCanvas canvas(kBackground);
    WeaveState state;
    const Trace trace = weaveTraced(sett, state, canvas);
    const Trace warps = warpOf(trace);
    // Forward 1 and 2 use the count test and still draw 3; a mirror treats it as absent, so
    // mirror 2 is skipped and the pivot takes the (advanced) end of forward 2's block 2.
    const Trace expectedStart{
        warp(1, 1, 10),  warp(2, 11, 21), warp(3, 22, 32), warp(4, 33, 43), warp(3, 44, 54),
        warp(1, 23, 33), warp(2, 34, 44), warp(3, 45, 55), warp(4, 56, 66), warp(3, 67, 77),
        warp(1, 46, 56), warp(2, 57, 67), // forward 3 stops at the box of 3
        warp(3, 1, 11),                   // mirror 3 starts from a stale end: never set
    };
    ASSERT_GE(warps.size(), expectedStart.size());
    EXPECT_EQ(Trace(warps.begin(), warps.begin() + 13), expectedStart);
    EXPECT_EQ(stripesOf(weftOf(trace)), (std::vector<int>{1, 2, 3, 1, 2, 3, 4, 3, 1, 2}));
}

TEST(Plan, StaleEndSlotsComeFromTheWeaveBefore) {
    WeaveCanvas canvas(kBackground);
    WeaveState state;
    weaveTraced(Sett({10, 10, 10, 10}, QStringLiteral("40")), state, canvas);
    EXPECT_EQ(state.warpEnds[83], 175); // forward 3's block of stripe 4

    Sett edited({10, 10, 10, 10}, QStringLiteral("40"));
    edited.boxes[2] = QStringLiteral("0");
    const Trace warps = warpOf(weaveTraced(edited, state, canvas));
    ASSERT_GE(warps.size(), 13u);
    EXPECT_EQ(warps[12], warp(3, 176, 186));
}

TEST(Plan, EmptyCountBoxIsPresentInTheBoxTests) {
    Sett sett({4, 5, 6}, QStringLiteral("200"));
    sett.boxes[3] = QString(); // box 4 empty, count 0
    WeaveCanvas canvas(kBackground);
    WeaveState state;
    const Trace trace = weaveTraced(sett, state, canvas);
    // The mirror draws stripe 3 again because box 4 is not "0"; forward 1 of the warp uses
    // the count and stops at 4, forward 1 of the weft uses the box and draws 4 with count 0.
    const std::vector<int> warpStripes = stripesOf(warpOf(trace));
    EXPECT_EQ(std::vector<int>(warpStripes.begin(), warpStripes.begin() + 6),
              (std::vector<int>{1, 2, 3, 3, 2, 1}));
    const std::vector<int> weftStripes = stripesOf(weftOf(trace));
    EXPECT_EQ(std::vector<int>(weftStripes.begin(), weftStripes.begin() + 7),
              (std::vector<int>{1, 2, 3, 4, 3, 2, 1}));
    EXPECT_EQ(weftOf(trace)[3].first, weftOf(trace)[3].last);
}

TEST(Plan, WarpForwardOneTestsTheEdgeOnlyFromStripeThirteen) {
    // Each block passes the edge, yet forward 1 draws up to 12 before its first test.
    const Trace trace =
        wholePlan({400, 400, 400, 400, 400, 400, 400, 400, 400, 400, 400, 400, 400, 400});
    EXPECT_EQ(warpOf(trace).size(), 12u);
    // The weft's forward 1 has no test at all; its mirror stops after the first block.
    EXPECT_EQ(stripesOf(weftOf(trace)),
              (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 13}));
}

TEST(Plan, WeftForwardTwoHasNoTestAfterItsPivotNorAfterStripeFive) {
    const Trace afterPivot = weftOf(wholePlan({300, 1, 1, 1}));
    ASSERT_GE(afterPivot.size(), 2u);
    EXPECT_EQ(afterPivot[afterPivot.size() - 2], weft(1, 311, 611));
    EXPECT_EQ(afterPivot.back(), weft(2, 612, 613));

    const Trace afterFive = weftOf(wholePlan({1, 1, 1, 1, 300}));
    ASSERT_GE(afterFive.size(), 2u);
    EXPECT_EQ(afterFive[afterFive.size() - 2].stripe, 5);
    EXPECT_EQ(afterFive.back().stripe, 6);
    EXPECT_EQ(afterFive.back().first, afterFive.back().last);
}

TEST(Plan, WeftForwardTwoTestsStripeFivesLockedCountNotItsBox) {
    // Box 5 edited to "0" after locking: forward 1 and the mirror go by the box and stop short
    // of 5, but forward 2 goes by the count and still draws 5 and the always-stripes after it.
    Sett edited({4, 5, 6, 7, 8}, QStringLiteral("200"));
    edited.boxes[4] = QStringLiteral("0");
    WeaveCanvas canvas(kBackground);
    WeaveState state;
    EXPECT_EQ(stripesOf(weftOf(weaveTraced(edited, state, canvas))),
              (std::vector<int>{1, 2, 3, 4, 3, 2, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 3, 2, 1, 2}));

    // The other way round: a count of 0 under a box that reads 3 sends forward 2 to its close.
    Sett typed({4, 5, 6, 7}, QStringLiteral("200"));
    typed.boxes[4] = QStringLiteral("3");
    EXPECT_EQ(stripesOf(weftOf(weaveTraced(typed, state, canvas))),
              (std::vector<int>{1, 2, 3, 4, 5, 4, 3, 2, 1, 2, 3, 4, 3, 2, 1, 2}));
}

TEST(Plan, ABlockEndingAtTheMarginDoesNotStopThePlan) {
    // Forward 1 draws 1, 2, 3 untested; mirror 1 draws 2, the first tested block. Its next
    // position is 100 + 101 + (c + 1) + 101 + 1: with c = 409 that is column 713, with
    // c = 161 row 465, each exactly the design canvas's extent (693 x 445) plus 20. Only a
    // position past that stops the plan; one more thread in stripe 3 does.
    const auto stripesAfter = [](int third, bool warpSide) {
        WeaveCanvas canvas(kBackground);
        WeaveState state;
        const Trace trace =
            weaveTraced(Sett({100, 100, third}, QStringLiteral("200")), state, canvas);
        return stripesOf(warpSide ? warpOf(trace) : weftOf(trace));
    };
    EXPECT_EQ(stripesAfter(409, true), (std::vector<int>{1, 2, 3, 2, 1}));
    EXPECT_EQ(stripesAfter(410, true), (std::vector<int>{1, 2, 3, 2}));
    EXPECT_EQ(stripesAfter(161, false), (std::vector<int>{1, 2, 3, 2, 1, 2}));
    EXPECT_EQ(stripesAfter(162, false), (std::vector<int>{1, 2, 3, 2}));
}
