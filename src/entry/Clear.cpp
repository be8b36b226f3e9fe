#include "entry/Clear.h"

namespace loomara {

void clearDesign(DesignState& design, FormState& form) {
    form.resetToDesign();
    design.clearThreadCounts();
}

} // namespace loomara
