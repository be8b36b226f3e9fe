#pragma once

#include "photo/ClothPlane.h"

namespace loomara::photo {

// Cloth seen close shows each thread's own light and shade: the yarn lit along its middle and in
// shadow at its edges, its twist, and whatever lies behind the cloth showing in the gaps between
// threads. All of it repeats with the threads, so each bin of [first, end) takes the mean of the
// profile over one thread's width around it (threadWidth bins): what the cloth shows of each
// thread, its shading and its gaps mixed as the eye mixes them from afar. The bins outside are
// left as they are, and so are the stripes' edges but for a blur of one thread.
void averageOverThreads(Profile& profile, int first, int end, double threadWidth);

} // namespace loomara::photo
