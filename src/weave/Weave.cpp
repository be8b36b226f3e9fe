#include "weave/Weave.h"

#include "weave/NumericPrefix.h"
#include "weave/Plan.h"
#include "weave/PlanRunner.h"
#include "weave/Twill.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace loomara {

namespace {

static_assert(plan::kWarpBlocks == WeaveState::kWarpBlocks, "one end slot per warp block");

constexpr bool weftPlanHasNoMends() {
    for (const plan::Step& step : plan::kWeftSteps) {
        if (step.mendSlot >= 0) {
            return false;
        }
    }
    return true;
}
static_assert(weftPlanHasNoMends(), "weft blocks keep no end slots to mend");

// Positions stay in range however far stale end slots carry a weave: a block past the top of
// the range ends there instead of wrapping.
std::int32_t advance(std::int32_t position, std::int64_t by) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(position + by, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
}

// The canvas-full test: the sum is taken in single precision, as the canvas reports its size.
bool pastEdge(int scaleExtent, std::int32_t position) {
    return static_cast<float>(scaleExtent + kEdgeMargin) < static_cast<float>(position);
}

struct Blocks {
    const WeaveInputs& inputs;
    WeaveState& state;
    WeaveCanvas& canvas;
    const BlockObserver& observer;

    int count(int stripe) const { return inputs.design.slot(stripe).threadCount; }
    Rgb colour(int stripe) const { return inputs.design.slot(stripe).colour(); }
    void tell(DrawnBlock::Direction direction, int stripe, std::int32_t first,
              std::int32_t last) const {
        if (observer) {
            observer(DrawnBlock{direction, stripe, first, last});
        }
    }
};

// Warp block i starts one past the end slot of block i - 1 (and stores that start back into
// it) and is one column wider than its count; only the plan's first block is exactly T1 wide.
struct Warp : Blocks {
    void draw(std::size_t i, int stripe) {
        std::int32_t first = 1;
        std::int32_t last = count(stripe);
        if (i > 0) {
            first = advance(state.warpEnds[i - 1], 1);
            state.warpEnds[i - 1] = first;
            last = advance(first, count(stripe));
        }
        state.warpEnds[i] = last;
        tell(DrawnBlock::Direction::Warp, stripe, first, last);
        drawWarpBlock(canvas, state, colour(stripe), first, last);
    }
    bool full() const { return pastEdge(canvas.scaleWidth(), state.column); }
    void mend(std::size_t slot, std::size_t from) { state.warpEnds[slot] = state.warpEnds[from]; }
};

// The weft keeps one running position instead of end slots, so a skipped stripe needs no mend.
struct Weft : Blocks {
    void draw(std::size_t i, int stripe) {
        const std::int32_t first = i == 0 ? 1 : state.weftNext;
        const std::int32_t last = i == 0 ? count(stripe) : advance(first, count(stripe));
        state.weftNext = advance(last, 1);
        tell(DrawnBlock::Direction::Weft, stripe, first, last);
        drawWeftBlock(canvas, state, colour(stripe), first, last);
    }
    bool full() const { return pastEdge(canvas.scaleHeight(), state.row); }
    void mend(std::size_t, std::size_t) {}
};

} // namespace

void prepareCanvas(WeaveCanvas& canvas, const QString& settWidthText, Rgb background) {
    const double v = numericPrefix(settWidthText);
    // Scaling from the design size, not the current one, keeps repeated weaves identical; a
    // negative width gives no canvas rather than a negative size.
    const double factor = v < kScaledBelowSettWidth ? std::max(v, 0.0) / kFullSettWidth : 1.0;
    canvas.setHeight(static_cast<float>(factor * WeaveCanvas::kDesignHeightTwips));
    canvas.setWidth(static_cast<float>(factor * WeaveCanvas::kDesignWidthTwips));
    canvas.setBackColour(background);
}

void weave(const WeaveInputs& inputs, WeaveState& state, WeaveCanvas& canvas,
           const BlockObserver& observer) {
    prepareCanvas(canvas, inputs.settWidthText, inputs.background);
    const plan::Presence presence{inputs.design, inputs.countTexts};

    state.twillOffset = 1;
    Warp warp{{inputs, state, canvas, observer}};
    plan::runPlan(plan::kWarpSteps, presence, warp);

    state.twillOffset = 0;
    Weft weft{{inputs, state, canvas, observer}};
    plan::runPlan(plan::kWeftSteps, presence, weft);
}

} // namespace loomara
