// What the store does with whatever it finds at its name: every file it cannot read is moved
// aside whole and a new one started; what it may not change is read and left as it is.
#include "StoreTestSupport.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QRandomGenerator>

#include <optional>

#include <sys/stat.h>

namespace loomara::test {
namespace {

// The entry at `path` as it is, without opening a FIFO: a link by where it leads, a folder by
// what it holds, a file by its bytes.
QString fingerprint(const QString& path) {
    const QFileInfo entry(path);
    if (entry.isSymLink()) {
        return "link to " + entry.symLinkTarget();
    }
    struct stat status {};
    if (lstat(QFile::encodeName(path).constData(), &status) != 0) {
        return "nothing";
    }
    if (S_ISFIFO(status.st_mode)) {
        return "fifo";
    }
    if (S_ISDIR(status.st_mode)) {
        return "folder of " +
               QDir(path).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).join(',');
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "unreadable";
    }
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray garbage() {
    QByteArray bytes(5000, '\0');
    QRandomGenerator generator(27);
    for (char& byte : bytes) {
        byte = static_cast<char>(generator.bounded(256));
    }
    return bytes;
}

QString todaysAside(const QString& path) {
    return path + ".unreadable-" + QDate::currentDate().toString(Qt::ISODate);
}

void chmodOrFail(const QString& path, mode_t mode) {
    ASSERT_EQ(chmod(QFile::encodeName(path).constData(), mode), 0);
}

struct FailureCase {
    const char* name;
    // Lays out what the store finds at `path` in `folder`; returns the name the store is given.
    QString (*prepare)(const QString& folder, const QString& path);
    StoreState state;
    int listed;          // setts that list() reads
    bool asOrdinaryUser; // permissions are checked as for anyone but root
};

const FailureCase failureCases[] = {
    {"GarbageBytes",
     [](const QString&, const QString& path) {
         writeBytes(path, garbage());
         return path;
     },
     StoreState::MovedAside, 0, false},
    {"TruncatedDatabase",
     [](const QString&, const QString& path) {
         makeDatabase(path, 60, 200);
         QFile file(path);
         EXPECT_TRUE(file.resize(file.size() / 2));
         return path;
     },
     StoreState::MovedAside, 0, false},
    {"EmptyFileIsANewDatabase",
     [](const QString&, const QString& path) {
         writeBytes(path, {});
         return path;
     },
     StoreState::Open, 0, false},
    {"NewerVersionIsReadNotChanged",
     [](const QString&, const QString& path) {
         makeDatabase(path, 2);
         runOn(path, {"PRAGMA user_version = 99"});
         return path;
     },
     StoreState::NotWritable, 2, false},
    {"DatabaseOfAnotherProgram",
     [](const QString&, const QString& path) {
         runOn(path, {"CREATE TABLE photos (id INTEGER, data BLOB)"});
         return path;
     },
     StoreState::MovedAside, 0, false},
    {"TriggerAddedToOurs",
     [](const QString&, const QString& path) {
         makeDatabase(path, 2);
         runOn(path, {"CREATE TRIGGER wipe AFTER INSERT ON setts BEGIN DELETE FROM setts; END"});
         return path;
     },
     StoreState::MovedAside, 0, false},
    {"FolderInItsPlace",
     [](const QString&, const QString& path) {
         EXPECT_TRUE(QDir().mkpath(path + "/kept"));
         return path;
     },
     StoreState::MovedAside, 0, false},
    {"FifoInItsPlace",
     [](const QString&, const QString& path) {
         EXPECT_EQ(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
         return path;
     },
     StoreState::MovedAside, 0, false},
    {"LinkToNowhere",
     [](const QString& folder, const QString& path) {
         EXPECT_TRUE(QFile::link(folder + "/missing.sqlite", path));
         return path;
     },
     StoreState::MovedAside, 0, false},
    {"LinkToOurDatabase",
     [](const QString& folder, const QString& path) {
         // Outside the folder: saving through the link changes it.
         makeDatabase(folder + "/../elsewhere.sqlite", 2);
         EXPECT_TRUE(QFile::link(folder + "/../elsewhere.sqlite", path));
         return path;
     },
     StoreState::Open, 2, false},
    {"StaleJournalGoesWithIt",
     [](const QString&, const QString& path) {
         writeBytes(path, garbage());
         writeBytes(path + "-journal", garbage().left(512));
         return path;
     },
     StoreState::MovedAside, 0, false},
    {"AsideNameTaken",
     [](const QString&, const QString& path) {
         writeBytes(path, garbage());
         writeBytes(todaysAside(path), "taken");
         return path;
     },
     StoreState::MovedAside, 0, false},
    {"UnreadableFile",
     [](const QString&, const QString& path) {
         makeDatabase(path, 2);
         chmodOrFail(path, 0);
         return path;
     },
     StoreState::MovedAside, 0, true},
    {"ReadOnlyFile",
     [](const QString&, const QString& path) {
         makeDatabase(path, 2);
         chmodOrFail(path, 0444);
         return path;
     },
     StoreState::NotWritable, 2, true},
    {"ReadOnlyFolder",
     [](const QString& folder, const QString& path) {
         makeDatabase(path, 3);
         chmodOrFail(folder, 0555);
         return path;
     },
     StoreState::NotWritable, 3, true},
    {"ReadOnlyFolderWithoutAFile",
     [](const QString& folder, const QString& path) {
         chmodOrFail(folder, 0555);
         return path;
     },
     StoreState::NotWritable, 0, true},
    {"FolderUnderAFile",
     [](const QString& folder, const QString&) {
         writeBytes(folder + "/plain", "a file, not a folder");
         return folder + "/plain/loomara/setts.sqlite";
     },
     StoreState::NotWritable, 0, false},
    {"FolderThatCannotBeSearched",
     [](const QString& folder, const QString& path) {
         makeDatabase(path, 2);
         chmodOrFail(folder, 0200);
         return path;
     },
     StoreState::Unavailable, 0, true},
};

class StoreFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(StoreFailure, NothingFoundIsLostAndSavingIsOfferedOnlyWhereItWorks) {
    const FailureCase& row = GetParam();
    StoreFolder temporary;
    const QString folder = temporary.path("data");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = row.prepare(folder, folder + "/setts.sqlite");
    ASSERT_FALSE(HasFailure());
    const QString found = fingerprint(path);
    const QString foundJournal = fingerprint(path + "-journal");
    QMap<QString, QString> others;
    for (const QString& name :
         QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)) {
        if (!name.startsWith("setts.sqlite") || name.contains(".unreadable-")) {
            others[name] = fingerprint(folder + "/" + name);
        }
    }

    QString message;
    {
        std::optional<AsOrdinaryUser> user;
        if (row.asOrdinaryUser && !user.emplace().ok()) {
            GTEST_SKIP() << "this thread cannot give up root's permissions";
        }
        SettStore store(path);
        message = store.message();
        ASSERT_EQ(store.state(), row.state) << message.toStdString();
        EXPECT_EQ(message.isEmpty(), row.state == StoreState::Open) << message.toStdString();
        const bool saves = row.state == StoreState::Open || row.state == StoreState::MovedAside;
        EXPECT_EQ(store.canSave(), saves);
        EXPECT_EQ(store.list().size(), row.listed) << store.lastError().toStdString();

        const auto saved = store.save("Added", "K4 R24", {}, false);
        EXPECT_EQ(saved == SettStore::SaveResult::Saved, saves) << store.lastError().toStdString();
        EXPECT_EQ(store.lastError().isEmpty(), saves);
        EXPECT_EQ(store.list().size(), row.listed + (saves ? 1 : 0));
    }
    for (auto other = others.cbegin(); other != others.cend(); ++other) {
        EXPECT_EQ(fingerprint(folder + "/" + other.key()), other.value())
            << other.key().toStdString();
    }
    if (row.state == StoreState::Open) {
        return;
    }
    if (row.state != StoreState::MovedAside) {
        EXPECT_EQ(fingerprint(path), found) << "changed in place";
        return;
    }
    // Moved whole, with its journal, under a new name that the message gives.
    QStringList added =
        QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    for (auto other = others.cbegin(); other != others.cend(); ++other) {
        added.removeOne(other.key());
    }
    added.removeOne("setts.sqlite");
    added.removeOne(added.value(0) + "-journal");
    ASSERT_EQ(added.size(), 1) << added.join(' ').toStdString();
    const QString aside = folder + "/" + added.value(0);
    EXPECT_TRUE(aside.startsWith(todaysAside(path))) << aside.toStdString();
    EXPECT_TRUE(message.contains(aside)) << message.toStdString();
    EXPECT_EQ(fingerprint(aside), found);
    EXPECT_EQ(fingerprint(aside + "-journal"), foundJournal);
    EXPECT_EQ(fingerprint(path + "-journal"), "nothing");
}

INSTANTIATE_TEST_SUITE_P(Found, StoreFailure, ::testing::ValuesIn(failureCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace loomara::test
