#pragma once

#include "model/DesignState.h"
#include "model/TextBox.h"

namespace loomara {

// Sett widths above this turn the sett-width box green.
inline constexpr int kWideSettThreshold = 199;

// The change rule of the sett-width box: it writes the total of all 21 slots into the box
// (which runs this rule once more, nested, when the text changes) and turns the box green when
// the width read back exceeds 199. Nothing turns it back but a Clear. A total past 16 bits
// abandons the rule and leaves the box as it is.
void applySettWidthRule(const DesignState& design, TextBox& settWidth);

} // namespace loomara
