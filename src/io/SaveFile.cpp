#include "io/SaveFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace loomara {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// What is there when it is neither a regular file nor a folder, by its kind.
QString notAFile(mode_t mode) {
    const QString kind = S_ISFIFO(mode)   ? QStringLiteral("a FIFO (a named pipe)")
                         : S_ISCHR(mode)  ? QStringLiteral("a character device")
                         : S_ISBLK(mode)  ? QStringLiteral("a block device")
                         : S_ISSOCK(mode) ? QStringLiteral("a socket")
                                          : QString();
    return kind.isEmpty() ? QStringLiteral("it is not a regular file")
                          : QStringLiteral("it is %1, not a regular file").arg(kind);
}

// A write or flush cut short without an error of its own is a full disk or a size limit.
QString writeProblem(const QSaveFile& file, const QString& what) {
    return file.error() == QFileDevice::NoError
               ? QStringLiteral("only part of the %1 could be written; the disk may be full")
                     .arg(what)
               : QStringLiteral("the %1 could not be written (%2)").arg(what, file.errorString());
}

} // namespace

// Only a regular file, or a symbolic link that leads to one, may be replaced: a save over a FIFO,
// a socket or a device would turn it into a plain file. The name is only looked up, never
// opened, since opening a FIFO waits for its other end.
std::optional<QString> whyNotSavedOver(const QString& fileName) {
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
        return notAFile(entry.st_mode);
    }
    return std::nullopt;
}

std::optional<QString> saveFile(const QByteArray& bytes, const QString& fileName,
                                const QString& what) {
    const QFileInfo target(fileName);
    const QFileInfo folder(target.absolutePath());
    if (!folder.exists()) {
        return QStringLiteral("the folder \"%1\" does not exist").arg(shown(folder.filePath()));
    }
    if (!folder.isDir()) {
        return QStringLiteral("\"%1\" is not a folder").arg(shown(folder.filePath()));
    }
    if (std::optional<QString> problem = whyNotSavedOver(fileName)) {
        return problem;
    }
    // Through a symbolic link the file it leads to is replaced, and the link stays.
    QSaveFile file(fileName);
    // Unbuffered, so that a full disk fails the write itself with the system's reason: a small
    // file would otherwise wait whole in the file's buffer, and commit() renames the file over
    // the old one even when its last flush fails. Every step is checked, and the bytes are synced
    // to the disk, before the rename.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return QStringLiteral("the file could not be created (%1)").arg(file.errorString());
    }
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString problem = writeProblem(file, what);
        file.cancelWriting();
        return problem;
    }
    if (fsync(file.handle()) != 0 && errno != EINVAL) { // EINVAL: this file system cannot sync
        const QString problem = QStringLiteral("the %1 could not be written (%2)")
                                    .arg(what, QString::fromLocal8Bit(std::strerror(errno)));
        file.cancelWriting();
        return problem;
    }
    if (!file.commit()) {
        return QStringLiteral("the file could not be written (%1)").arg(file.errorString());
    }
    return std::nullopt;
}

} // namespace loomara
