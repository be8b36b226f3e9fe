#pragma once

#include "model/Colour.h"
#include "model/Twips.h"

#include <QImage>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace loomara {

// The weave picture: an outer size in twips (15 to a pixel), an inner drawing area in pixels
// inside a 2-pixel sunken border, a back colour, an optional background picture and the
// drawing itself. image() is the persistent picture as shown, the one that is saved and printed:
// back colour, then the background picture at the top-left, unscaled, then the drawing.
class WeaveCanvas {
public:
    static constexpr float kDesignWidthTwips = 10455.0f;
    static constexpr float kDesignHeightTwips = 6735.0f;
    static constexpr int kBorderPixels = 2;
    // The inner area never grows past this many pixels a side: its outer size is a 16-bit
    // number of twips.
    static constexpr int kLargestInnerPixels = 32767 / kTwipsPerPixel;

    class Pen;

    explicit WeaveCanvas(Rgb backColour = {});

    // Outer size in twips, as single-precision values.
    float width() const { return width_; }
    float height() const { return height_; }
    void setWidth(float twips);
    void setHeight(float twips);

    // Inner drawing area in pixels: the outer size in pixels, as the window sizes the box that
    // shows the picture, less the border, never below 0.
    int scaleWidth() const { return scaleWidth_; }
    int scaleHeight() const { return scaleHeight_; }

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

    // The same line drawing for many lines of one colour in a row, such as the dashes of one
    // thread: the pen holds the pixels and the clip in its own fields, so its line() compiles
    // to a few instructions for the short vertical and horizontal dashes of a weave. A pen is
    // good until the canvas is next changed or its picture is read.
    Pen pen(Rgb colour);

    // Back to the design: design size, no drawing, no background picture, the given back colour.
    void reset(Rgb backColour);

    // The picture as shown (inner size). A copy taken of it keeps its pixels: the canvas draws
    // on a picture of its own afterwards.
    const QImage& image() const {
        exposed_ = true;
        return image_;
    }

    // Pixel of the inner area, for checks; outside the area it returns 0.
    std::uint32_t pixel(int x, int y) const;

private:
    static std::uint32_t toArgb(Rgb c) {
        const auto component = [](int v) {
            return static_cast<std::uint32_t>(std::clamp(v, 0, 255));
        };
        return 0xff000000u | component(c.red) << 16 | component(c.green) << 8 | component(c.blue);
    }
    static int innerPixels(float twips);

    // Without a background picture the drawing can be read back from the shown picture: every
    // pixel not in the back colour is drawn, and only those. The drawing is kept apart, at the
    // cost of a second write per pixel, only while that does not hold: a background picture is
    // present, or something was drawn in the back colour.
    bool keepsDrawing() const { return !drawing_.isNull(); }
    void keepDrawingApart();
    QImage currentDrawing() const;
    void resizeImage();
    // A new shown picture of the given size: back colour, background picture, then the drawing
    // at the top-left.
    void rebuild(int width, int height, const QImage& drawing, bool keepDrawing);
    void pointAtPixels();
    // Before drawing: own the pixels if a copy of the picture may be held, and keep the
    // drawing apart if it is about to be drawn in the back colour.
    void prepareToDraw(std::uint32_t argb);

    float width_ = kDesignWidthTwips;
    float height_ = kDesignHeightTwips;
    Rgb backColour_;
    std::uint32_t backArgb_ = 0;
    QImage picture_;
    QImage image_;       // what is shown: back colour, picture, drawing
    QImage drawing_;     // the drawing alone, alpha 0 where nothing was drawn; null when not kept
    int scaleWidth_ = 0; // the inner size, even when the other side is 0 and there are no pixels
    int scaleHeight_ = 0;
    // Where pens draw: the pixels of image_ and drawing_ (null when not kept), the row length in
    // pixels and the size of image_.
    std::uint32_t* shown_ = nullptr;
    std::uint32_t* drawn_ = nullptr;
    std::size_t stride_ = 0;
    int pixelsWide_ = 0;
    int pixelsHigh_ = 0;
    mutable bool exposed_ = false; // a copy of image_ may be held elsewhere
};

class WeaveCanvas::Pen {
public:
    void line(int x1, int y1, int x2, int y2) const {
        // The painted pixels run from the start point up to, not including, the end point.
        if (x1 == x2) {
            if (y1 < y2) {
                verticalSpan(x1, y1, y2 - 1);
            } else if (y2 < y1) {
                verticalSpan(x1, y2 + 1, y1);
            }
        } else if (y1 == y2) {
            if (x1 < x2) {
                horizontalSpan(y1, x1, x2 - 1);
            } else {
                horizontalSpan(y1, x2 + 1, x1);
            }
        } else {
            slantedLine(x1, y1, x2, y2);
        }
    }

private:
    friend class WeaveCanvas;
    Pen(std::uint32_t* shown, std::uint32_t* drawn, std::size_t stride, int wide, int high,
        std::uint32_t argb)
        : shown_(shown), drawn_(drawn), stride_(stride), wide_(wide), high_(high), argb_(argb) {}

    // Spans paint the pixels first..last inclusive of one column or row, clipped to the picture.
    void verticalSpan(int x, int first, int last) const {
        if (static_cast<unsigned>(x) >= static_cast<unsigned>(wide_)) {
            return;
        }
        // A weave's dashes are two pixels long and mostly lie inside.
        if (first < last && last - 1 == first &&
            static_cast<unsigned>(first) < static_cast<unsigned>(high_ - 1)) {
            const std::size_t at =
                static_cast<std::size_t>(first) * stride_ + static_cast<unsigned>(x);
            shown_[at] = argb_;
            shown_[at + stride_] = argb_;
            if (drawn_ != nullptr) {
                drawn_[at] = argb_;
                drawn_[at + stride_] = argb_;
            }
            return;
        }
        if (last >= 0 && first < high_) {
            clippedSpan(shown_, drawn_, static_cast<unsigned>(x), stride_, first, last, high_,
                        argb_);
        }
    }
    void horizontalSpan(int y, int first, int last) const {
        if (static_cast<unsigned>(y) >= static_cast<unsigned>(high_)) {
            return;
        }
        const std::size_t row = static_cast<std::size_t>(y) * stride_;
        if (first < last && last - 1 == first &&
            static_cast<unsigned>(first) < static_cast<unsigned>(wide_ - 1)) {
            // Side by side, the two pixels take one store.
            const std::uint64_t both = static_cast<std::uint64_t>(argb_) << 32 | argb_;
            std::memcpy(shown_ + row + static_cast<unsigned>(first), &both, sizeof both);
            if (drawn_ != nullptr) {
                std::memcpy(drawn_ + row + static_cast<unsigned>(first), &both, sizeof both);
            }
            return;
        }
        if (last >= 0 && first < wide_) {
            clippedSpan(shown_, drawn_, row, 1, first, last, wide_, argb_);
        }
    }
    // Any other span that reaches into the picture: the pixels base + i x step for
    // i = first..last clipped to 0..size - 1. It is out of line so that a loop of dashes around
    // the cases above stays small enough to keep its values in registers.
    static void clippedSpan(std::uint32_t* shown, std::uint32_t* drawn, std::size_t base,
                            std::size_t step, int first, int last, int size, std::uint32_t argb);
    void slantedLine(int x1, int y1, int x2, int y2) const;
    void plot(int x, int y) const;

    std::uint32_t* shown_;
    std::uint32_t* drawn_; // the drawing kept apart, or null
    std::size_t stride_;   // pixels per row
    int wide_;             // the clip: the size of the shown picture
    int high_;
    std::uint32_t argb_;
};

inline WeaveCanvas::Pen WeaveCanvas::pen(Rgb colour) {
    const std::uint32_t argb = toArgb(colour);
    if (exposed_ || argb == backArgb_) {
        prepareToDraw(argb);
    }
    return Pen(shown_, drawn_, stride_, pixelsWide_, pixelsHigh_, argb);
}

inline void WeaveCanvas::line(int x1, int y1, int x2, int y2, Rgb colour) {
    pen(colour).line(x1, y1, x2, y2);
}

} // namespace loomara
