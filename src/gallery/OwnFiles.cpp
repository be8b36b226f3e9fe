#include "gallery/OwnFiles.h"

#include "gallery/GalleryFiles.h"
#include "io/SaveFile.h"

#include <QCryptographicHash>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace loomara {

namespace {

// Far above the list of every entry of the lists, whose lines are short.
constexpr qint64 kLargestList = 8 * 1024 * 1024;
constexpr auto kListHeading = "loomara-gallery 1";
// Fast enough to hash every file as it is written and to read a whole earlier gallery again.
constexpr auto kHash = QCryptographicHash::Blake2b_256;

// Why a file's bytes were not read.
enum class Unread {
    NotPlain,  // missing, a symbolic link, or not a plain file
    TooLarge,  // more than the bytes asked for
    CannotRead // there, but opening or reading it failed
};

// The bytes of a plain file of at most `most` bytes, opened without following a symbolic link
// and without waiting for the writer of a FIFO.
std::variant<QByteArray, Unread> plainFileBytes(const QString& path, qint64 most) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT || errno == ELOOP || errno == ENOTDIR ? Unread::NotPlain
                                                                     : Unread::CannotRead;
    }
    struct stat info {};
    std::variant<QByteArray, Unread> bytes = Unread::NotPlain;
    if (fstat(fd, &info) != 0) {
        bytes = Unread::CannotRead;
    } else if (S_ISREG(info.st_mode) && info.st_size > most) {
        bytes = Unread::TooLarge;
    } else if (S_ISREG(info.st_mode)) {
        // One byte more than allowed tells a file that grew since.
        QByteArray read(static_cast<qsizetype>(info.st_size) + 1, '\0');
        qsizetype have = 0;
        bool failed = false;
        while (have < read.size()) {
            const ssize_t n =
                ::read(fd, read.data() + have, static_cast<size_t>(read.size() - have));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            failed = n < 0;
            if (n <= 0) {
                break;
            }
            have += n;
        }
        read.truncate(have);
        bytes = failed        ? std::variant<QByteArray, Unread>(Unread::CannotRead)
                : have > most ? std::variant<QByteArray, Unread>(Unread::TooLarge)
                              : std::variant<QByteArray, Unread>(std::move(read));
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

std::optional<InTheWay> notOurs(const QString& dir, const QString& name,
                                const ListedFiles& before) {
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
    switch (compareWritten(path, *listed)) {
    case Compared::AsWritten:
        return std::nullopt;
    case Compared::Changed:
        return InTheWay{name, QStringLiteral("was changed since the gallery wrote it")};
    case Compared::Unreadable:
        break;
    }
    return InTheWay{name, QStringLiteral("cannot be read, so the gallery cannot tell that it is "
                                         "the file it wrote")};
}

QByteArray lineOf(const QString& name, const OwnFile& file) {
    return QByteArray::number(file.size) + ' ' + file.hash.toHex() + ' ' + name.toUtf8() + '\n';
}

// A line of the list: "SIZE HASH NAME", the size in decimal digits, the hash in lower-case hex
// and the name one the gallery writes.
std::optional<std::pair<QString, OwnFile>> listLine(const QByteArray& line) {
    const QList<QByteArray> fields = line.split(' ');
    const qsizetype hashLength = QCryptographicHash::hashLength(kHash) * 2;
    if (fields.size() != 3 || fields[0].isEmpty() || fields[0].size() > 15 ||
        fields[1].size() != hashLength) {
        return std::nullopt;
    }
    const bool digits = std::all_of(fields[0].begin(), fields[0].end(),
                                    [](char c) { return c >= '0' && c <= '9'; });
    const bool hex = std::all_of(fields[1].begin(), fields[1].end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
    });
    const QString name = QString::fromUtf8(fields[2]);
    if (!digits || !hex || !galleryFileName(name)) {
        return std::nullopt;
    }
    return std::pair{name, OwnFile{fields[0].toLongLong(), QByteArray::fromHex(fields[1])}};
}

} // namespace

OwnFile ownFile(const QByteArray& bytes) {
    return {bytes.size(), QCryptographicHash::hash(bytes, kHash)};
}

QByteArray ownFilesList(const ListedFiles& files) {
    QStringList names = files.keys();
    names.sort();
    QByteArray list = QByteArray(kListHeading) + '\n';
    for (const QString& name : names) {
        for (const OwnFile& file : files[name]) {
            list += lineOf(name, file);
        }
    }
    return list;
}

std::variant<ListedFiles, QString> writtenBefore(const QString& dir) {
    const QString path = dir + u'/' + QLatin1StringView(kOwnFilesList);
    struct stat info {};
    if (lstat(QFile::encodeName(path).constData(), &info) != 0) {
        return ListedFiles{};
    }
    if (S_ISLNK(info.st_mode)) {
        return QStringLiteral("is a symbolic link");
    }
    if (!S_ISREG(info.st_mode)) {
        return QStringLiteral("is not a plain file");
    }
    const std::variant<QByteArray, Unread> bytes = plainFileBytes(path, kLargestList);
    if (!std::holds_alternative<QByteArray>(bytes)) {
        return QStringLiteral("cannot be read as the gallery's list of its files");
    }
    QList<QByteArray> lines = std::get<QByteArray>(bytes).split('\n');
    // After the last line break split() finds nothing, or the line a stopped run was adding.
    if (lines.size() > 1) {
        lines.removeLast();
    }
    if (lines.constFirst() != kListHeading) {
        return QStringLiteral("is not a list the gallery wrote");
    }
    ListedFiles files;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const std::optional<std::pair<QString, OwnFile>> line = listLine(lines[i]);
        if (!line) {
            // Anything the gallery did not write is a list the gallery did not write.
            return QStringLiteral("is not a list the gallery wrote: line %1 is not one of its "
                                  "lines")
                .arg(i + 1);
        }
        QList<OwnFile>& forms = files[line->first];
        if (!forms.contains(line->second)) {
            forms.append(line->second);
        }
    }
    return files;
}

Compared compareWritten(const QString& path, const QList<OwnFile>& forms) {
    qint64 most = 0;
    for (const OwnFile& form : forms) {
        most = std::max(most, form.size);
    }
    const std::variant<QByteArray, Unread> bytes = plainFileBytes(path, most);
    if (const Unread* unread = std::get_if<Unread>(&bytes)) {
        return *unread == Unread::CannotRead ? Compared::Unreadable : Compared::Changed;
    }
    return forms.contains(ownFile(std::get<QByteArray>(bytes))) ? Compared::AsWritten
                                                                : Compared::Changed;
}

QList<InTheWay> inTheWay(const QString& dir, const QStringList& folders, const QStringList& files,
                         const ListedFiles& before) {
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

ListedFiles removeStaleFiles(const QString& dir, const ListedFiles& before, const OwnFiles& written,
                             QStringList& removed) {
    ListedFiles kept;
    // In order of name, as the user is told of them.
    QStringList names = before.keys();
    names.sort();
    for (const QString& name : names) {
        const QString path = dir + u'/' + name;
        if (written.contains(name) || compareWritten(path, before[name]) != Compared::AsWritten) {
            continue;
        }
        if (QFile::remove(path)) {
            removed.append(name);
        } else {
            kept.insert(name, before[name]);
        }
    }
    return kept;
}

OwnFilesLog::~OwnFilesLog() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::optional<QString> OwnFilesLog::start(const QString& dir, const ListedFiles& before) {
    const QString path = dir + u'/' + QLatin1StringView(kOwnFilesList);
    if (std::optional<QString> refusal =
            saveFile(ownFilesList(before), path, QStringLiteral("list"))) {
        return refusal;
    }
    fd_ = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0) {
        return QStringLiteral("it could not be opened to add lines to (%1)")
            .arg(qt_error_string(errno));
    }
    return std::nullopt;
}

std::optional<QString> OwnFilesLog::add(const OwnFiles& files) {
    QByteArray lines;
    for (auto file = files.cbegin(); file != files.cend(); ++file) {
        lines += lineOf(file.key(), file.value());
    }
    {
        const std::lock_guard lock(mutex_);
        qsizetype have = 0;
        while (!failure_ && have < lines.size()) {
            const ssize_t n =
                ::write(fd_, lines.constData() + have, static_cast<size_t>(lines.size() - have));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                failure_ = QStringLiteral("a line could not be added (%1)")
                               .arg(qt_error_string(n < 0 ? errno : ENOSPC));
            } else {
                have += n;
            }
        }
        if (failure_) {
            return failure_;
        }
    }
    // The lines are on disk before any file they name.
    if (fdatasync(fd_) != 0 && errno != EINVAL) {
        const std::lock_guard lock(mutex_);
        failure_ = QStringLiteral("its lines could not be flushed to disk (%1)")
                       .arg(qt_error_string(errno));
        return failure_;
    }
    return std::nullopt;
}

} // namespace loomara
