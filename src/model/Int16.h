#pragma once

#include <cstdint>
#include <optional>

namespace loomara {

// Thread counts, colour components and positions of the design are 16-bit signed values.
// Arithmetic on them goes through these helpers, which report a result outside the 16-bit
// range as an empty optional instead of wrapping.
using int16 = std::int16_t;

constexpr std::optional<int16> toInt16(long long value) {
    if (value < INT16_MIN || value > INT16_MAX) {
        return std::nullopt;
    }
    return static_cast<int16>(value);
}

constexpr std::optional<int16> checkedAdd16(int16 a, int16 b) {
    return toInt16(static_cast<long long>(a) + static_cast<long long>(b));
}

constexpr std::optional<int16> checkedMul16(int16 a, int16 b) {
    return toInt16(static_cast<long long>(a) * static_cast<long long>(b));
}

} // namespace loomara
