#pragma once

#include "entry/FormState.h"
#include "model/DesignState.h"

namespace loomara {

// File > Clear: every control back to its design state (the weave picture at its design size,
// blank, without a background picture) and every thread count 0. The current colour and code
// and all stripe colours are kept.
void clearDesign(DesignState& design, FormState& form);

} // namespace loomara
