#pragma once

#include "store/SettStore.h"

#include <QDirIterator>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

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

// Root passes every permission check. For the cases a user meets, this thread gives that up
// (CAP_DAC_OVERRIDE and CAP_DAC_READ_SEARCH leave its effective set) until the end of the scope;
// the store runs its SQLite connection on the thread that made it.
class AsOrdinaryUser {
public:
    AsOrdinaryUser() {
        if (geteuid() != 0) {
            return;
        }
        if (syscall(SYS_capget, &header_, data_) != 0) {
            ok_ = false;
            return;
        }
        saved_ = data_[0].effective;
        data_[0].effective &= ~((1U << CAP_DAC_OVERRIDE) | (1U << CAP_DAC_READ_SEARCH));
        ok_ = syscall(SYS_capset, &header_, data_) == 0;
        dropped_ = ok_;
    }
    ~AsOrdinaryUser() {
        if (dropped_) {
            data_[0].effective = saved_;
            syscall(SYS_capset, &header_, data_);
        }
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;
    bool ok() const { return ok_; }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data_[2]{};
    quint32 saved_ = 0;
    bool ok_ = true;
    bool dropped_ = false;
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
