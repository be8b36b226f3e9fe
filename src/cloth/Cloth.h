#pragma once

#include "model/Colour.h"
#include "sett/Sett.h"

#include <QImage>
#include <QList>
#include <QString>

#include <optional>

namespace loomara {

// The threads of a piece of cloth: the colour of every warp end, left to right, and of every
// weft pick, top to bottom. A draft and a cloth picture are both made from one of these.
struct ClothThreads {
    QList<Rgb> warp;
    QList<Rgb> weft;
};

// The threads, or why there are none.
struct ClothPlan {
    ClothThreads threads;
    std::optional<QString> refusal;

    bool ok() const { return !refusal; }
};

// `repeats` repeats of the sett each way, the warp following the sett and the weft its weft,
// every colour shaded by `shadeSteps` presses of Brighten (positive) or Darken (negative). Refused
// when a repeat holds no thread, or either way holds more than kMostRepeatThreads threads.
ClothPlan clothThreads(const Sett& sett, int repeats, int shadeSteps);

// The loom every cloth is woven on: the ends threaded straight over four shafts, each treadle
// tied to two neighbouring shafts (1+2, 2+3, 3+4, 4+1) and the treadles pressed in turn, a 2/2
// twill. Ends and picks count from 1.
inline constexpr int kShafts = 4;
inline constexpr int kShaftsPerTreadle = 2;
constexpr int shaftOf(long long end) {
    return static_cast<int>((end - 1) % kShafts) + 1;
}
constexpr int treadleOf(long long pick) {
    return static_cast<int>((pick - 1) % kShafts) + 1;
}
// Whether the treadle lifts the shaft: treadle t lifts t and the next, round the four.
constexpr bool lifts(int treadle, int shaft) {
    return (shaft - treadle + kShafts) % kShafts < kShaftsPerTreadle;
}
constexpr bool endRaised(long long end, long long pick) {
    return lifts(treadleOf(pick), shaftOf(end));
}

// The drawdown, a pixel a crossing: column i is end i + 1 and row j pick j + 1, in the warp's
// colour where the end is raised on that pick and in the weft's elsewhere. Null when the picture
// would be too large to hold in memory.
QImage clothPicture(const ClothThreads& threads);

} // namespace loomara
