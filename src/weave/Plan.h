#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace loomara::plan {

// The sett is not expanded by a general rule but by a fixed plan per direction: a list of runs
// (forward from pivot stripe 1, mirror back towards it, a closing run), each a list of stripes
// with the test that lets a stripe be drawn. The plans below are the design tables as data; the
// interpreter in PlanRunner walks them.

// When a stripe of a run is drawn. The count test reads the locked thread count, the box tests
// read the count box's text as it stands, so the two can disagree once a box is edited.
enum class Test : std::uint8_t {
    Always,    // drawn even when absent, with its zero count
    Count,     // threadCount of stripe k is not 0
    Box,       // count box k is not exactly "0"
    BoxOfNext, // count box k + 1 is not exactly "0": how a mirror run leaves out the far pivot
};

// What a failed test does.
enum class Fail : std::uint8_t {
    Never,  // the test cannot fail (Always)
    EndRun, // the rest of the run is left out
    Skip,   // the stripe is left out; the run goes on
    // As Skip, and the skipped block's end slot takes the end of the forward block of the same
    // stripe, so that the next mirror block follows that one.
    SkipTakingForwardEnd,
    Jump, // the run goes on at a later block (see Row::jumpTo)
};

// Where the canvas-full test is made around a drawn block.
enum class Stop : std::uint8_t {
    None = 0,
    Before = 1, // after the stripe's test, before it is drawn
    After = 2,
    BeforeAndAfter = 3,
};

enum class Run : std::uint8_t { Forward1, Mirror1, Forward2, Mirror2, Forward3, Mirror3, Closing };

constexpr bool isForward(Run run) {
    return run == Run::Forward1 || run == Run::Forward2 || run == Run::Forward3;
}

// One row of a plan: consecutive stripes of one run that share a rule. Stripes go from
// `first` to `last`, downwards when last < first.
struct Row {
    Run run;
    std::int8_t first;
    std::int8_t last;
    Test test;
    Fail fail;
    Stop stop;
    // Jump only: go on at this run's next block of stripe jumpTo; the block before it takes the
    // end of this run's block of stripe jumpAfter, so the jumped-to block follows that one.
    std::int8_t jumpTo = 0;
    std::int8_t jumpAfter = 0;
};

// clang-format off
inline constexpr std::array kWarpPlan{
    //  run            stripes  a stripe is drawn when  failed test                canvas-full test
    Row{Run::Forward1,  1,  1,  Test::Always,    Fail::Never,                Stop::None},
    Row{Run::Forward1,  2, 12,  Test::Count,     Fail::EndRun,               Stop::None},
    Row{Run::Forward1, 13, 20,  Test::Count,     Fail::EndRun,               Stop::Before},
    Row{Run::Forward1, 21, 21,  Test::Count,     Fail::EndRun,               Stop::BeforeAndAfter},
    Row{Run::Mirror1,  20,  2,  Test::BoxOfNext, Fail::SkipTakingForwardEnd, Stop::After},
    Row{Run::Forward2,  1,  3,  Test::Always,    Fail::Never,                Stop::After},
    Row{Run::Forward2,  4, 21,  Test::Count,     Fail::EndRun,               Stop::After},
    Row{Run::Mirror2,  20,  2,  Test::BoxOfNext, Fail::SkipTakingForwardEnd, Stop::After},
    Row{Run::Forward3,  1,  2,  Test::Always,    Fail::Never,                Stop::After},
    Row{Run::Forward3,  3, 17,  Test::Box,       Fail::EndRun,               Stop::After},
    Row{Run::Mirror3,  16,  2,  Test::BoxOfNext, Fail::SkipTakingForwardEnd, Stop::After},
    Row{Run::Closing,   1,  3,  Test::Always,    Fail::Never,                Stop::After},
    Row{Run::Closing,   4,  4,  Test::Box,       Fail::Jump,                 Stop::After, /*to*/ 2, /*after*/ 3},
    Row{Run::Closing,   5,  5,  Test::Box,       Fail::Jump,                 Stop::After, /*to*/ 3, /*after*/ 4},
    Row{Run::Closing,   6,  7,  Test::Always,    Fail::Never,                Stop::After},
    Row{Run::Closing,   3,  1,  Test::Always,    Fail::Never,                Stop::After},
};

inline constexpr std::array kWeftPlan{
    //  run            stripes  a stripe is drawn when  failed test  canvas-full test
    Row{Run::Forward1,  1,  2,  Test::Always,    Fail::Never,  Stop::None},
    Row{Run::Forward1,  3, 21,  Test::Box,       Fail::EndRun, Stop::None},
    Row{Run::Mirror1,  20,  2,  Test::BoxOfNext, Fail::Skip,   Stop::After},
    Row{Run::Forward2,  1,  1,  Test::Always,    Fail::Never,  Stop::None},
    Row{Run::Forward2,  2,  4,  Test::Always,    Fail::Never,  Stop::After},
    Row{Run::Forward2,  5,  5,  Test::Count,     Fail::EndRun, Stop::None},
    Row{Run::Forward2,  6, 10,  Test::Always,    Fail::Never,  Stop::After},
    Row{Run::Closing,   3,  2,  Test::BoxOfNext, Fail::Skip,   Stop::After},
    Row{Run::Closing,   1,  2,  Test::Always,    Fail::Never,  Stop::After},
};
// clang-format on

// One block of a plan as the interpreter runs it. Block i of the warp owns end slot i.
struct Step {
    std::int8_t stripe = 0;
    Test test = Test::Always;
    Stop stop = Stop::None;
    // When the test fails: the block to go on with, and, when mendSlot >= 0, the end slot that
    // first takes the value of end slot mendFrom.
    std::int16_t onFail = 0;
    std::int16_t mendSlot = -1;
    std::int16_t mendFrom = -1;
};

template <std::size_t Rows> constexpr std::size_t blockCount(const std::array<Row, Rows>& rows) {
    std::size_t n = 0;
    for (const Row& row : rows) {
        n += static_cast<std::size_t>(row.first <= row.last ? row.last - row.first + 1
                                                            : row.first - row.last + 1);
    }
    return n;
}

// Lays the rows out block by block and resolves where each failed test leads. An inconsistent
// table does not compile: the throws are reached only during constant evaluation.
template <std::size_t Blocks, std::size_t Rows>
constexpr std::array<Step, Blocks> expand(const std::array<Row, Rows>& rows) {
    std::array<Step, Blocks> steps{};
    std::array<std::size_t, Blocks> rowOf{};
    std::size_t n = 0;
    for (std::size_t r = 0; r < Rows; ++r) {
        const Row& row = rows[r];
        const int dir = row.first <= row.last ? 1 : -1;
        for (int k = row.first;; k += dir) {
            steps[n].stripe = static_cast<std::int8_t>(k);
            steps[n].test = row.test;
            steps[n].stop = row.stop;
            rowOf[n] = r;
            ++n;
            if (k == row.last) {
                break;
            }
        }
    }
    if (n != Blocks) {
        throw "block count does not match the rows";
    }

    // Where the run holding each block starts, and one past where it ends.
    std::array<std::size_t, Blocks> runStart{};
    std::array<std::size_t, Blocks> runEnd{};
    for (std::size_t i = 0; i < Blocks; ++i) {
        const bool sameRun = i > 0 && rows[rowOf[i - 1]].run == rows[rowOf[i]].run;
        runStart[i] = sameRun ? runStart[i - 1] : i;
    }
    for (std::size_t i = Blocks; i-- > 0;) {
        const bool sameRun = i + 1 < Blocks && runStart[i + 1] == runStart[i];
        runEnd[i] = sameRun ? runEnd[i + 1] : i + 1;
    }
    // The first block of a stripe within the run that holds block i.
    const auto blockOfStripe = [&](std::size_t i, int stripe) -> std::size_t {
        for (std::size_t b = runStart[i]; b < runEnd[i]; ++b) {
            if (steps[b].stripe == stripe) {
                return b;
            }
        }
        throw "stripe not in the run";
    };

    for (std::size_t i = 0; i < Blocks; ++i) {
        const Row& row = rows[rowOf[i]];
        Step& step = steps[i];
        switch (row.fail) {
        case Fail::Never:
            if (row.test != Test::Always) {
                throw "a tested stripe needs a failure rule";
            }
            step.onFail = -1;
            break;
        case Fail::EndRun:
            step.onFail = static_cast<std::int16_t>(runEnd[i]);
            break;
        case Fail::Skip:
            step.onFail = static_cast<std::int16_t>(i + 1);
            break;
        case Fail::SkipTakingForwardEnd: {
            std::size_t forward = runStart[i];
            do {
                if (forward == 0) {
                    throw "a mirror run needs a forward run before it";
                }
                forward = runStart[forward - 1];
            } while (!isForward(rows[rowOf[forward]].run));
            step.onFail = static_cast<std::int16_t>(i + 1);
            step.mendSlot = static_cast<std::int16_t>(i);
            step.mendFrom = static_cast<std::int16_t>(blockOfStripe(forward, step.stripe));
            break;
        }
        case Fail::Jump: {
            std::size_t to = i + 1;
            while (to < runEnd[i] && steps[to].stripe != row.jumpTo) {
                ++to;
            }
            if (to == runEnd[i]) {
                throw "jump target not later in the run";
            }
            step.onFail = static_cast<std::int16_t>(to);
            step.mendSlot = static_cast<std::int16_t>(to - 1);
            step.mendFrom = static_cast<std::int16_t>(blockOfStripe(i, row.jumpAfter));
            break;
        }
        }
    }
    return steps;
}

inline constexpr std::size_t kWarpBlocks = blockCount(kWarpPlan);
inline constexpr std::size_t kWeftBlocks = blockCount(kWeftPlan);
static_assert(kWarpBlocks == 122);
static_assert(kWeftBlocks == 54);

inline constexpr auto kWarpSteps = expand<kWarpBlocks>(kWarpPlan);
inline constexpr auto kWeftSteps = expand<kWeftBlocks>(kWeftPlan);

} // namespace loomara::plan
