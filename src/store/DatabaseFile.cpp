#include "store/DatabaseFile.h"

#include <QFile>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace loomara {

namespace {

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// SQLite keeps these beside a database, named after it.
constexpr const char* journalSuffixes[] = {"-journal", "-wal", "-shm"};

bool exists(const QByteArray& name) {
    struct stat entry {};
    return lstat(name.constData(), &entry) == 0;
}

// Renames without ever replacing what is at `to`: EEXIST when something is.
int renameAside(const QByteArray& from, const QByteArray& to) {
    if (renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    // A file system that cannot refuse to replace: look first, then rename.
    if (exists(to)) {
        return EEXIST;
    }
    return std::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

} // namespace

FoundFile lookAt(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    FoundFile found;
    struct stat entry {};
    if (lstat(name.constData(), &entry) != 0) {
        if (errno != ENOENT) {
            found.kind = FoundFile::Kind::Unreachable;
            found.why = systemReason(errno);
        }
        return found;
    }
    found.device = entry.st_dev;
    found.inode = entry.st_ino;
    found.kind = FoundFile::Kind::InTheWay;
    if (stat(name.constData(), &entry) != 0) {
        found.why = errno == ELOOP ? QStringLiteral("it is a loop of symbolic links")
                                   : QStringLiteral("it is a symbolic link that leads nowhere");
        return found;
    }
    if (S_ISDIR(entry.st_mode)) {
        found.why = QStringLiteral("it is a folder");
        return found;
    }
    if (!S_ISREG(entry.st_mode)) {
        found.why = QStringLiteral("it is not a regular file");
        return found;
    }
    const int file = open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) {
        found.kind = FoundFile::Kind::Unreadable;
        found.why = QStringLiteral("it cannot be opened (%1)").arg(systemReason(errno));
        return found;
    }
    // Told apart before SQLite opens it: SQLite would discard a journal beside a file it cannot
    // read, and the journal is to go aside with the file.
    char header[100];
    const ssize_t got = read(file, header, sizeof header);
    close(file);
    static constexpr char magic[] = "SQLite format 3";
    if (got != 0 &&
        (got != ssize_t(sizeof header) || std::memcmp(header, magic, sizeof magic) != 0)) {
        found.kind = FoundFile::Kind::NotDatabase;
        found.why = QStringLiteral("it is not a database");
        return found;
    }
    found.kind = FoundFile::Kind::Regular;
    return found;
}

bool canWriteFolder(const QString& folder) {
    QTemporaryFile probe(folder + QStringLiteral("/.loomara-probe-XXXXXX"));
    return probe.open();
}

bool canWriteFile(const QString& path) {
    const int file = open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (file < 0) {
        return false;
    }
    close(file);
    return true;
}

MovedAside moveAside(const QString& path, const FoundFile& found, const QDate& day) {
    const QByteArray from = QFile::encodeName(path);
    struct stat entry {};
    if (lstat(from.constData(), &entry) != 0 || entry.st_dev != found.device ||
        entry.st_ino != found.inode) {
        return {MovedAside::Outcome::Changed, {}, {}};
    }
    const QString stem = path + QStringLiteral(".unreadable-") + day.toString(Qt::ISODate);
    QString to;
    int error = EEXIST;
    for (int number = 1; error == EEXIST && number <= 1000; ++number) {
        to = number == 1 ? stem : stem + QStringLiteral("-%1").arg(number);
        error = renameAside(from, QFile::encodeName(to));
    }
    if (error != 0) {
        return {MovedAside::Outcome::Failed, {}, systemReason(error)};
    }
    for (const char* suffix : journalSuffixes) {
        const QByteArray journal = from + suffix;
        if (!exists(journal)) {
            continue;
        }
        if (const int failed = renameAside(journal, QFile::encodeName(to) + suffix)) {
            return {MovedAside::Outcome::Failed,
                    {},
                    QStringLiteral("it was moved to %1, but its journal %2 could not follow (%3)")
                        .arg(to, QFile::decodeName(journal), systemReason(failed))};
        }
    }
    return {MovedAside::Outcome::Moved, to, {}};
}

} // namespace loomara
