#include "io/SavePicture.h"

#include "io/SaveFile.h"

#include <QtEndian>

namespace loomara {

namespace {

constexpr qsizetype kHeadersBytes = 14 + 40;
constexpr quint32 kPixelsPerMetre = 3780; // 96 dots per inch

void put16(QByteArray& bytes, qsizetype at, quint16 value) {
    qToLittleEndian(value, bytes.data() + at);
}

void put32(QByteArray& bytes, qsizetype at, quint32 value) {
    qToLittleEndian(value, bytes.data() + at);
}

} // namespace

QByteArray bitmap24Bytes(const QImage& picture) {
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
    put32(bytes, 38, kPixelsPerMetre);
    put32(bytes, 42, kPixelsPerMetre);

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

std::optional<QString> savePicture(const QImage& picture, const QString& fileName) {
    return saveFile(bitmap24Bytes(picture), fileName, QStringLiteral("picture"));
}

} // namespace loomara
