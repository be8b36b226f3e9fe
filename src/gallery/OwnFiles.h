#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

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

// The record of bytes about to be written.
OwnFile ownFile(const QByteArray& bytes);

// The list's bytes: a first line that marks it as the gallery's, then a file a line.
QByteArray ownFilesList(const OwnFiles& files);

// What the earlier run's list names; none when there is no list. A list is read as the user's
// file it may be: anything but a plain file of the gallery's own form, a line of another form
// included, or a list too large to be one, is the reason it is not the gallery's.
std::variant<OwnFiles, QString> writtenBefore(const QString& dir);

enum class Compared {
    AsWritten,  // a plain file (not a link) as the gallery wrote it
    Changed,    // gone, replaced by something else, or of other bytes
    Unreadable, // there, but it cannot be read to tell
};

Compared compareWritten(const QString& path, const OwnFile& written);

// A name in the gallery's folder that the run may not write over, and why.
struct InTheWay {
    QString name;
    QString reason;
};

// Which of the folders and files the run will write are not the gallery's to replace: a folder
// that is a symbolic link or not a folder, and any file there but one the earlier run listed and
// nobody changed since. Nothing is changed.
QList<InTheWay> inTheWay(const QString& dir, const QStringList& folders, const QStringList& files,
                         const OwnFiles& before);

// What the earlier run wrote and this one did not goes, as long as nobody changed it; returns
// the files that are still there as the gallery wrote them, for the next list.
OwnFiles removeStaleFiles(const QString& dir, const OwnFiles& before, const OwnFiles& written,
                          int& removed);

} // namespace loomara
