#pragma once

#include "model/DesignState.h"
#include "weave/Plan.h"

#include <QString>

#include <array>
#include <cstddef>

namespace loomara::plan {

// The two presence tests of a weave: the locked counts and the count boxes' texts.
struct Presence {
    const DesignState& design;
    const std::array<QString, DesignState::kSlotCount>& countTexts;

    bool passes(Test test, int stripe) const {
        switch (test) {
        case Test::Always:
            return true;
        case Test::Count:
            return design.slot(stripe).threadCount != 0;
        case Test::Box:
            return boxPresent(stripe);
        case Test::BoxOfNext:
            return boxPresent(stripe + 1);
        }
        return true;
    }

private:
    // A string comparison on purpose: "00", " 0" and an empty box all count as present.
    bool boxPresent(int stripe) const {
        return countTexts[static_cast<std::size_t>(stripe - 1)] != QStringLiteral("0");
    }
};

// Runs a plan block by block. `direction` places and draws block i of stripe k (draw), tells
// whether the canvas is full (full) and copies one end slot into another (mend).
template <std::size_t Blocks, typename Direction>
void runPlan(const std::array<Step, Blocks>& steps, const Presence& presence,
             Direction& direction) {
    std::size_t i = 0;
    while (i < Blocks) {
        const Step& step = steps[i];
        if (!presence.passes(step.test, step.stripe)) {
            if (step.mendSlot >= 0) {
                direction.mend(static_cast<std::size_t>(step.mendSlot),
                               static_cast<std::size_t>(step.mendFrom));
            }
            i = static_cast<std::size_t>(step.onFail);
            continue;
        }
        const auto stop = static_cast<unsigned>(step.stop);
        if ((stop & static_cast<unsigned>(Stop::Before)) != 0 && direction.full()) {
            return;
        }
        direction.draw(i, step.stripe);
        if ((stop & static_cast<unsigned>(Stop::After)) != 0 && direction.full()) {
            return;
        }
        ++i;
    }
}

} // namespace loomara::plan
