#pragma once

#include "model/Colour.h"
#include "model/DesignState.h"
#include "weave/WeaveCanvas.h"
#include "weave/WeaveState.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>

namespace loomara {

// Everything a weave reads: the 21 slots, the texts of the 21 count boxes (only tested against
// "0"), the sett-width text and the background colour.
struct WeaveInputs {
    const DesignState& design;
    const std::array<QString, DesignState::kSlotCount>& countTexts;
    const QString& settWidthText;
    Rgb background;
};

// One block as drawn: warp columns or weft rows first..last of a stripe (1..21).
struct DrawnBlock {
    enum class Direction : std::uint8_t { Warp, Weft };

    Direction direction;
    int stripe;
    std::int32_t first;
    std::int32_t last;

    friend bool operator==(const DrawnBlock&, const DrawnBlock&) = default;
};

// Told of every block in the order drawn; for checking and measuring the plans.
using BlockObserver = std::function<void(const DrawnBlock&)>;

// Below this sett width the canvas is shrunk in proportion, so a narrow sett shows as many
// repeats as a sett of kFullSettWidth threads.
inline constexpr double kScaledBelowSettWidth = 160;
inline constexpr double kFullSettWidth = 150;

// Sizes the canvas for the sett width and fills it with the background colour, which erases
// the previous weave (a background picture stays). The size is always derived from the design
// size, so weaving again gives the same canvas.
void prepareCanvas(WeaveCanvas& canvas, const QString& settWidthText, Rgb background);

// The WEAVE command: prepares the canvas, then draws the warp plan and the weft plan.
void weave(const WeaveInputs& inputs, WeaveState& state, WeaveCanvas& canvas,
           const BlockObserver& observer = {});

} // namespace loomara
