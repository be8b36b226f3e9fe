#include "io/QtPictureLoader.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstdlib>

namespace loomara {

namespace {

constexpr qint64 kFileHeaderBytes = 14;
constexpr qint64 kCoreHeaderBytes = 12;
constexpr qint64 kInfoHeaderBytes = 40;

qint64 readU32(const QByteArray& data, qint64 at) {
    return qFromLittleEndian<quint32>(data.constData() + at);
}

qint64 readS32(const QByteArray& data, qint64 at) {
    return qFromLittleEndian<qint32>(data.constData() + at);
}

qint64 readU16(const QByteArray& data, qint64 at) {
    return qFromLittleEndian<quint16>(data.constData() + at);
}

// The toolkit's BMP reader accepts a file that ends early and leaves the missing rows
// black; such a file is refused here instead. Only the headers are needed, with the file's
// size. Anything that does not look like a bitmap's headers is left to the reader to judge.
bool bitmapEndsEarly(const QByteArray& head, qint64 fileSize) {
    if (head.size() < kFileHeaderBytes + 4) {
        return true;
    }
    const qint64 pixelsAt = readU32(head, 10);
    const qint64 headerBytes = readU32(head, kFileHeaderBytes);
    constexpr std::array<qint64, 8> kHeaderSizes{12, 16, 40, 52, 56, 64, 108, 124};
    if (std::find(kHeaderSizes.begin(), kHeaderSizes.end(), headerBytes) == kHeaderSizes.end()) {
        return false;
    }
    if (head.size() <
        std::min(kFileHeaderBytes + headerBytes, kFileHeaderBytes + kInfoHeaderBytes)) {
        return true;
    }
    qint64 width = 0;
    qint64 height = 0;
    qint64 bitsPerPixel = 0;
    qint64 compression = 0;
    qint64 imageBytes = 0;
    if (headerBytes == kCoreHeaderBytes) {
        width = readU16(head, 18);
        height = readU16(head, 20);
        bitsPerPixel = readU16(head, 24);
    } else if (headerBytes >= kInfoHeaderBytes) {
        width = readS32(head, 18);
        height = std::llabs(readS32(head, 22));
        bitsPerPixel = readU16(head, 28);
        compression = readU32(head, 30);
        imageBytes = readU32(head, 34);
    } else {
        return false;
    }
    constexpr qint64 kUncompressed = 0;
    constexpr qint64 kBitFields = 3;
    constexpr qint64 kAlphaBitFields = 6;
    if (compression == kUncompressed || compression == kBitFields ||
        compression == kAlphaBitFields) {
        if (width <= 0 || bitsPerPixel <= 0) {
            return false; // not a picture the reader accepts anyway; let it say so
        }
        const qint64 rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
        return fileSize < pixelsAt + rowBytes * height;
    }
    return fileSize < pixelsAt + imageBytes;
}

LoadedPicture refused(const QString& problem) {
    return {QImage(), problem};
}

QString readerProblem(const QImageReader& reader) {
    switch (reader.error()) {
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("it is not a picture in a format that can be read");
    case QImageReader::InvalidDataError:
        return QStringLiteral("the picture in it is damaged or incomplete");
    case QImageReader::DeviceError:
        return QStringLiteral("the file could not be read (%1)").arg(reader.errorString());
    default:
        return QStringLiteral("it could not be read as a picture (%1)").arg(reader.errorString());
    }
}

} // namespace

LoadedPicture QtPictureLoader::load(const QString& fileName) {
    const QFileInfo info(fileName);
    if (!info.exists()) {
        return refused(QStringLiteral("the file does not exist"));
    }
    if (!info.isFile()) {
        return refused(QStringLiteral("it is not a file"));
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        return refused(QStringLiteral("the file could not be read (%1)").arg(file.errorString()));
    }
    if (file.size() == 0) {
        return refused(QStringLiteral("the file is empty"));
    }
    const QByteArray head = file.peek(kFileHeaderBytes + 64);
    if (head.startsWith("BM") && bitmapEndsEarly(head, file.size())) {
        return refused(QStringLiteral("the file ends before the end of its picture"));
    }
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    QImage picture = reader.read();
    if (picture.isNull()) {
        return refused(readerProblem(reader));
    }
    return {picture, QString()};
}

} // namespace loomara
