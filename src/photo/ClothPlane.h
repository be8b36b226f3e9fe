#pragma once

#include <QImage>

#include <array>
#include <vector>

namespace loomara::photo {

// The light of an 8-bit sRGB level, 0 to 1: pixels are added up as light, as the camera did.
const std::array<float, 256>& linearLevels();

// Mean colours (linear light) of bands of rows, or of columns, of the picture: the stripes seen
// through a narrow slit, cheap to line up at any slope.
struct BandMeans {
    int bandSize = 1;          // rows (or columns) per band
    int bands = 0;             // bands down (or across) the picture
    int length = 0;            // pixels along a band
    double middle = 0;         // the middle of the picture across the bands, in pixels
    int pixelsPerPosition = 1; // more than 1 in a coarser copy
    std::vector<float> values; // ((band * length) + position) * 3 + channel

    double bandMiddle(int band) const { return (band + 0.5) * bandSize; }
    const float* at(int band, int position) const {
        return values.data() + (static_cast<std::size_t>(band) * length + position) * 3;
    }
};

// Bands of rows, whose stripes are the warp's, and bands of columns, the weft's.
struct Bands {
    BandMeans rows;
    BandMeans columns;
};
Bands bandMeans(const QImage& picture);

// The slope (pixels along a band per pixel across the bands) at which the bands' stripes line up
// best between positions from and to, within range of aroundSlope, and how sharp the stripes
// are there against their median sharpness over the slopes tried.
struct Alignment {
    double slope = 0;
    double gain = 0;
};
// The bands come as coarser(), the full ones first.
Alignment alignStripes(const std::vector<BandMeans>& coarser, int from, int to, double aroundSlope,
                       double range);

// The bands, then copies each a quarter as long and with fewer, wider bands, down to a few
// dozen positions: a slope is first sought where a step costs little.
std::vector<BandMeans> coarser(const BandMeans& bands);

// Where the cloth lies in the picture: the map from a pixel to the cloth's plane, in which each
// warp end is a line of constant u and each weft pick a line of constant v, one unit a pixel at
// the picture's middle. A camera that looks at the cloth askew makes the ends and the picks meet
// in vanishing points; the map undoes that as well as the turn.
struct ClothPlane {
    double middleX = 0;
    double middleY = 0;
    // Picture (x - middleX, y - middleY, 1) to the cloth's (u, v, 1), up to scale, row by row.
    std::array<double, 9> toCloth{1, 0, 0, 0, 1, 0, 0, 0, 1};
    double rotationDegrees = 0;
    // How much sharper the stripes are lined up than askew, across and down: about 1 when the
    // picture holds no straight stripes.
    double gainAcross = 0;
    double gainDown = 0;

    std::array<double, 2> map(double x, double y) const;
};
ClothPlane findClothPlane(const Bands& bands, int width, int height);

// The mean colour (linear light) along every warp end (across) and weft pick (down), one bin
// per unit of the cloth's plane, and how many pixels went into each bin.
struct Profile {
    std::vector<std::array<double, 3>> colour;
    std::vector<double> weight;
    double origin = 0; // the plane's coordinate of bin 0
};
struct Profiles {
    Profile across;
    Profile down;
};
Profiles clothProfiles(const QImage& picture, const ClothPlane& plane);

} // namespace loomara::photo
