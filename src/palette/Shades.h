#pragma once

#include "model/DesignState.h"
#include "model/Int16.h"

namespace loomara {

// One step of Brighten or Darken, per colour component.
inline constexpr int16 kShadeStep = 30;

// Every stripe colour one step lighter (clamped at 255) or darker (clamped at 0), whether or
// not the slot has threads. The current colour, the lock bars and the picture are untouched.
void brighten(DesignState& design);
void darken(DesignState& design);

} // namespace loomara
