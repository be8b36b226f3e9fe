#include "store/SettSchema.h"

#include "store/SqlStep.h"

#include <QSet>
#include <QSqlQuery>

#include <array>

namespace loomara {

namespace {

// The rows are numbered in the order they were saved, so the newest has the largest id; a
// replaced sett is saved anew. name_key is the name as compared (see SettStore.cpp), unique.
std::optional<QSqlError> createVersion1(const QSqlDatabase& db) {
    QSqlQuery query(db);
    if (!run(query, QStringLiteral("CREATE TABLE setts ("
                                   "id INTEGER PRIMARY KEY, "
                                   "name TEXT NOT NULL, "
                                   "name_key TEXT NOT NULL UNIQUE, "
                                   "sett TEXT NOT NULL, "
                                   "weft TEXT NOT NULL, "
                                   "saved_at INTEGER NOT NULL)"))) {
        return query.lastError();
    }
    return std::nullopt;
}

using Upgrade = std::optional<QSqlError> (*)(const QSqlDatabase&);

// upgrades[v] takes a file from version v to v + 1. The next version is one more function here
// and settSchemaVersion raised by one.
constexpr std::array<Upgrade, settSchemaVersion> upgrades{createVersion1};

} // namespace

std::optional<QSqlError> upgradeSettSchema(const QSqlDatabase& db) {
    WriteTransaction transaction(db);
    if (auto failed = transaction.begin()) {
        return failed;
    }
    QSqlQuery query(db);
    if (!run(query, QStringLiteral("PRAGMA user_version")) || !query.next()) {
        return query.lastError();
    }
    const qint64 version = query.value(0).toLongLong();
    query.finish();
    if (version == settSchemaVersion) {
        return std::nullopt;
    }
    if (version < 0 || version > settSchemaVersion) {
        return sqlFailure(
            QStringLiteral("the file's layout changed to version %1 while it was opened")
                .arg(version),
            sqlite::readOnly);
    }
    for (qint64 step = version; step < settSchemaVersion; ++step) {
        if (auto failed = upgrades[static_cast<std::size_t>(step)](db)) {
            return failed;
        }
    }
    // A pragma takes no bound value; the number is this program's own constant.
    if (!run(query, QStringLiteral("PRAGMA user_version = %1").arg(settSchemaVersion))) {
        return query.lastError();
    }
    return transaction.commit();
}

std::optional<QString> settSchemaProblem(const QSqlDatabase& db) {
    QSqlQuery query(db);
    if (!run(query, QStringLiteral("SELECT type, name FROM sqlite_master"))) {
        return query.lastError().databaseText();
    }
    bool table = false;
    while (query.next()) {
        const QString type = query.value(0).toString();
        if (type == QLatin1String("trigger")) {
            return QStringLiteral("it holds a trigger, which this version never makes");
        }
        table = table || (type == QLatin1String("table") && query.value(1).toString() == "setts");
    }
    if (!table) {
        return QStringLiteral("it has no table of setts");
    }
    if (!run(query, QStringLiteral("SELECT name FROM pragma_table_info('setts')"))) {
        return query.lastError().databaseText();
    }
    QSet<QString> columns;
    while (query.next()) {
        columns.insert(query.value(0).toString());
    }
    const QSet<QString> ours{"id", "name", "name_key", "sett", "weft", "saved_at"};
    if (columns != ours) {
        return QStringLiteral("its table of setts has other columns than this version makes");
    }
    return std::nullopt;
}

} // namespace loomara
