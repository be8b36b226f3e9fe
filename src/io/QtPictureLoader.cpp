#include "io/QtPictureLoader.h"

#include "io/TruncatedPicture.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace loomara {

namespace {

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
    if (endsBeforeItsPicture(file)) {
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
