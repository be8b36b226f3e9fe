#include "model/DesignState.h"

#include <algorithm>
#include <cassert>

namespace loomara {

const Stripe& DesignState::slot(int k) const {
    assert(k >= 1 && k <= kSlotCount);
    return stripes[static_cast<std::size_t>(k - 1)];
}

Stripe& DesignState::slot(int k) {
    assert(k >= 1 && k <= kSlotCount);
    return stripes[static_cast<std::size_t>(k - 1)];
}

void DesignState::setCurrentColour(int16 red, int16 green, int16 blue, const QString& code) {
    currentRed = red;
    currentGreen = green;
    currentBlue = blue;
    currentCode = code;
}

void DesignState::storeStripe(int k, int16 threadCount) {
    Stripe& s = slot(k);
    s.threadCount = threadCount;
    s.red = currentRed;
    s.green = currentGreen;
    s.blue = currentBlue;
}

void DesignState::clearThreadCounts() {
    for (Stripe& s : stripes) {
        s.threadCount = 0;
    }
}

void DesignState::shiftStripeShades(int16 delta) {
    // Components stay far from the 16-bit limits (0..255 plus one step), so the sum is exact;
    // the clamp to 0..255 is the rule itself.
    const auto shift = [delta](int16& component) {
        const int moved = component + delta;
        component = static_cast<int16>(std::clamp(moved, 0, 255));
    };
    for (Stripe& s : stripes) {
        shift(s.red);
        shift(s.green);
        shift(s.blue);
    }
}

std::optional<int16> DesignState::threadCountTotal(int lastSlot) const {
    int16 total = 0;
    for (int k = 1; k <= lastSlot; ++k) {
        const auto sum = checkedAdd16(total, slot(k).threadCount);
        if (!sum) {
            return std::nullopt;
        }
        total = *sum;
    }
    return total;
}

} // namespace loomara
