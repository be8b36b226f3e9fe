#include "entry/Background.h"

namespace loomara {

void takeBackgroundColour(const DesignState& design, FormState& form) {
    form.picture246BackColour = design.currentColour();
}

} // namespace loomara
