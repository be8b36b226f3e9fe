#pragma once

#include "cloth/Cloth.h"
#include "model/Colour.h"

#include <QImage>

#include <functional>

namespace loomara {

// Whether warp end `end` lies over weft pick `pick`, both counted from 1: the weave, whichever it
// is. The cloth as it will look asks only this, so it draws any weave the drawdown draws.
using EndUp = std::function<bool(qsizetype end, qsizetype pick)>;

// The light colour behind the cloth unless told: the palette's cream white.
inline constexpr Rgb kLightBacking{224, 224, 199};

// How a cloth is set and seen: the threads to the millimetre each way, the yarn's width across
// each way, the colour behind the cloth that shows through its gaps, and the pixels a millimetre
// of the picture takes.
struct ClothLook {
    double endsPerMm = 2.2;
    double picksPerMm = 2.2;
    double warpWidthMm = 0.3;
    double weftWidthMm = 0.3;
    Rgb backing = kLightBacking;
    double pixelsPerMm = 16;
};

// The size of the picture asWovenPicture draws: every end and pick at its spacing, the last
// pixel rounded.
QSize asWovenSize(const ClothThreads& threads, const ClothLook& look);

// The cloth as it will look: every end and pick at its own place and width, each yarn round
// (shaded across its width), lit along a float and shaded where it dives under, with a twist
// texture and a little irregularity from thread to thread; the backing shows in the gaps where
// the yarn does not fill its space. The light is spread so that the cloth's mean colour stays
// that of its yarns and backing weighted by the areas they cover. The irregularity is fixed, so
// the same cloth gives the same pixels, and the picture records its pixels per metre, so a print
// at 100% is true size. Null when the picture would be too large to hold in memory.
QImage asWovenPicture(const ClothThreads& threads, const ClothLook& look, const EndUp& endUp);

// The same, each end up where the threads' loom lifts it, as in their drawdown; null also when
// the loom does not match the threads.
QImage asWovenPicture(const ClothThreads& threads, const ClothLook& look);

} // namespace loomara
