#pragma once

#include <QDate>
#include <QString>

namespace loomara {

// What is found at the database's name, looked at without opening it: opening a FIFO would wait
// for its other end.
struct FoundFile {
    enum class Kind {
        Nothing,     // nothing there yet
        Regular,     // a regular file we may read, or a symbolic link to one
        InTheWay,    // a folder, FIFO, socket or device, or a link that leads nowhere
        Unreadable,  // a regular file we may not read
        NotDatabase, // a regular file that does not start as every SQLite database does
        Unreachable  // the folder itself cannot be searched
    };
    Kind kind = Kind::Nothing;
    QString why; // for the user, when it is not Nothing or Regular
    // The entry itself (a link, not what it leads to), so that it is moved only while it is
    // still the one found.
    quint64 device = 0;
    quint64 inode = 0;
};
FoundFile lookAt(const QString& path);

// Whether a file can be created in the folder, or the regular file opened for writing: asked of
// the system itself, so that a read-only mount or a missing permission answers no. Neither
// changes anything that is there.
bool canWriteFolder(const QString& folder);
bool canWriteFile(const QString& path);

// Moves what was found at `path` out of the way, never deleting, copying or opening it: the
// entry itself is renamed (a link stays a link, a folder keeps what it holds) to
// PATH.unreadable-DAY, or PATH.unreadable-DAY-2 and so on when that is taken. SQLite's journal
// files beside it go with it under the new name, so that a stale journal is never rolled into
// a new database, and the moved file opens with its own.
struct MovedAside {
    enum class Outcome { Moved, Changed, Failed };
    Outcome outcome = Outcome::Failed;
    QString to;      // when Moved
    QString problem; // when Failed, for the user
};
// Changed: something else is at `path` now (another program replaced it); nothing was moved.
MovedAside moveAside(const QString& path, const FoundFile& found, const QDate& day);

} // namespace loomara
