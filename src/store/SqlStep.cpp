#include "store/SqlStep.h"

namespace loomara {

bool run(QSqlQuery& query, const QString& sql, const QVariantList& values) {
    query.setForwardOnly(true);
    if (!query.prepare(sql)) {
        return false;
    }
    for (const QVariant& value : values) {
        query.addBindValue(value);
    }
    return query.exec();
}

int sqliteCode(const QSqlError& error) {
    bool number = false;
    const int code = error.nativeErrorCode().toInt(&number);
    // Extended codes carry the primary one in their low byte.
    return number ? code & 0xff : -1;
}

QSqlError sqlFailure(const QString& text, int code) {
    return QSqlError(QString(), text, QSqlError::TransactionError, QString::number(code));
}

WriteTransaction::WriteTransaction(const QSqlDatabase& db) : db_(db) {}

WriteTransaction::~WriteTransaction() {
    if (open_) {
        // After a failed COMMIT SQLite may already have rolled back; then this one fails,
        // harmlessly.
        QSqlQuery rollback(db_);
        rollback.exec(QStringLiteral("ROLLBACK"));
    }
}

std::optional<QSqlError> WriteTransaction::begin() {
    QSqlQuery query(db_);
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        return query.lastError();
    }
    open_ = true;
    return std::nullopt;
}

std::optional<QSqlError> WriteTransaction::commit() {
    QSqlQuery query(db_);
    if (!query.exec(QStringLiteral("COMMIT"))) {
        return query.lastError();
    }
    open_ = false;
    return std::nullopt;
}

} // namespace loomara
