#pragma once

#include <QSize>

namespace loomara {

// Each thread of the cloth view is a whole number of screen pixels, from 1 to 16.
inline constexpr int kLeastZoom = 1;
inline constexpr int kMostZoom = 16;
// The view shows at least this many repeats each way at its default zoom, where it can.
inline constexpr int kRepeatsInView = 2;

// The largest zoom at which a view of `view` pixels holds kRepeatsInView repeats of `repeat`
// threads each way; kLeastZoom when not even that does.
int defaultZoom(QSize repeat, QSize view);

// Screen pixels a thread covers at the cloth's true size, on a screen of `dotsPerInch` physical
// dots to the inch; 0 when either is unknown.
double trueSizeZoom(double dotsPerInch, double threadsPerMetre);

} // namespace loomara
