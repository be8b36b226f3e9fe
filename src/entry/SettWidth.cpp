#include "entry/SettWidth.h"

#include "entry/FormState.h"

namespace loomara {

void applySettWidthRule(const DesignState& design, TextBox& settWidth) {
    const std::optional<int16> total = design.threadCountTotal(DesignState::kSlotCount);
    if (!total) {
        return;
    }
    settWidth.setText(QString::number(*total));
    bool isNumber = false;
    const int shown = settWidth.text().toInt(&isNumber);
    if (isNumber && shown > kWideSettThreshold) {
        settWidth.setBackColour(FormState::kSettWidthGreen);
    }
}

} // namespace loomara
