#pragma once

#include <array>
#include <cstdint>

namespace loomara {

// The renderer's working positions. They belong to the main window, persist between weaves and
// are never reset by the renderer or by Clear: end slots that a weave does not reach keep their
// values from earlier weaves. Positions are 32-bit so that a column or row past 32767 neither
// wraps nor crashes (drawing clips to the canvas).
struct WeaveState {
    static constexpr int kWarpBlocks = 122;

    std::array<std::int32_t, kWarpBlocks> warpEnds{}; // slots 1..122 at indices 0..121
    std::int32_t weftNext = 0;
    std::int32_t twillOffset = 0;
    std::int32_t column = 0;
    std::int32_t row = 0;
};

} // namespace loomara
