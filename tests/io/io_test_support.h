#pragma once

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>
#include <QtEndian>

#include <cstdint>

namespace loomara::testing {

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// True when every byte is written.
inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

// A picture whose every pixel differs from its neighbours, so an offset or a scaling shows.
inline QImage patternPicture(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.setPixel(x, y, qRgb((x * 5) % 256, (y * 7) % 256, (x * y + 40) % 256));
        }
    }
    return picture;
}

inline std::uint32_t u32At(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

inline std::int32_t s32At(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<qint32>(bytes.constData() + at);
}

inline std::uint16_t u16At(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

// Reads back an uncompressed 24-bit bottom-up bitmap by its bytes alone.
inline QImage decodeBitmap24(const QByteArray& bytes) {
    const int width = s32At(bytes, 18);
    const int height = s32At(bytes, 22);
    const qsizetype rowBytes = (qsizetype{width} * 3 + 3) / 4 * 4;
    const qsizetype pixelsAt = u32At(bytes, 10);
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uchar*>(bytes.constData()) + pixelsAt +
                          (height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            picture.setPixel(x, y, qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]));
        }
    }
    return picture;
}

} // namespace loomara::testing
