#pragma once

#include "model/DesignState.h"
#include "model/TextBox.h"
#include "palette/PaletteSwatch.h"

namespace loomara {

// A swatch click: the swatch's colour and code become current, and the colour-name box shows
// "Color " and the code. Nothing else changes.
void selectSwatch(const PaletteSwatch& swatch, DesignState& design, TextBox& colourName);

} // namespace loomara
