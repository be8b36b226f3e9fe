#pragma once

#include "photo/ClothPlane.h"
#include "photo/ColourMatch.h"

#include <vector>

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

// Where the yarn does not fill its space, what lies behind the cloth shows in the gaps, and each
// thread's colour, the mean over its width, is its yarn's mixed with the backing's: seen =
// (1 - share) yarn + share backing, the same veil (share times the backing's light) over every
// thread.
struct BackingVeil {
    Light light{0, 0, 0};
    double share = 0;

    // The yarn's colour under a colour seen through the veil.
    Light yarnOf(const Light& seen) const;
};

// The veil over the threads' colours (linear light, weighed by their share of the cloth). No yarn
// is darker than black, so it is at most the least light of each channel over the threads; of
// that, the part whose removal brings the colours nearest the dyes the named setts use, believed
// only as far as the colours ask for it, and only when the colours then come out as dyes: a cloth
// dyed, faded or muted off the dyes is left as seen. The backing is no lighter than white, so its
// share is at least the veil's brightest channel.
BackingVeil backingVeil(const std::vector<Light>& colours, const std::vector<double>& shares);

} // namespace loomara::photo
