#pragma once

#include "cloth/Weave.h"
#include "model/Colour.h"
#include "sett/Sett.h"

#include <QImage>
#include <QList>
#include <QString>

#include <algorithm>
#include <optional>

namespace loomara {

// The threads of a piece of cloth: the colour of every warp end, left to right, and of every
// weft pick, top to bottom, and the loom they are woven on: the weave, the shaft each end is
// threaded on and the treadle each pick is woven with (from 1). A draft and a cloth picture are
// both made from one of these, so the picture is the drawdown of the draft.
struct ClothThreads {
    QList<Rgb> warp;
    QList<Rgb> weft;
    Weave weave = defaultWeave();
    QList<int> threading;
    QList<int> treadling;

    // Keeps the first `ends` ends and `picks` picks, as a piece cut from the cloth, each with its
    // shaft or treadle.
    void cut(qsizetype ends, qsizetype picks) {
        warp.resize(std::min(ends, warp.size()));
        threading.resize(std::min(ends, threading.size()));
        weft.resize(std::min(picks, weft.size()));
        treadling.resize(std::min(picks, treadling.size()));
    }
};

// The threads, or why there are none.
struct ClothPlan {
    ClothThreads threads;
    std::optional<QString> refusal;

    bool ok() const { return !refusal; }
};

// `repeats` repeats of the sett each way, the warp following the sett and the weft its weft,
// every colour shaded by `shadeSteps` presses of Brighten (positive) or Darken (negative), woven
// in `weave`. Refused when a repeat holds no thread, or either way holds more than
// kMostRepeatThreads threads.
ClothPlan clothThreads(const Sett& sett, int repeats, int shadeSteps,
                       const Weave& weave = defaultWeave());

// The threads of one repeat (from 0) after which a point draw runs back: the middle thread of
// each pivot stripe (the first of the two middle ones of an even count), where the colours
// mirror; a straight repeat, which has no pivots, runs back after its last thread. Of two turns on
// neighbouring threads only the first is kept, as the pair would leave a thread lifted on every
// pick, never woven in.
QList<qsizetype> turningThreads(const Sett& sett);

// The fewest repeats each way (at most 12) whose cloth, laid edge to edge, goes on as the cloth
// itself does: the draw of the warp and of the weft back where it began.
int repeatsThatTile(const Sett& sett, const Weave& weave);

// The drawdown, a pixel a crossing: column i is end i + 1 and row j pick j + 1, in the warp's
// colour where the treadle of the pick lifts the shaft of the end and in the weft's elsewhere.
// Null when the picture would be too large to hold in memory, or the loom does not match the
// threads.
QImage clothPicture(const ClothThreads& threads);

} // namespace loomara
