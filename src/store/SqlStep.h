#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <optional>

namespace loomara {

// SQLite's primary result codes that the store tells apart.
namespace sqlite {
constexpr int busy = 5;
constexpr int locked = 6;
constexpr int readOnly = 8;
constexpr int ioError = 10;
constexpr int corrupt = 11;
constexpr int full = 13;
constexpr int cannotOpen = 14;
constexpr int notADatabase = 26;
} // namespace sqlite

// Prepares `sql`, binds `values` in order and runs it. On failure query.lastError() says why.
// Values are only ever bound, never written into the statement.
bool run(QSqlQuery& query, const QString& sql, const QVariantList& values = {});

// SQLite's primary result code of a failure (sqlite::full, ...), or -1 when it gave none.
int sqliteCode(const QSqlError& error);

// A failure of our own, with the SQLite code that stands for it.
QSqlError sqlFailure(const QString& text, int code);

// One write transaction. BEGIN IMMEDIATE takes the write lock at once, waiting (up to the busy
// timeout) while another connection writes, so that two stores never both read a name and then
// both write it. It is rolled back when it ends without a successful commit.
class WriteTransaction {
public:
    explicit WriteTransaction(const QSqlDatabase& db);
    ~WriteTransaction();
    WriteTransaction(const WriteTransaction&) = delete;
    WriteTransaction& operator=(const WriteTransaction&) = delete;
    std::optional<QSqlError> begin();
    std::optional<QSqlError> commit();

private:
    QSqlDatabase db_;
    bool open_ = false;
};

} // namespace loomara
