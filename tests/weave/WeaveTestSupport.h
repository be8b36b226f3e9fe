#pragma once

#include "model/DesignState.h"
#include "weave/Weave.h"
#include "weave/WeaveCanvas.h"
#include "weave/WeaveState.h"

#include <QImage>
#include <QString>

#include <array>
#include <initializer_list>
#include <vector>

namespace loomara::test {

inline constexpr Rgb kBackground{255, 255, 255};

// A distinct colour per slot, so a pixel tells which stripe painted it.
Rgb stripeColour(int slot);

// A sett as the window would hold it: counts locked into slots 1.., each box showing its count,
// the other boxes "0", and the sett-width text.
struct Sett {
    DesignState design;
    std::array<QString, DesignState::kSlotCount> boxes;
    QString settWidth;

    Sett(std::initializer_list<int> counts, const QString& settWidthText);
    WeaveInputs inputs() const { return {design, boxes, settWidth, kBackground}; }
};

using Trace = std::vector<DrawnBlock>;

// Weaves and returns the blocks drawn, warp then weft.
Trace weaveTraced(const Sett& sett, WeaveState& state, WeaveCanvas& canvas);
Trace warpOf(const Trace& trace);
Trace weftOf(const Trace& trace);
std::vector<int> stripesOf(const Trace& trace);

// The picture a trace must give, worked out pixel by pixel: the n-th warp column drawn has
// offset 1 for n = 1, then -((n - 2) mod 6), and paints row y when y - o >= 0 and
// (y - o) mod 6 is 0 or 1; the n-th weft row has offset -((n - 1) mod 6) and paints column x
// when (x - o + 2) mod 6 is 0 or 1; the weft lies over the warp.
QImage expectedPicture(const Trace& trace, const DesignState& design, int width, int height,
                       Rgb background);

} // namespace loomara::test
