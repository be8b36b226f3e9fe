#include "formats/PictureFiles.h"

#include <QBuffer>
#include <QImageWriter>
#include <QList>
#include <QtEndian>

#include <array>

namespace loomara {

namespace {

constexpr qsizetype kHeadersBytes = 14 + 40;

void put16(QByteArray& bytes, qsizetype at, quint16 value) {
    qToLittleEndian(value, bytes.data() + at);
}

void put32(QByteArray& bytes, qsizetype at, quint32 value) {
    qToLittleEndian(value, bytes.data() + at);
}

} // namespace

QByteArray bitmap24Bytes(const QImage& picture, int pixelsPerMetre) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    const qsizetype width = rgb.width();
    const qsizetype height = rgb.height();
    const qsizetype rowBytes = (width * 3 + 3) / 4 * 4;
    const qsizetype pixelBytes = rowBytes * height;

    QByteArray bytes(kHeadersBytes + pixelBytes, '\0');
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, 2, static_cast<quint32>(bytes.size()));
    put32(bytes, 10, kHeadersBytes);
    put32(bytes, 14, 40);
    put32(bytes, 18, static_cast<quint32>(width));
    put32(bytes, 22, static_cast<quint32>(height)); // positive: bottom-up rows
    put16(bytes, 26, 1);                            // planes
    put16(bytes, 28, 24);                           // bits per pixel
    put32(bytes, 30, 0);                            // BI_RGB
    put32(bytes, 34, static_cast<quint32>(pixelBytes));
    put32(bytes, 38, static_cast<quint32>(pixelsPerMetre));
    put32(bytes, 42, static_cast<quint32>(pixelsPerMetre));

    for (qsizetype y = 0; y < height; ++y) {
        const uchar* source = rgb.constScanLine(static_cast<int>(height - 1 - y));
        char* row = bytes.data() + kHeadersBytes + y * rowBytes;
        for (qsizetype x = 0; x < width; ++x) {
            row[3 * x] = static_cast<char>(source[3 * x + 2]);
            row[3 * x + 1] = static_cast<char>(source[3 * x + 1]);
            row[3 * x + 2] = static_cast<char>(source[3 * x]);
        }
    }
    return bytes;
}

QImage withColourTable(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    QImage indexed(rgb.size(), QImage::Format_Indexed8);
    if (indexed.isNull()) {
        return rgb;
    }
    QList<QRgb> table;
    // A twill changes colour every pixel or two, so each colour's place in the table is kept in
    // a small cache, found by the colour's own bits, rather than searched for again.
    std::array<QRgb, 256> cached{};
    std::array<int, 256> cachedAt;
    cachedAt.fill(-1);
    const int width = rgb.width();
    const int height = rgb.height();
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const QRgb colour = in[x] | 0xff000000u;
            const std::size_t slot = (colour * 2654435761u) >> 24;
            if (cachedAt[slot] < 0 || cached[slot] != colour) {
                qsizetype at = table.indexOf(colour);
                if (at < 0) {
                    if (table.size() == 256) {
                        return rgb;
                    }
                    at = table.size();
                    table.append(colour);
                }
                cached[slot] = colour;
                cachedAt[slot] = static_cast<int>(at);
            }
            out[x] = static_cast<uchar>(cachedAt[slot]);
        }
    }
    indexed.setColorTable(table);
    return indexed;
}

QByteArray pngBytes(const QImage& picture, int pixelsPerMetre, PngCompression compression) {
    // The writer's quality runs the other way from zlib's level: 70 is level 2.
    constexpr int kQuickQuality = 70;
    QImage stored = withColourTable(picture);
    stored.setDotsPerMeterX(pixelsPerMetre);
    stored.setDotsPerMeterY(pixelsPerMetre);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (compression == PngCompression::Quick) {
        writer.setQuality(kQuickQuality);
    }
    return writer.write(stored) ? bytes : QByteArray();
}

} // namespace loomara
