#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <optional>

namespace loomara {

// The layout of the setts file has a version, kept in SQLite's user_version. 0 is a file that
// holds nothing yet; a file of a later version than this one is read and never changed.
constexpr int settSchemaVersion = 1;

// In a transaction of its own, brings the file from the version it has when the transaction
// begins (another store may have upgraded it since it was looked at) to settSchemaVersion. Every
// step is checked; on any failure the file is left as it was.
std::optional<QSqlError> upgradeSettSchema(const QSqlDatabase& db);

// Why a file that claims settSchemaVersion is not one of ours, or nothing when it is: the table
// must be there with exactly its columns, and nothing may run on a write of its own (a trigger),
// so that a save does what it says and no more.
std::optional<QString> settSchemaProblem(const QSqlDatabase& db);

} // namespace loomara
