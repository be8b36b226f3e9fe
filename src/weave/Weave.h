#pragma once

#include "model/Colour.h"
#include "model/DesignState.h"
#include "weave/WeaveCanvas.h"
#include "weave/WeaveState.h"

#include <QString>

#include <array>

namespace loomara {

// Everything a weave reads: the 21 slots, the texts of the 21 count boxes (only tested against
// "0"), the sett-width text and the background colour.
struct WeaveInputs {
    const DesignState& design;
    const std::array<QString, DesignState::kSlotCount>& countTexts;
    const QString& settWidthText;
    Rgb background;
};

// The WEAVE command: prepares the canvas, then draws the warp plan and the weft plan.
void weave(const WeaveInputs& inputs, WeaveState& state, WeaveCanvas& canvas);

} // namespace loomara
