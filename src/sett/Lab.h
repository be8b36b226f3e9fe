#pragma once

#include "model/Colour.h"

#include <array>

namespace loomara {

// Colours in CIE Lab (D65 white): L the lightness from 0 (black) to 100 (white), a from green to
// red, b from blue to yellow. Equal steps in it look about equally different, which is why the
// nearest search compares cloths in it and the colour schemes move colours in it.
using Lab = std::array<double, 3>;

// The colour in CIE Lab of an sRGB colour.
Lab labOf(Rgb colour);
// The same of linear sRGB light, each component 0 to 1.
Lab labOfLight(double red, double green, double blue);

// The sRGB colour of a Lab colour, to the nearest 8-bit step. A colour no screen shows keeps its
// lightness and hue and loses chroma until it can be shown, so that what was lighter stays
// lighter; a lightness beyond 0..100 is taken to the nearer end.
Rgb rgbOfLab(const Lab& lab);

} // namespace loomara
