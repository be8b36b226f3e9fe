#pragma once

#include "model/Int16.h"

#include <cstdint>

namespace loomara {

// An 8-bit-per-component colour as the design stores it (components are 16-bit fields that
// hold 0..255).
struct Rgb {
    int16 red = 0;
    int16 green = 0;
    int16 blue = 0;

    // The combined colour value: red + 256 x green + 65536 x blue.
    constexpr std::int32_t value() const { return red + 256 * green + 65536 * blue; }

    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

} // namespace loomara
