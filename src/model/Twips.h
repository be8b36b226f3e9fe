#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

namespace loomara {

// Window geometry is kept in twips; the screen draws in pixels.
inline constexpr int kTwipsPerPixel = 15;

// The nearest whole pixel, an exact half going to the even neighbour. The window's boxes and the
// weave picture drawn inside its box all go through this one conversion, so that a picture sized
// in twips fills its box exactly, whatever fraction of a pixel the twips come to. A value that is
// no number gives 0; one beyond the range of int is held at its end.
inline int twipsToPixels(double twips) {
    if (std::isnan(twips)) {
        return 0;
    }
    constexpr double kMost = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(std::nearbyint(twips / kTwipsPerPixel), -kMost, kMost));
}

} // namespace loomara
