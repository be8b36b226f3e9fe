#pragma once

#include "sett/Sett.h"

#include <QImage>

#include <array>
#include <cstdint>

namespace loomara::photo {

// How a cloth is photographed: where the camera stands and what the picture goes through on its
// way to a file. Every part but the size of the threads may be left as it is for a clean scan.
struct Shot {
    // The width of one thread at the middle of the frame, in pixels; any fraction.
    double pixelsPerThread = 4;
    // The frame's width and height in repeats of the sett.
    double repeatsAcross = 1.5;
    double repeatsDown = 1.5;
    double rotationDegrees = 0;
    // The keystone of a camera tilted towards the cloth: the scale changes by up to this share
    // from the frame's middle to its edge, in a direction the seed chooses.
    double perspective = 0;
    // The optics' blur, a Gaussian's deviation in pixels.
    double blur = 0;
    // The light falls by this share from the best-lit side of the frame to the other, with a
    // little darkening towards the corners.
    double light = 0;
    // The camera's white balance: a factor on each of red, green and blue light.
    std::array<double, 3> cast{1, 1, 1};
    // The sensor's noise, a Gaussian's deviation in 8-bit levels.
    double noise = 0;
    // JPEG at this quality (1..100); 0 keeps the picture as it is.
    int jpegQuality = 0;
    // Where the frame starts in the cloth, the directions of the keystone and the light, and
    // the noise.
    std::uint64_t seed = 1;
};

// The picture of the sett's cloth (its 2/2 twill drawn by the cloth room, the weft following the
// sett's weft) as the shot takes it: each pixel the light the cloth sends into it, averaged over
// its area. Null when the frame would be larger than mostPixels or the cloth cannot be drawn.
QImage photograph(const Sett& sett, const Shot& shot, long long mostPixels = 40'000'000);

} // namespace loomara::photo
