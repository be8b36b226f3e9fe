#include "studio/window/ClothView.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace loomara {

ClothView::ClothView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
    setMinimumSize(160, 120);
}

void ClothView::show(const QImage& repeat, double pixelsPerThread, bool stale) {
    if (repeat.cacheKey() == repeat_.cacheKey() && pixelsPerThread == pixelsPerThread_ &&
        stale == stale_) {
        return;
    }
    repeat_ = repeat;
    pixelsPerThread_ = pixelsPerThread;
    stale_ = stale;
    update();
}

void ClothView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    painter.fillRect(area, palette().window());
    if (repeat_.isNull() || pixelsPerThread_ <= 0) {
        return;
    }
    // A thread covers whole device pixels: the painter works in logical pixels.
    const double scale = pixelsPerThread_ / devicePixelRatioF();
    const double tileWidth = repeat_.width() * scale;
    const double tileHeight = repeat_.height() * scale;
    const int firstColumn = static_cast<int>(std::floor(area.left() / tileWidth));
    const int firstRow = static_cast<int>(std::floor(area.top() / tileHeight));
    for (int row = firstRow; row * tileHeight <= area.bottom(); ++row) {
        for (int column = firstColumn; column * tileWidth <= area.right(); ++column) {
            painter.drawImage(QRectF(column * tileWidth, row * tileHeight, tileWidth, tileHeight),
                              repeat_);
        }
    }
    if (stale_) {
        painter.fillRect(area, QColor(128, 128, 128, 170));
    }
    emit painted();
}

} // namespace loomara
