#pragma once

#include "store/SettStore.h"

#include <QList>
#include <QString>

namespace loomara {

// The user's own setts as the studio uses them. The studio keeps them in the database
// (StoreShelf); tests put a shelf of their own in its place to play the database's failures.
class SettShelf {
public:
    SettShelf() = default;
    SettShelf(const SettShelf&) = delete;
    SettShelf& operator=(const SettShelf&) = delete;
    virtual ~SettShelf() = default;

    virtual StoreState state() const = 0;
    virtual QString message() const = 0;
    virtual bool canSave() const = 0;
    virtual QList<SavedSett> list(const QString& filter) const = 0;
    virtual SettStore::SaveResult save(const QString& name, const QString& sett,
                                       const QString& weft, bool replace) = 0;
    virtual bool remove(const QString& name) = 0;
    virtual QString lastError() const = 0;
    virtual bool changedSinceLastList() const = 0;
};

// The shelf on the database at `path`.
class StoreShelf final : public SettShelf {
public:
    explicit StoreShelf(const QString& path) : store_(path) {}

    StoreState state() const override { return store_.state(); }
    QString message() const override { return store_.message(); }
    bool canSave() const override { return store_.canSave(); }
    QList<SavedSett> list(const QString& filter) const override { return store_.list(filter); }
    SettStore::SaveResult save(const QString& name, const QString& sett, const QString& weft,
                               bool replace) override {
        return store_.save(name, sett, weft, replace);
    }
    bool remove(const QString& name) override { return store_.remove(name); }
    QString lastError() const override { return store_.lastError(); }
    bool changedSinceLastList() const override { return store_.changedSinceLastList(); }

private:
    SettStore store_;
};

} // namespace loomara
