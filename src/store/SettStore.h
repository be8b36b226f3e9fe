#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

class QSqlDatabase;
class QSqlError;

namespace loomara {

struct SavedSett {
    qint64 id = 0;
    QString name;
    QString sett;
    QString weft;
    QDateTime savedAt;
};

// Open: reading and saving. MovedAside: the file there could not be read; it was moved aside
// (message() says where) and a new database was started, which reads and saves. NotWritable:
// what is there is read but nothing is saved: the folder or the file cannot be written, or the
// file was written by a newer version of Loomara, which this one never changes. Unavailable:
// nothing can be read or saved (message() says why); the file, if any, is left as it is.
enum class StoreState { Open, MovedAside, NotWritable, Unavailable };

// The user's own setts, in an SQLite database through Qt SQL. Every change is one transaction
// whose every step is checked, so nothing is reported saved that is not in the file. Any number
// of stores, in this program or in others, may have the same file open: a save waits for another
// one to finish instead of failing. A store belongs to the thread that made it (as a Qt SQL
// connection does); make one per thread.
class SettStore {
public:
    // $XDG_DATA_HOME/loomara/setts.sqlite, ~/.local/share/loomara/setts.sqlite by default.
    static QString defaultPath();
    explicit SettStore(const QString& path); // opens or creates; never throws
    ~SettStore();
    SettStore(const SettStore&) = delete;
    SettStore& operator=(const SettStore&) = delete;

    StoreState state() const;
    // For the user when state() != Open: where an unreadable file was moved, or why saving is off.
    QString message() const;
    bool canSave() const;
    // Newest first; names containing `filter`, ignoring case (all when empty).
    QList<SavedSett> list(const QString& filter = {}) const;
    std::optional<SavedSett> find(const QString& name) const; // exact name, ignoring case
    enum class SaveResult { Saved, NameExists, Failed };
    // The name is trimmed and must not be empty; names that differ only in case are one name.
    // replace=false refuses a name that exists (the window then asks and calls again with true);
    // replace=true leaves one sett of that name, the new one, which then comes first in list().
    SaveResult save(const QString& name, const QString& sett, const QString& weft, bool replace);
    bool remove(const QString& name);
    // Why the last list, find, save or remove failed, for the user, to follow a sentence that
    // names the sett ("Kilt" was not saved: ...); empty after a success.
    QString lastError() const;
    // Changes by any connection (another studio, or this store) since the last list(); cheap,
    // for re-reading on focus.
    bool changedSinceLastList() const;

    // The version of the file's layout this store writes; a file of a later one is only read.
    static int schemaVersion();
    // The longest name and sett (or weft), in characters, that are saved; longer rows in a file
    // are skipped when it is read.
    static constexpr int longestName = 10'000;
    static constexpr int longestSett = 1'000'000;

private:
    bool folderReady(const QString& folder);
    void open();
    std::optional<QString> openExisting(bool writable, const QString& folder);
    void readNewer(qint64 version, bool writable);
    void startNew(const QString& movedTo, const QString& why);
    bool connect(bool readOnly, QSqlError* failure);
    void disconnect();
    void refuse(StoreState state, const QString& message);
    QSqlDatabase database() const;

    QString path_;
    QString connection_;
    bool connected_ = false;
    StoreState state_ = StoreState::Unavailable;
    QString message_;
    bool writable_ = false;
    mutable QString lastError_;
    mutable qint64 listedVersion_ = -1;
    mutable bool changedHere_ = false;
};

} // namespace loomara
