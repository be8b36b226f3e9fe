#pragma once

#include "photo/ColourMatch.h"

#include <vector>

namespace loomara::photo {

// A stripe found in a folded repeat: its samples [from, to) and the colour of its threads.
struct Segment {
    double from = 0;
    double to = 0;
    Light colour{};

    double width() const { return to - from; }
};

// The repeat cut into stripes of even colour: the cuts that explain the colours best at the cost
// of each cut, weighed against the noise; the blurred edge between two stripes is shared out
// between them, not taken for a stripe of its own.
std::vector<Segment> segmentStripes(const std::vector<Light>& threads);

} // namespace loomara::photo
