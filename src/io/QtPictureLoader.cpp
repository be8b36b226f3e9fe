#include "io/QtPictureLoader.h"

#include "io/PrematureEndWatch.h"
#include "io/TruncatedPicture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRect>
#include <QSet>

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

namespace loomara {

namespace {

LoadedPicture refused(const QString& problem) {
    return {QImage(), problem};
}

QString damaged() {
    return QStringLiteral("the picture in it is damaged or incomplete");
}

QString tooLarge() {
    return QStringLiteral("the picture is too large to read");
}

// The system gives up on a name whose links lead round in a loop as on a name that does not
// exist; the user is told which it is.
bool linksGoRound(const QString& fileName) {
    QSet<QString> passed;
    for (QFileInfo at(fileName); at.isSymLink(); at = QFileInfo(at.symLinkTarget())) {
        const QString path = QDir::cleanPath(at.absoluteFilePath());
        if (passed.contains(path)) {
            return true;
        }
        passed.insert(path);
    }
    return false;
}

// The part of the picture as the file stores it that shows as the top-left part up to
// `largest` once it is turned and mirrored as the file asks: a camera held upright stores its
// picture on its side.
QRect storedRegion(QSize stored, QImageIOHandler::Transformations turn, QSize largest) {
    const bool turned = turn.testFlag(QImageIOHandler::TransformationRotate90);
    QRect region(QPoint(0, 0), largest.boundedTo(turned ? stored.transposed() : stored));
    if (turned) { // turned clockwise: the shown column x is the stored row height - 1 - x
        region = QRect(region.top(), stored.height() - region.right() - 1, region.height(),
                       region.width());
    }
    if (turn.testFlag(QImageIOHandler::TransformationMirror)) {
        region.moveLeft(stored.width() - region.right() - 1);
    }
    if (turn.testFlag(QImageIOHandler::TransformationFlip)) {
        region.moveTop(stored.height() - region.bottom() - 1);
    }
    return region;
}

// The reader refuses to make a picture past its memory limit, and calls that invalid data.
bool pastMemoryLimit(QSize decoded) {
    constexpr qint64 kBytesPerPixel = 4;
    const qint64 limit = qint64{QImageReader::allocationLimit()} * 1024 * 1024;
    return limit > 0 && qint64{decoded.width()} * decoded.height() * kBytesPerPixel > limit;
}

QString readerProblem(const QImageReader& reader) {
    switch (reader.error()) {
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("it is not a picture in a format that can be read");
    case QImageReader::InvalidDataError:
        return damaged();
    case QImageReader::DeviceError:
        return QStringLiteral("the file could not be read (%1)").arg(reader.errorString());
    default:
        return QStringLiteral("it could not be read as a picture (%1)").arg(reader.errorString());
    }
}

// The pixels per metre a PNG file records, read from its pHYs chunk (it comes before the image
// data): the unset size when it records none in metres, nothing when the file is no PNG. The
// toolkit's PNG reader scales some pictures itself as it reads them, and then gives the resolution
// of the smaller picture where every other reader gives the file's: the file's own is taken from
// the file.
std::optional<QSize> pngPixelsPerMetre(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly) || file.read(8) != QByteArrayLiteral("\x89PNG\r\n\x1a\n")) {
        return std::nullopt;
    }
    const auto bigEndian = [](const QByteArray& bytes, int at) {
        quint32 value = 0;
        for (int i = 0; i < 4; ++i) {
            value = value << 8 | static_cast<quint8>(bytes[at + i]);
        }
        return value;
    };
    for (;;) {
        const QByteArray head = file.read(8);
        if (head.size() < 8) {
            return QSize();
        }
        const quint32 length = bigEndian(head, 0);
        const QByteArray type = head.mid(4);
        if (type == "IDAT" || type == "IEND") {
            return QSize();
        }
        if (type == "pHYs" && length == 9) {
            const QByteArray data = file.read(9);
            constexpr int kMetre = 1;
            const quint32 across = data.size() == 9 ? bigEndian(data, 0) : 0;
            const quint32 down = data.size() == 9 ? bigEndian(data, 4) : 0;
            if (data.size() < 9 || data[8] != kMetre || across == 0 || down == 0 ||
                across > INT_MAX || down > INT_MAX) {
                return QSize();
            }
            return QSize(static_cast<int>(across), static_cast<int>(down));
        }
        // The chunk's data and its check sum.
        if (!file.seek(file.pos() + qint64{length} + 4)) {
            return QSize();
        }
    }
}

} // namespace

LoadedPicture QtPictureLoader::load(const QString& fileName, QSize largest) {
    return read(fileName, Part::TopLeft, largest, 0);
}

LoadedPicture QtPictureLoader::loadWhole(const QString& fileName, qint64 mostPixels) {
    return read(fileName, Part::Whole, QSize(), mostPixels);
}

LoadedPicture QtPictureLoader::read(const QString& fileName, Part part, QSize largest,
                                    qint64 mostPixels) {
    const QFileInfo info(fileName);
    if (!info.exists()) {
        return refused(linksGoRound(fileName)
                           ? QStringLiteral("it is a symbolic link that leads round in a loop")
                           : QStringLiteral("the file does not exist"));
    }
    // A FIFO or a device is refused before it is opened: opening one can wait for ever.
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
    switch (checkPictureFile(file)) {
    case PictureFileCheck::LeftToTheReader:
        break;
    case PictureFileCheck::FileEndsEarly:
        return refused(QStringLiteral("the file ends before the end of its picture"));
    case PictureFileCheck::DataEndsEarly:
        return refused(damaged());
    case PictureFileCheck::TooLargeToRead:
        return refused(tooLarge());
    }
    const PrematureEndWatch watch;
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    QSize decoded = stored;
    double scale = 1;
    if (stored.isValid() && part == Part::TopLeft) {
        // A JPEG decodes just the region, so that any photograph fits in memory; other formats
        // are read whole and cut.
        const QRect region = storedRegion(stored, reader.transformation(), largest);
        if (region.size() != stored) {
            reader.setClipRect(region);
            if (reader.supportsOption(QImageIOHandler::ClipRect)) {
                decoded = region.size();
            }
        }
    } else if (stored.isValid() && qint64{stored.width()} * stored.height() > mostPixels) {
        // A JPEG decodes straight to the smaller size; the shape is kept, so the turn the file
        // asks for applies to it alike.
        scale = std::sqrt(static_cast<double>(mostPixels) /
                          (static_cast<double>(stored.width()) * stored.height()));
        const QSize smaller(std::max(1, static_cast<int>(stored.width() * scale)),
                            std::max(1, static_cast<int>(stored.height() * scale)));
        scale = static_cast<double>(smaller.width()) / stored.width();
        reader.setScaledSize(smaller);
        if (reader.supportsOption(QImageIOHandler::ScaledSize)) {
            decoded = smaller;
        }
    }
    QImage picture = reader.read();
    if (picture.isNull()) {
        // Some readers decode the whole picture before they scale it down: past the limit at its
        // stored size, it is too large rather than damaged.
        if (reader.error() == QImageReader::InvalidDataError &&
            (pastMemoryLimit(decoded) || pastMemoryLimit(stored))) {
            return refused(tooLarge());
        }
        return refused(readerProblem(reader));
    }
    if (watch.dataEndedEarly()) {
        return refused(damaged());
    }
    if (const std::optional<QSize> recorded =
            scale != 1 ? pngPixelsPerMetre(fileName) : std::nullopt) {
        const QImage unrecorded(1, 1, QImage::Format_RGB32);
        picture.setDotsPerMeterX(recorded->isValid() ? recorded->width()
                                                     : unrecorded.dotsPerMeterX());
        picture.setDotsPerMeterY(recorded->isValid() ? recorded->height()
                                                     : unrecorded.dotsPerMeterY());
    }
    return {picture, QString(), scale};
}

} // namespace loomara
