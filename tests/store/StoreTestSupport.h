#pragma once

#include "store/SettStore.h"
#include "support/AsOrdinaryUser.h"

#include <QDirIterator>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace loomara::test {

// A folder of its own for each test. Whatever a test took away is given back before it is
// removed.
struct StoreFolder {
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    ~StoreFolder() {
        const auto all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        QFile::setPermissions(dir.path(), all);
        QDirIterator entries(dir.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System,
                             QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            QFile::setPermissions(entries.next(), all);
        }
    }
};

// A database of ours holding `count` setts, named "Sett 1" and on.
inline void makeDatabase(const QString& path, int count, int settLength = 20) {
    SettStore store(path);
    ASSERT_EQ(store.state(), StoreState::Open) << store.message().toStdString();
    for (int i = 1; i <= count; ++i) {
        ASSERT_EQ(store.save(QStringLiteral("Sett %1").arg(i), QString(settLength, QChar('K')), {},
                             false),
                  SettStore::SaveResult::Saved);
    }
}

// Runs statements on the file directly, as another program would.
inline void runOn(const QString& path, const QStringList& statements) {
    const QString name = QStringLiteral("test-direct");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        for (const QString& statement : statements) {
            ASSERT_TRUE(query.exec(statement)) << query.lastError().text().toStdString();
        }
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace loomara::test
