#include "studio/ClothThumbnail.h"

#include "cloth/Cloth.h"

#include <algorithm>

namespace loomara {

namespace {

// A thumbnail shows at most this many sides' worth of threads: enough for a stripe or two of a
// large sett, and it keeps each one to a few hundred thousand pixels.
constexpr int kSidesShown = 4;

} // namespace

QImage clothThumbnail(const Sett& sett, int side) {
    const long long shortest = std::min(threadsPerRepeat(sett), threadsPerRepeat(sett.weft()));
    if (shortest <= 0 || side <= 0) {
        return {};
    }
    const long long wanted = static_cast<long long>(side) * kSidesShown;
    const int repeats = static_cast<int>(std::max<long long>(1, (side + shortest - 1) / shortest));
    ClothPlan plan = clothThreads(sett, repeats, 0);
    if (!plan.ok()) {
        return {};
    }
    // A repeat that fits is shown one pixel a crossing, cut to the side.
    const qsizetype shown = static_cast<qsizetype>(
        shortest <= side ? side
                         : std::min({wanted, static_cast<long long>(plan.threads.warp.size()),
                                     static_cast<long long>(plan.threads.weft.size())}));
    plan.threads.cut(shown, shown);
    const QImage cloth = clothPicture(plan.threads);
    if (cloth.isNull() || cloth.width() <= side) {
        return cloth;
    }
    return cloth.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace loomara
