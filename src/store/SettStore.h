#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace loomara {

struct SavedSett {
    qint64 id = 0;
    QString name;
    QString sett;
    QString weft;
    QDateTime savedAt;
};

enum class StoreState { Open, MovedAside, NotWritable, Unavailable };

// The user's own setts. A stand-in that keeps them in memory for the run, until the database
// of its own room replaces it with the same interface.
class SettStore {
public:
    // $XDG_DATA_HOME/loomara/setts.sqlite, ~/.local/share/loomara/setts.sqlite by default.
    static QString defaultPath();
    explicit SettStore(const QString& path);
    ~SettStore();
    StoreState state() const;
    QString message() const;
    bool canSave() const;
    // Newest first; names containing `filter`, ignoring case (all when empty).
    QList<SavedSett> list(const QString& filter = {}) const;
    std::optional<SavedSett> find(const QString& name) const;
    enum class SaveResult { Saved, NameExists, Failed };
    SaveResult save(const QString& name, const QString& sett, const QString& weft, bool replace);
    bool remove(const QString& name);
    QString lastError() const;
    bool changedSinceLastList() const;

private:
    QList<SavedSett> setts_; // oldest first
    qint64 nextId_ = 1;
    mutable bool changed_ = false;
};

} // namespace loomara
