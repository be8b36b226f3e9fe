#pragma once

#include "entry/FormState.h"
#include "model/DesignState.h"

namespace loomara {

// A click on the background box: the current colour becomes the background of the next weave.
void takeBackgroundColour(const DesignState& design, FormState& form);

} // namespace loomara
