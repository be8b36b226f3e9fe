#include "gallery/OwnFiles.h"

#include "gallery/GalleryFiles.h"

#include <QCryptographicHash>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace loomara {

namespace {

// Far above the list of every entry of the lists, whose lines are short.
constexpr qint64 kLargestList = 8 * 1024 * 1024;
constexpr auto kListHeading = "loomara-gallery 1";
// Fast enough to hash every file as it is written and to read a whole earlier gallery again.
constexpr auto kHash = QCryptographicHash::Blake2b_256;

// The bytes of a plain file of at most `most` bytes, opened without following a symbolic link
// and without waiting for the writer of a FIFO; nothing for anything else.
std::optional<QByteArray> plainFileBytes(const QString& path, qint64 most) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    std::optional<QByteArray> bytes;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= most) {
        // One byte more than allowed tells a file that grew since.
        QByteArray read(static_cast<qsizetype>(std::min<qint64>(info.st_size, most)) + 1, '\0');
        qsizetype have = 0;
        while (have < read.size()) {
            const ssize_t n =
                ::read(fd, read.data() + have, static_cast<size_t>(read.size() - have));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                break;
            }
            have += n;
        }
        if (have <= most) {
            read.truncate(have);
            bytes = std::move(read);
        }
    }
    ::close(fd);
    return bytes;
}

std::optional<InTheWay> notAFolder(const QString& dir, const QString& folder) {
    struct stat info {};
    if (lstat(QFile::encodeName(dir + u'/' + folder).constData(), &info) != 0) {
        return std::nullopt; // made by the run
    }
    if (S_ISLNK(info.st_mode)) {
        return InTheWay{folder, QStringLiteral("is a symbolic link")};
    }
    if (!S_ISDIR(info.st_mode)) {
        return InTheWay{folder, QStringLiteral("is not a folder")};
    }
    return std::nullopt;
}

std::optional<InTheWay> notOurs(const QString& dir, const QString& name, const OwnFiles& before) {
    const QString path = dir + u'/' + name;
    struct stat info {};
    if (lstat(QFile::encodeName(path).constData(), &info) != 0) {
        return std::nullopt;
    }
    if (S_ISLNK(info.st_mode)) {
        return InTheWay{name, QStringLiteral("is a symbolic link")};
    }
    if (S_ISDIR(info.st_mode)) {
        return InTheWay{name, QStringLiteral("is a folder")};
    }
    if (!S_ISREG(info.st_mode)) {
        return InTheWay{name, QStringLiteral("is not a plain file")};
    }
    const auto listed = before.constFind(name);
    if (listed == before.cend()) {
        return InTheWay{name, QStringLiteral("is a file the gallery did not write")};
    }
    if (!stillAsWritten(path, *listed)) {
        return InTheWay{name, QStringLiteral("was changed since the gallery wrote it")};
    }
    return std::nullopt;
}

} // namespace

OwnFile ownFile(const QByteArray& bytes) {
    return {bytes.size(), QCryptographicHash::hash(bytes, kHash)};
}

QByteArray ownFilesList(const OwnFiles& files) {
    QStringList names = files.keys();
    names.sort();
    QByteArray list = QByteArray(kListHeading) + '\n';
    for (const QString& name : names) {
        const OwnFile& file = files[name];
        list +=
            QByteArray::number(file.size) + ' ' + file.hash.toHex() + ' ' + name.toUtf8() + '\n';
    }
    return list;
}

std::variant<OwnFiles, QString> writtenBefore(const QString& dir) {
    const QString path = dir + u'/' + QLatin1StringView(kOwnFilesList);
    struct stat info {};
    if (lstat(QFile::encodeName(path).constData(), &info) != 0) {
        return OwnFiles{};
    }
    if (S_ISLNK(info.st_mode)) {
        return QStringLiteral("is a symbolic link");
    }
    if (!S_ISREG(info.st_mode)) {
        return QStringLiteral("is not a plain file");
    }
    const std::optional<QByteArray> bytes = plainFileBytes(path, kLargestList);
    if (!bytes) {
        return QStringLiteral("cannot be read as the gallery's list of its files");
    }
    QList<QByteArray> lines = bytes->split('\n');
    if (lines.constFirst() != kListHeading) {
        return QStringLiteral("is not a list the gallery wrote");
    }
    OwnFiles files;
    const qsizetype hashLength = QCryptographicHash::hashLength(kHash) * 2;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split(' ');
        if (fields.size() != 3 || fields[0].isEmpty() || fields[0].size() > 15 ||
            fields[1].size() != hashLength) {
            continue;
        }
        const bool digits = std::all_of(fields[0].begin(), fields[0].end(),
                                        [](char c) { return c >= '0' && c <= '9'; });
        const bool hex = std::all_of(fields[1].begin(), fields[1].end(), [](char c) {
            return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
        });
        const QString name = QString::fromUtf8(fields[2]);
        if (digits && hex && galleryFileName(name)) {
            files.insert(name, {fields[0].toLongLong(), QByteArray::fromHex(fields[1])});
        }
    }
    return files;
}

bool stillAsWritten(const QString& path, const OwnFile& written) {
    const std::optional<QByteArray> bytes = plainFileBytes(path, written.size);
    return bytes && ownFile(*bytes) == written;
}

QList<InTheWay> inTheWay(const QString& dir, const QStringList& folders, const QStringList& files,
                         const OwnFiles& before) {
    QList<InTheWay> found;
    QStringList badFolders;
    for (const QString& folder : folders) {
        if (std::optional<InTheWay> bad = notAFolder(dir, folder)) {
            found.append(*bad);
            badFolders.append(folder + u'/');
        }
    }
    // Nothing is read through a folder that is not the gallery's.
    QStringList checked;
    for (const QString& name : files) {
        if (std::none_of(badFolders.begin(), badFolders.end(),
                         [&name](const QString& folder) { return name.startsWith(folder); })) {
            checked.append(name);
        }
    }
    // An earlier gallery is read again whole to tell that nobody changed it: on all cores.
    std::vector<std::optional<InTheWay>> verdicts(static_cast<std::size_t>(checked.size()));
    const qsizetype workers = std::clamp<qsizetype>(std::thread::hardware_concurrency(), 1, 8);
    std::vector<std::thread> threads;
    for (qsizetype w = 0; w < workers; ++w) {
        threads.emplace_back([&, w] {
            for (qsizetype i = w; i < checked.size(); i += workers) {
                verdicts[static_cast<std::size_t>(i)] = notOurs(dir, checked[i], before);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const std::optional<InTheWay>& verdict : verdicts) {
        if (verdict) {
            found.append(*verdict);
        }
    }
    return found;
}

OwnFiles removeStaleFiles(const QString& dir, const OwnFiles& before, const OwnFiles& written,
                          int& removed) {
    OwnFiles kept;
    for (auto file = before.cbegin(); file != before.cend(); ++file) {
        const QString path = dir + u'/' + file.key();
        if (written.contains(file.key()) || !stillAsWritten(path, file.value())) {
            continue;
        }
        if (QFile::remove(path)) {
            ++removed;
        } else {
            kept.insert(file.key(), file.value());
        }
    }
    return kept;
}

} // namespace loomara
