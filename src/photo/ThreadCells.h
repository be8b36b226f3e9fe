#pragma once

#include "photo/ClothPlane.h"

namespace loomara::photo {

// Cloth seen close shows each thread's own light and shade: the yarn lit along its middle and in
// shadow at its edges, its twist, and whatever lies behind the cloth showing in the gaps between
// threads. All of it repeats with the threads, one thread wide; a cloth drawn or photographed
// flat, each crossing of one colour, shows none of it.

// How far the profile strays, in the bins [first, end), from its means over one thread's width
// (threadWidth bins), within the stripes and against their light: a few thousandths for flat
// threads, tenths for threads each in its own light and shade.
double threadShading(const Profile& profile, int first, int end, double threadWidth);

// More than this, and the threads are seen each in its own light and shade.
inline constexpr double kThreadsSeen = 0.05;

// Each bin of [first, end) takes the mean of the profile over one thread's width around it: what
// the cloth shows of each thread, its shading and its gaps mixed as the eye mixes them from afar.
// The bins outside are left as they are, and so are the stripes' edges but for a blur of one
// thread.
void averageOverThreads(Profile& profile, int first, int end, double threadWidth);

} // namespace loomara::photo
