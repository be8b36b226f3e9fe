#include "formats/ScaledPicture.h"

#include <QRgb>

#include <cassert>
#include <cstring>

namespace loomara {

QImage scaledPicture(const QImage& picture, int factor) {
    assert(factor >= 1);
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    if (factor == 1 || source.isNull()) {
        return source;
    }
    QImage scaled(source.width() * factor, source.height() * factor, QImage::Format_RGB32);
    if (scaled.isNull()) {
        return scaled;
    }
    const qsizetype rowBytes = static_cast<qsizetype>(scaled.width()) * sizeof(QRgb);
    for (int y = 0; y < source.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        auto* first = reinterpret_cast<QRgb*>(scaled.scanLine(y * factor));
        for (int x = 0; x < source.width(); ++x) {
            for (int k = 0; k < factor; ++k) {
                first[x * factor + k] = from[x];
            }
        }
        for (int k = 1; k < factor; ++k) {
            std::memcpy(scaled.scanLine(y * factor + k), first, static_cast<size_t>(rowBytes));
        }
    }
    return scaled;
}

} // namespace loomara
