#pragma once

#include "studio/SettShelf.h"
#include "studio/StudioPrompts.h"

#include <QStringList>

#include <deque>

namespace loomara::testing {

// A shelf in memory that plays the store in any state, and can be told to fail its writes.
class FakeShelf final : public SettShelf {
public:
    StoreState storeState = StoreState::Open;
    QString storeMessage;
    bool failWrites = false;
    mutable bool changed = false;
    QList<SavedSett> setts; // newest first
    int saves = 0;

    StoreState state() const override { return storeState; }
    QString message() const override { return storeMessage; }
    bool canSave() const override {
        return storeState == StoreState::Open || storeState == StoreState::MovedAside;
    }
    QList<SavedSett> list(const QString& filter) const override {
        changed = false;
        QList<SavedSett> found;
        for (const SavedSett& saved : setts) {
            if (saved.name.contains(filter, Qt::CaseInsensitive)) {
                found.append(saved);
            }
        }
        return found;
    }
    SettStore::SaveResult save(const QString& name, const QString& sett, const QString& weft,
                               bool replace) override {
        ++saves;
        const bool exists = std::any_of(setts.begin(), setts.end(), [&](const SavedSett& s) {
            return s.name.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (exists && !replace) {
            return SettStore::SaveResult::NameExists;
        }
        if (failWrites) {
            return SettStore::SaveResult::Failed;
        }
        remove(name);
        setts.prepend({saves, name, sett, weft, QDateTime::currentDateTimeUtc()});
        changed = true;
        return SettStore::SaveResult::Saved;
    }
    bool remove(const QString& name) override {
        if (failWrites) {
            return false;
        }
        const auto removed = setts.removeIf(
            [&](const SavedSett& s) { return s.name.compare(name, Qt::CaseInsensitive) == 0; });
        changed = changed || removed > 0;
        return removed > 0;
    }
    QString lastError() const override { return QStringLiteral("the disk is full"); }
    bool changedSinceLastList() const override { return changed; }
};

// Answers the studio's questions from a script and keeps what it was told and asked.
class ScriptedPrompts final : public StudioPrompts {
public:
    std::deque<std::optional<QString>> names;
    std::deque<bool> answers;
    QStringList told;
    QStringList asked;

    std::optional<QString> askName(const QString& question, const QString&) override {
        asked.append(question);
        if (names.empty()) {
            return std::nullopt;
        }
        std::optional<QString> name = names.front();
        names.pop_front();
        return name;
    }
    bool confirm(const QString& question) override {
        asked.append(question);
        if (answers.empty()) {
            return false;
        }
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void tell(const QString& message) override { told.append(message); }
    std::optional<QString> pickColour(const QString& question, const QString&) override {
        return askName(question, QString());
    }
};

} // namespace loomara::testing
