#pragma once

#include "model/Colour.h"

#include <QList>
#include <QString>

#include <memory>

namespace loomara {

// One stripe of a sett: a palette code (case-sensitive), the colour that code sets, and how many
// threads it holds.
struct SettStripe {
    QString code;
    Rgb colour;
    int count = 0;
    // Where the code was written, counted from 1, so that a refusal about this stripe can point
    // at it; 0 for a stripe that was never written down. Not part of what the stripe is.
    int writtenAt = 0;

    friend bool operator==(const SettStripe& a, const SettStripe& b) {
        return a.code == b.code && a.colour == b.colour && a.count == b.count;
    }
};

// How one repeat runs the stripes: mirrored about the first and last stripe, its pivots
// (1, 2, .., n, n-1, .., 2), or straight through and again (1, .., n).
enum class Repeat { Symmetric, Straight };

// A written sett as a value: its stripes, how they repeat and, for cloth woven in rectangles
// rather than squares, a weft of its own. Nothing limits the number of stripes or the counts; the
// readers and each use apply their own limits.
struct Sett {
    QList<SettStripe> stripes;
    Repeat repeat = Repeat::Symmetric;
    // The weft's own sett, whose own weft is never set; null when the weft follows the warp.
    std::shared_ptr<const Sett> ownWeft;

    // The sett the weft follows.
    const Sett& weft() const { return ownWeft ? *ownWeft : *this; }

    friend bool operator==(const Sett& a, const Sett& b) {
        return a.stripes == b.stripes && a.repeat == b.repeat &&
               (a.ownWeft == b.ownWeft || (a.ownWeft && b.ownWeft && *a.ownWeft == *b.ownWeft));
    }
};

// The stripes one repeat visits, 0-based and in order. A single stripe is its own repeat.
QList<qsizetype> repeatOrder(const Sett& sett);

// The threads of one repeat: every stripe of repeatOrder() with its count.
long long threadsPerRepeat(const Sett& sett);

// The stripe (0-based) of every thread of `repeats` repeats, in order.
QList<qsizetype> threadStripes(const Sett& sett, int repeats = 1);

// Nine presses of Brighten or Darken, steps of 30, take any colour component from one end of
// 0..255 to the other; more change nothing.
inline constexpr int kMostShadeSteps = 9;

// The colour after `steps` presses of Brighten (positive) or Darken (negative): each press moves
// every component 30 towards 255 or 0 and stops there, as the designer's buttons do.
Rgb shaded(Rgb colour, int steps);

// The sett written so that readSett() reads it back as the same sett: pairs separated by blanks,
// the pivots marked with a slash ("B/24 W4 B24 R2 K24 G24 W/2") or a straight repeat between
// "..." marks ("...K4 R24 K24 Y4..."). The weft, when it has its own, is not written.
QString writtenForm(const Sett& sett);

} // namespace loomara
