#include "entry/Background.h"

namespace loomara {

void takeBackgroundColour(const DesignState& design, FormState& form) {
    form.backgroundColour = design.currentColour();
}

} // namespace loomara
