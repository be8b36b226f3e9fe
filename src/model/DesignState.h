#pragma once

#include "model/Colour.h"
#include "model/Int16.h"

#include <QString>

#include <array>
#include <optional>

namespace loomara {

// One slot of the sett. A stripe holds no colour code: the code survives only in the notation.
struct Stripe {
    int16 threadCount = 0;
    int16 red = 0;
    int16 green = 0;
    int16 blue = 0;

    constexpr Rgb colour() const { return {red, green, blue}; }
    friend constexpr bool operator==(const Stripe&, const Stripe&) = default;
};

// The design being built: the current colour last picked from the palette and 21 stripe slots.
// Slots are numbered 1 to 21, as the user sees them.
struct DesignState {
    static constexpr int kSlotCount = 21;

    int16 currentRed = 0;
    int16 currentGreen = 0;
    int16 currentBlue = 0;
    QString currentCode;
    std::array<Stripe, kSlotCount> stripes{};

    Rgb currentColour() const { return {currentRed, currentGreen, currentBlue}; }

    // Slot k, 1-based.
    const Stripe& slot(int k) const;
    Stripe& slot(int k);

    void setCurrentColour(int16 red, int16 green, int16 blue, const QString& code);

    // Sets the slot's count and copies the current colour into it.
    void storeStripe(int slot, int16 threadCount);

    // Zeroes every count; colours and the current colour stay.
    void clearThreadCounts();

    // Moves each of the 63 stripe components by delta, clamped to 0..255.
    void shiftStripeShades(int16 delta);

    // Sum of the counts of slots 1..lastSlot; empty when the 16-bit sum overflows.
    std::optional<int16> threadCountTotal(int lastSlot) const;
};

} // namespace loomara
