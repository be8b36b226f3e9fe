#pragma once

#include "model/Colour.h"
#include "weave/WeaveState.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace loomara {

// Threads are dotted: a dash of 2 pixels every 6, and each thread's dashes sit one pixel away
// from its neighbour's, which is what gives the cloth its twill diagonals.
inline constexpr int kDashPeriod = 6;
inline constexpr int kDashLength = 2;
// Threads run on this far past the canvas edge, and a direction stops once it is this far out.
inline constexpr int kEdgeMargin = 20;

namespace twill {

// How far the dashes of one thread reach: the canvas extent plus the margin, rounded half to
// even. It is read for every thread, so a thread always matches the canvas as it is.
inline int dashLimit(int scaleExtent) {
    return static_cast<int>(std::nearbyint(static_cast<float>(scaleExtent) + kEdgeMargin));
}

// The offset moves up one pixel per thread and wraps after six threads.
inline std::int32_t nextOffset(std::int32_t offset) {
    const std::int32_t next = offset - 1;
    return next == -kDashPeriod ? 0 : next;
}

// One past the last thread of a block; a block may end at the top of the position range.
inline std::int32_t pastEnd(std::int32_t last) {
    return last == std::numeric_limits<std::int32_t>::max() ? last : last + 1;
}

} // namespace twill

// The drawing works on any surface with scaleWidth(), scaleHeight() and pen(colour), whose
// line(x1, y1, x2, y2) paints the start point and not the end point: the weave canvas, and in
// the bench a painter that draws the very same dashes for comparison. Every dash is one line
// call.

// The warp threads of columns first..last (nothing when last < first), each as vertical dashes
// in the given colour. Leaves state.column at last + 1 and steps state.twillOffset per thread.
template <typename Surface>
void drawWarpBlock(Surface& canvas, WeaveState& state, Rgb colour, std::int32_t first,
                   std::int32_t last) {
    for (std::int64_t c = first; c <= last; ++c) {
        const int x = static_cast<int>(c);
        const int limit = twill::dashLimit(canvas.scaleHeight());
        const int o = state.twillOffset;
        const auto pen = canvas.pen(colour);
        // Dashes start at y = 0, 6, 12, .. up to the last multiple of 6 within limit + 5.
        for (int y = 0; y <= limit + 5; y += kDashPeriod) {
            pen.line(x, y + o, x, y + o + kDashLength);
        }
        state.twillOffset = twill::nextOffset(o);
    }
    state.column = twill::pastEnd(last);
}

// The weft threads of rows first..last, as horizontal dashes drawn right to left. Leaves
// state.row at last + 1 and steps state.twillOffset per thread.
template <typename Surface>
void drawWeftBlock(Surface& canvas, WeaveState& state, Rgb colour, std::int32_t first,
                   std::int32_t last) {
    for (std::int64_t r = first; r <= last; ++r) {
        const int y = static_cast<int>(r);
        const int limit = twill::dashLimit(canvas.scaleWidth());
        const int o = state.twillOffset;
        const auto pen = canvas.pen(colour);
        for (int x = -1; x <= limit; x += kDashPeriod) {
            pen.line(x + o, y, x + o - kDashLength, y);
        }
        state.twillOffset = twill::nextOffset(o);
    }
    state.row = twill::pastEnd(last);
}

} // namespace loomara
