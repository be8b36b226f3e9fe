#include "store/SettStore.h"

#include <QDir>
#include <QStandardPaths>

#include <algorithm>

namespace loomara {

QString SettStore::defaultPath() {
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty()) {
        data = QDir::home().filePath(QStringLiteral(".local/share"));
    }
    return QDir(data).filePath(QStringLiteral("loomara/setts.sqlite"));
}

SettStore::SettStore(const QString&) {}

SettStore::~SettStore() = default;

StoreState SettStore::state() const {
    return StoreState::Open;
}

QString SettStore::message() const {
    return {};
}

bool SettStore::canSave() const {
    return true;
}

QList<SavedSett> SettStore::list(const QString& filter) const {
    changed_ = false;
    QList<SavedSett> found;
    for (auto it = setts_.crbegin(); it != setts_.crend(); ++it) {
        if (it->name.contains(filter, Qt::CaseInsensitive)) {
            found.append(*it);
        }
    }
    return found;
}

std::optional<SavedSett> SettStore::find(const QString& name) const {
    for (const SavedSett& saved : setts_) {
        if (saved.name.compare(name, Qt::CaseInsensitive) == 0) {
            return saved;
        }
    }
    return std::nullopt;
}

SettStore::SaveResult SettStore::save(const QString& name, const QString& sett,
                                      const QString& weft, bool replace) {
    if (find(name)) {
        if (!replace) {
            return SaveResult::NameExists;
        }
        remove(name);
    }
    setts_.append({nextId_++, name, sett, weft, QDateTime::currentDateTimeUtc()});
    changed_ = true;
    return SaveResult::Saved;
}

bool SettStore::remove(const QString& name) {
    const auto removed = setts_.removeIf(
        [&](const SavedSett& saved) { return saved.name.compare(name, Qt::CaseInsensitive) == 0; });
    changed_ = changed_ || removed > 0;
    return removed > 0;
}

QString SettStore::lastError() const {
    return {};
}

bool SettStore::changedSinceLastList() const {
    return changed_;
}

} // namespace loomara
