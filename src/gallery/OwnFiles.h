#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <mutex>
#include <optional>
#include <variant>

namespace loomara {

// The list of files a gallery run wrote, kept in the gallery's folder, so that the next run
// replaces or removes only files a gallery made and nobody changed since: a "pictures" folder
// that was there before holds the user's own pictures too.
inline constexpr auto kOwnFilesList = ".loomara-gallery";

// A file as the gallery wrote it.
struct OwnFile {
    qint64 size = 0;
    QByteArray hash;

    bool operator==(const OwnFile&) const = default;
};

// Relative name ("cloth/wilson.png") to the file as written.
using OwnFiles = QHash<QString, OwnFile>;

// Relative name to every form of the file the list names, in the order listed: a run stopped part
// way may have listed the new form of a file beside the old, and left either on disk.
using ListedFiles = QHash<QString, QList<OwnFile>>;

// The record of bytes about to be written.
OwnFile ownFile(const QByteArray& bytes);

// The list's bytes: a first line that marks it as the gallery's, then a file a line.
QByteArray ownFilesList(const ListedFiles& files);

// What the earlier run's list names; none when there is no list. A list is read as the user's
// file it may be: anything but a plain file of the gallery's own form, a line of another form
// included, or a list too large to be one, is the reason it is not the gallery's. A last line
// without its line break was being added when a run was stopped and names nothing.
std::variant<ListedFiles, QString> writtenBefore(const QString& dir);

enum class Compared {
    AsWritten,  // a plain file (not a link) as the gallery wrote it, in one of its forms
    Changed,    // gone, replaced by something else, or of other bytes
    Unreadable, // there, but it cannot be read to tell
};

Compared compareWritten(const QString& path, const QList<OwnFile>& forms);

// A name in the gallery's folder that the run may not write over, and why.
struct InTheWay {
    QString name;
    QString reason;
};

// Which of the folders and files the run will write are not the gallery's to replace: a folder
// that is a symbolic link or not a folder, and any file there but one the earlier run listed and
// nobody changed since. Nothing is changed.
QList<InTheWay> inTheWay(const QString& dir, const QStringList& folders, const QStringList& files,
                         const ListedFiles& before);

// What the earlier run wrote and this one did not goes, as long as nobody changed it, its name
// added to `removed` in order of name; returns the files that are still there as the gallery wrote
// them, for the next list.
ListedFiles removeStaleFiles(const QString& dir, const ListedFiles& before, const OwnFiles& written,
                             QStringList& removed);

// The list as a run keeps it while it writes: first what the earlier run listed, then the lines
// of each entry's files, on disk before the first of them is written. A run stopped at any point
// leaves a list that names every file it wrote, so the next run takes them for its own.
class OwnFilesLog {
public:
    OwnFilesLog() = default;
    ~OwnFilesLog();
    OwnFilesLog(const OwnFilesLog&) = delete;
    OwnFilesLog& operator=(const OwnFilesLog&) = delete;

    // Writes the list in dir afresh, naming what `before` names; otherwise the reason it could
    // not, the list left as it was.
    std::optional<QString> start(const QString& dir, const ListedFiles& before);
    // Adds the files' lines and flushes them to disk; after a failure every later call fails, so
    // that no line is added to one cut short. Workers may call it at once.
    std::optional<QString> add(const OwnFiles& files);

private:
    std::mutex mutex_;
    int fd_ = -1;
    std::optional<QString> failure_;
};

} // namespace loomara
