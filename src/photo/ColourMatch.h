#pragma once

#include "palette/PaletteSwatch.h"

#include <array>
#include <vector>

namespace loomara::photo {

// A colour as linear light, red, green and blue from 0 to 1.
using Light = std::array<double, 3>;

std::array<double, 3> labOfLight(const Light& light);

// The camera's white balance and exposure, a factor on each of red, green and blue, fitted so
// that the colours, weighted by their share of the cloth, come as near as they can to the
// colours the named setts are dyed in. Colours that are already palette colours are left alone.
Light fitCast(const std::vector<Light>& colours, const std::vector<double>& shares);

// How far the colour lies from the nearest of the colours the named setts are dyed in, squared
// CIE Lab units.
double squaredFromDyes(const Light& light);

// How far colours lie from the dyes on the whole: the mean over their shares (of those with at
// least leastShare) of squaredFromDyes, each capped at kFarFromDyes so that one odd colour cannot
// pull the rest; infinite when no colour counts. A cloth whose mean is at most kAmongDyes is
// one of the dyes.
double meanSquaredFromDyes(const std::vector<Light>& colours, const std::vector<double>& shares,
                           double leastShare = 0);
inline constexpr double kFarFromDyes = 15.0 * 15.0;
inline constexpr double kAmongDyes = 3.0 * 3.0;

// The palette's swatch nearest the colour in CIE Lab; of swatches too alike for a photograph to
// tell apart, the one the named setts use most. amongDyes: the cloth's colours lie near the dyes
// the named setts use, and a dark reading nearest a swatch no named sett is dyed in is taken for
// the dyed swatch whose light it is within a reading's error of.
const PaletteSwatch& nearestSwatch(const Light& light, bool amongDyes = false);

} // namespace loomara::photo
