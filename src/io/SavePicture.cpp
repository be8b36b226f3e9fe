#include "io/SavePicture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

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

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// Only a regular file, or a symbolic link that leads to one, may be replaced: a save over a FIFO,
// a socket or a device would turn it into a plain file. The name is only looked up, never
// opened, since opening a FIFO waits for its other end.
std::optional<QString> targetProblem(const QString& fileName) {
    const QByteArray name = QFile::encodeName(fileName);
    struct stat entry {};
    if (lstat(name.constData(), &entry) != 0) {
        return std::nullopt; // nothing there yet; creating the file tells of any other trouble
    }
    if (stat(name.constData(), &entry) != 0) {
        if (errno == ELOOP) {
            return QStringLiteral("there is a loop of symbolic links");
        }
        if (errno == ENOENT || errno == ENOTDIR) {
            return QStringLiteral("it is a symbolic link to a file that does not exist");
        }
        return std::nullopt;
    }
    if (S_ISDIR(entry.st_mode)) {
        return QStringLiteral("there is a folder of that name");
    }
    if (!S_ISREG(entry.st_mode)) {
        return QStringLiteral("it is not a regular file");
    }
    return std::nullopt;
}

// A write or flush cut short without an error of its own is a full disk or a size limit.
QString writeProblem(const QSaveFile& file) {
    return file.error() == QFileDevice::NoError
               ? QStringLiteral("only part of the picture could be written; the disk may be full")
               : QStringLiteral("the picture could not be written (%1)").arg(file.errorString());
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
    const QFileInfo target(fileName);
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists()) {
        return QStringLiteral("the folder \"%1\" does not exist").arg(shown(folder.filePath()));
    }
    if (!folder.isDir()) {
        return QStringLiteral("\"%1\" is not a folder").arg(shown(folder.filePath()));
    }
    if (std::optional<QString> problem = targetProblem(fileName)) {
        return problem;
    }
    // Through a symbolic link the file it leads to is replaced, and the link stays.
    QSaveFile file(fileName);
    // Unbuffered, so that a full disk fails the write itself with the system's reason: a small
    // picture would otherwise wait whole in the file's buffer, and commit() renames the file over
    // the old one even when its last flush fails. Every step is checked, and the bytes are synced
    // to the disk, before the rename.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return QStringLiteral("the file could not be created (%1)").arg(file.errorString());
    }
    const QByteArray bytes = bitmap24Bytes(picture);
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString problem = writeProblem(file);
        file.cancelWriting();
        return problem;
    }
    if (fsync(file.handle()) != 0 && errno != EINVAL) { // EINVAL: this file system cannot sync
        const QString problem = QStringLiteral("the picture could not be written (%1)")
                                    .arg(QString::fromLocal8Bit(std::strerror(errno)));
        file.cancelWriting();
        return problem;
    }
    if (!file.commit()) {
        return QStringLiteral("the file could not be written (%1)").arg(file.errorString());
    }
    return std::nullopt;
}

} // namespace loomara
