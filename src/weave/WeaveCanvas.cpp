#include "weave/WeaveCanvas.h"

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace loomara {

namespace {

std::uint32_t toArgb(Rgb c) {
    return qRgb(std::clamp<int>(c.red, 0, 255), std::clamp<int>(c.green, 0, 255),
                std::clamp<int>(c.blue, 0, 255));
}

} // namespace

WeaveCanvas::WeaveCanvas(Rgb backColour) : backColour_(backColour) { resizeImage(); }

int WeaveCanvas::innerPixels(float twips) {
    const double pixels = std::nearbyint(static_cast<double>(twips) / kTwipsPerPixel);
    const double inner = pixels - 2 * kBorderPixels;
    // A size past what a 16-bit twip value can describe is clamped rather than allocated.
    return static_cast<int>(std::clamp(inner, 0.0, 32767.0 / kTwipsPerPixel));
}

void WeaveCanvas::setWidth(float twips) {
    width_ = twips;
    resizeImage();
}

void WeaveCanvas::setHeight(float twips) {
    height_ = twips;
    resizeImage();
}

void WeaveCanvas::resizeImage() {
    const int w = innerPixels(width_);
    const int h = innerPixels(height_);
    if (!image_.isNull() && image_.width() == w && image_.height() == h) {
        return;
    }
    // The drawing keeps its top-left part; new area shows the back colour and the picture.
    QImage drawing(w, h, QImage::Format_ARGB32);
    drawing.fill(Qt::transparent);
    if (!drawing_.isNull() && !drawing.isNull()) {
        QPainter p(&drawing);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, drawing_);
    }
    drawing_ = drawing;
    image_ = QImage(w, h, QImage::Format_RGB32);
    compose();
}

void WeaveCanvas::compose() {
    if (image_.isNull() || drawing_.isNull()) {
        shown_ = nullptr;
        drawn_ = nullptr;
        stride_ = 0;
        return;
    }
    image_.fill(toArgb(backColour_));
    QPainter p(&image_);
    if (!picture_.isNull()) {
        p.drawImage(0, 0, picture_);
    }
    p.drawImage(0, 0, drawing_);
    p.end();
    shown_ = reinterpret_cast<std::uint32_t*>(image_.bits());
    drawn_ = reinterpret_cast<std::uint32_t*>(drawing_.bits());
    stride_ = static_cast<std::size_t>(image_.bytesPerLine() / 4);
}

void WeaveCanvas::setBackColour(Rgb colour) {
    backColour_ = colour;
    drawing_.fill(Qt::transparent);
    compose();
}

void WeaveCanvas::setPicture(const QImage& picture) {
    picture_ = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_ARGB32);
    compose();
}

void WeaveCanvas::reset(Rgb backColour) {
    backColour_ = backColour;
    picture_ = QImage();
    image_ = QImage();
    drawing_ = QImage();
    width_ = kDesignWidthTwips;
    height_ = kDesignHeightTwips;
    resizeImage();
}

void WeaveCanvas::line(int x1, int y1, int x2, int y2, Rgb colour) {
    if (shown_ != nullptr && !image_.isDetached()) {
        // Someone holds a copy of the shown picture: give the canvas its own pixels first.
        shown_ = reinterpret_cast<std::uint32_t*>(image_.bits());
    }
    const std::uint32_t argb = toArgb(colour);
    if (x1 == x2) {
        // Fast path for the weave's vertical dashes: straight into the pixels.
        const int step = y2 >= y1 ? 1 : -1;
        for (int y = y1; y != y2; y += step) {
            plot(x1, y, argb);
        }
        return;
    }
    if (y1 == y2) {
        const int step = x2 >= x1 ? 1 : -1;
        for (int x = x1; x != x2; x += step) {
            plot(x, y1, argb);
        }
        return;
    }
    // Any other line: Bresenham, the end point left out.
    const long long dx = std::llabs(static_cast<long long>(x2) - x1);
    const long long dy = -std::llabs(static_cast<long long>(y2) - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    long long err = dx + dy;
    int x = x1;
    int y = y1;
    while (x != x2 || y != y2) {
        plot(x, y, argb);
        const long long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

std::uint32_t WeaveCanvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height()) {
        return 0;
    }
    return image_.pixel(x, y);
}

} // namespace loomara
