#pragma once

#include "model/Colour.h"

#include <QImage>

#include <cstdint>

namespace loomara {

// The weave picture: an outer size in twips (15 to a pixel), an inner drawing area in pixels
// inside a 2-pixel sunken border, a back colour, an optional background picture and the
// drawing itself. image() is the persistent picture as shown, the one that is saved and printed:
// back colour, then the background picture at the top-left, unscaled, then the drawing.
class WeaveCanvas {
public:
    static constexpr float kDesignWidthTwips = 10455.0f;
    static constexpr float kDesignHeightTwips = 6735.0f;
    static constexpr int kTwipsPerPixel = 15;
    static constexpr int kBorderPixels = 2;

    explicit WeaveCanvas(Rgb backColour = {});

    // Outer size in twips, as single-precision values.
    float width() const { return width_; }
    float height() const { return height_; }
    void setWidth(float twips);
    void setHeight(float twips);

    // Inner drawing area in pixels: outer twips / 15 rounded, less the border, never below 0.
    int scaleWidth() const { return image_.width(); }
    int scaleHeight() const { return image_.height(); }

    // Setting the back colour fills the canvas with it and erases the drawing; the background
    // picture stays under it.
    Rgb backColour() const { return backColour_; }
    void setBackColour(Rgb colour);

    const QImage& picture() const { return picture_; }
    bool hasPicture() const { return !picture_.isNull(); }
    void setPicture(const QImage& picture);
    void clearPicture() { setPicture(QImage()); }

    // A one-pixel solid line from (x1, y1) towards (x2, y2): the start point is painted, the
    // end point is not. Coordinates outside the inner area are clipped.
    void line(int x1, int y1, int x2, int y2, Rgb colour);

    // Back to the design: design size, no drawing, no background picture, the given back colour.
    void reset(Rgb backColour);

    // The picture as shown (inner size).
    const QImage& image() const { return image_; }

    // Pixel of the inner area, for checks; outside the area it returns 0.
    std::uint32_t pixel(int x, int y) const;

private:
    static int innerPixels(float twips);
    void resizeImage();
    void compose();
    void plot(int x, int y, std::uint32_t argb) {
        if (static_cast<unsigned>(x) < static_cast<unsigned>(image_.width()) &&
            static_cast<unsigned>(y) < static_cast<unsigned>(image_.height())) {
            const std::size_t at =
                static_cast<std::size_t>(y) * stride_ + static_cast<std::size_t>(x);
            shown_[at] = argb;
            drawn_[at] = argb;
        }
    }

    float width_ = kDesignWidthTwips;
    float height_ = kDesignHeightTwips;
    Rgb backColour_;
    QImage picture_;
    QImage image_;   // what is shown: back colour, picture, drawing
    QImage drawing_; // the drawing alone; alpha 0 where nothing was drawn
    std::uint32_t* shown_ = nullptr;
    std::uint32_t* drawn_ = nullptr;
    std::size_t stride_ = 0;
};

} // namespace loomara
