#include "studio/ClothZoom.h"

#include <algorithm>

namespace loomara {

int defaultZoom(QSize repeat, QSize view) {
    if (repeat.isEmpty()) {
        return kLeastZoom;
    }
    const int across = view.width() / (kRepeatsInView * repeat.width());
    const int down = view.height() / (kRepeatsInView * repeat.height());
    return std::clamp(std::min(across, down), kLeastZoom, kMostZoom);
}

double trueSizeZoom(double dotsPerInch, double threadsPerMetre) {
    if (!(dotsPerInch > 0) || !(threadsPerMetre > 0)) {
        return 0;
    }
    constexpr double kInchesPerMetre = 100 / 2.54;
    return dotsPerInch * kInchesPerMetre / threadsPerMetre;
}

} // namespace loomara
