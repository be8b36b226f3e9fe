#include "palette/Shades.h"

namespace loomara {

void brighten(DesignState& design) {
    design.shiftStripeShades(kShadeStep);
}

void darken(DesignState& design) {
    design.shiftStripeShades(static_cast<int16>(-kShadeStep));
}

} // namespace loomara
