#include "weave/WeaveCanvas.h"

#include <QPainter>

#include <cstdlib>

namespace loomara {

WeaveCanvas::WeaveCanvas(Rgb backColour) : backColour_(backColour), backArgb_(toArgb(backColour)) {
    rebuild(innerPixels(width_), innerPixels(height_), QImage(), false);
}

int WeaveCanvas::innerPixels(float twips) {
    const long long inner = static_cast<long long>(twipsToPixels(twips)) - 2 * kBorderPixels;
    // A size past what a 16-bit twip value can describe is clamped rather than allocated; a
    // negative or undefined one gives no pixels.
    return inner > 0
               ? static_cast<int>(std::min(inner, static_cast<long long>(kLargestInnerPixels)))
               : 0;
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
    if (w != scaleWidth_ || h != scaleHeight_) {
        // The drawing keeps its top-left part; new area shows the back colour and the picture.
        rebuild(w, h, currentDrawing(), keepsDrawing());
    }
}

void WeaveCanvas::rebuild(int width, int height, const QImage& drawing, bool keepDrawing) {
    scaleWidth_ = width;
    scaleHeight_ = height;
    image_ = QImage(width, height, QImage::Format_RGB32);
    drawing_ = QImage();
    if (image_.isNull()) {
        pointAtPixels();
        return;
    }
    image_.fill(backArgb_);
    if (hasPicture() || !drawing.isNull()) {
        QPainter p(&image_);
        if (hasPicture()) {
            p.drawImage(0, 0, picture_);
        }
        if (!drawing.isNull()) {
            p.drawImage(0, 0, drawing);
        }
    }
    if (keepDrawing || hasPicture()) {
        drawing_ = QImage(width, height, QImage::Format_ARGB32);
        drawing_.fill(Qt::transparent);
        if (!drawing.isNull()) {
            QPainter p(&drawing_);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(0, 0, drawing);
        }
    }
    pointAtPixels();
}

void WeaveCanvas::pointAtPixels() {
    // bits() also gives the canvas pixels of its own when a copy of the picture is held.
    shown_ = image_.isNull() ? nullptr : reinterpret_cast<std::uint32_t*>(image_.bits());
    drawn_ = drawing_.isNull() ? nullptr : reinterpret_cast<std::uint32_t*>(drawing_.bits());
    stride_ = image_.isNull() ? 0 : static_cast<std::size_t>(image_.bytesPerLine()) / 4;
    pixelsWide_ = image_.width();
    pixelsHigh_ = image_.height();
    exposed_ = false;
}

QImage WeaveCanvas::currentDrawing() const {
    if (keepsDrawing() || image_.isNull()) {
        return drawing_;
    }
    QImage drawing(pixelsWide_, pixelsHigh_, QImage::Format_ARGB32);
    for (int y = 0; y < pixelsHigh_; ++y) {
        const auto* from = reinterpret_cast<const std::uint32_t*>(image_.constScanLine(y));
        auto* to = reinterpret_cast<std::uint32_t*>(drawing.scanLine(y));
        for (int x = 0; x < pixelsWide_; ++x) {
            to[x] = from[x] == backArgb_ ? 0u : from[x];
        }
    }
    return drawing;
}

void WeaveCanvas::keepDrawingApart() {
    if (image_.isNull()) {
        return;
    }
    drawing_ = currentDrawing();
    pointAtPixels();
}

void WeaveCanvas::setBackColour(Rgb colour) {
    backColour_ = colour;
    backArgb_ = toArgb(colour);
    if (image_.isNull()) {
        return;
    }
    // Erasing needs no blending: the shown picture is the back colour and the picture alone.
    image_.fill(backArgb_);
    if (hasPicture()) {
        QPainter p(&image_);
        p.drawImage(0, 0, picture_);
        drawing_.fill(Qt::transparent);
    } else {
        drawing_ = QImage();
    }
    pointAtPixels();
}

void WeaveCanvas::setPicture(const QImage& picture) {
    const QImage drawing = currentDrawing();
    const bool keep = keepsDrawing();
    picture_ = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_ARGB32);
    rebuild(scaleWidth_, scaleHeight_, drawing, keep);
}

void WeaveCanvas::reset(Rgb backColour) {
    backColour_ = backColour;
    backArgb_ = toArgb(backColour);
    picture_ = QImage();
    width_ = kDesignWidthTwips;
    height_ = kDesignHeightTwips;
    rebuild(innerPixels(width_), innerPixels(height_), QImage(), false);
}

void WeaveCanvas::prepareToDraw(std::uint32_t argb) {
    if (exposed_) {
        pointAtPixels();
    }
    if (argb == backArgb_ && !keepsDrawing()) {
        keepDrawingApart();
    }
}

void WeaveCanvas::Pen::slantedLine(int x1, int y1, int x2, int y2) const {
    // Bresenham, the end point left out.
    const long long dx = std::llabs(static_cast<long long>(x2) - x1);
    const long long dy = -std::llabs(static_cast<long long>(y2) - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    long long err = dx + dy;
    int x = x1;
    int y = y1;
    while (x != x2 || y != y2) {
        plot(x, y);
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

void WeaveCanvas::Pen::plot(int x, int y) const {
    if (static_cast<unsigned>(y) < static_cast<unsigned>(high_)) {
        clippedSpan(shown_, drawn_, static_cast<std::size_t>(y) * stride_, 1, x, x, wide_, argb_);
    }
}

void WeaveCanvas::Pen::clippedSpan(std::uint32_t* shown, std::uint32_t* drawn, std::size_t base,
                                   std::size_t step, int first, int last, int size,
                                   std::uint32_t argb) {
    first = std::max(first, 0);
    last = std::min(last, size - 1);
    for (int i = first; i <= last; ++i) {
        const std::size_t at = base + static_cast<std::size_t>(i) * step;
        shown[at] = argb;
        if (drawn != nullptr) {
            drawn[at] = argb;
        }
    }
}

std::uint32_t WeaveCanvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= pixelsWide_ || y >= pixelsHigh_) {
        return 0;
    }
    return image_.pixel(x, y);
}

} // namespace loomara
