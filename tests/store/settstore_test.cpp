// Saving, reading and removing the user's setts, alone and with a second studio on the file.
#include "StoreTestSupport.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>

#include <thread>

namespace loomara::test {
namespace {

using SaveResult = SettStore::SaveResult;

// The same name as the user may type it again: every letter's case turned over.
QString caseTurned(const QString& text) {
    QString turned = text;
    for (QChar& c : turned) {
        c = c.isLower() ? c.toUpper() : c.toLower();
    }
    return turned;
}

// Letters of several scripts, an accent typed apart, quotes, SQL's wildcards and an emoji.
QString randomText(QRandomGenerator& random, int length) {
    static const QString pieces[] = {"a", "Z", "é",    "É", "e\u0301", "ß", "Ø",
                                     "ω", "Σ", "日本", "'", "\"",      "`", "\\",
                                     "%", "_", ";",    " ", "\n",      "😀", "--"};
    QString text;
    while (text.size() < length) {
        text += pieces[random.bounded(int(std::size(pieces)))];
    }
    return text;
}

// Names as the store compares them: letters in either case and accents typed apart are alike.
QString folded(const QString& text) {
    return text.normalized(QString::NormalizationForm_C).toCaseFolded();
}

struct Saved {
    QString name;
    QString sett;
    QString weft;
};

TEST(SettStore, RandomSettsRoundTripNewestFirstAndReplaceOrRemoveIgnoringCase) {
    StoreFolder folder;
    const QString path = folder.path("setts.sqlite");
    QRandomGenerator random(2027);
    QList<Saved> saved; // newest first
    QSet<QString> taken;
    {
        SettStore store(path);
        ASSERT_EQ(store.state(), StoreState::Open) << store.message().toStdString();
        for (int i = 0; i < 60; ++i) {
            const int length = i % 20 == 0 ? SettStore::longestName : 1 + int(random.bounded(40));
            QString name = randomText(random, length).left(length);
            if (name.back().isHighSurrogate()) {
                name.chop(1);
            }
            name = name.trimmed();
            const QString key = folded(name);
            if (name.isEmpty() || taken.contains(key)) {
                continue;
            }
            taken.insert(key);
            const Saved sett{name, randomText(random, i == 7 ? 200'000 : 30),
                             i % 3 == 0 ? QString() : randomText(random, 12)};
            ASSERT_EQ(store.save(name, sett.sett, sett.weft, false), SaveResult::Saved)
                << store.lastError().toStdString();
            saved.prepend(sett);
        }
        EXPECT_TRUE(store.changedSinceLastList());
    }

    SettStore store(path); // read back by a store that did not write them
    const QList<SavedSett> listed = store.list();
    ASSERT_EQ(listed.size(), saved.size());
    for (int i = 0; i < saved.size(); ++i) {
        EXPECT_EQ(listed[i].name, saved[i].name) << i;
        EXPECT_EQ(listed[i].sett, saved[i].sett) << i;
        EXPECT_EQ(listed[i].weft, saved[i].weft.isNull() ? "" : saved[i].weft) << i;
        EXPECT_TRUE(i == 0 || listed[i].savedAt <= listed[i - 1].savedAt) << i;
        const std::optional<SavedSett> found = store.find(caseTurned(saved[i].name) + "  ");
        ASSERT_TRUE(found) << i;
        EXPECT_EQ(found->id, listed[i].id);
        // A piece of the name, in the other case, finds it among the names that hold it.
        const QString piece = caseTurned(folded(saved[i].name).mid(saved[i].name.size() / 3, 3));
        if (std::any_of(piece.begin(), piece.end(), [](QChar c) { return c.isSurrogate(); })) {
            continue;
        }
        const QList<SavedSett> matching = store.list(piece);
        EXPECT_TRUE(std::any_of(matching.begin(), matching.end(), [&](const SavedSett& s) {
            return s.id == listed[i].id;
        })) << i;
        for (const SavedSett& match : matching) {
            EXPECT_TRUE(folded(match.name).contains(folded(piece))) << i;
        }
    }

    // An existing name is refused until replacing is asked for; then one sett of that name is
    // left, spelt as now, and it is the newest.
    const QString oldest = caseTurned(saved.last().name);
    EXPECT_EQ(store.save(oldest, "R8 G8", "K2", false), SaveResult::NameExists);
    EXPECT_EQ(store.list().size(), saved.size());
    EXPECT_EQ(store.save(oldest, "R8 G8", "K2", true), SaveResult::Saved);
    const QList<SavedSett> replaced = store.list();
    ASSERT_EQ(replaced.size(), saved.size());
    EXPECT_EQ(replaced.first().name, oldest);
    EXPECT_EQ(replaced.first().sett, "R8 G8");
    EXPECT_EQ(replaced.first().weft, "K2");

    for (const Saved& sett : saved) {
        EXPECT_TRUE(store.remove(caseTurned(sett.name))) << store.lastError().toStdString();
    }
    EXPECT_TRUE(store.list().isEmpty());
    EXPECT_FALSE(store.remove(saved.first().name));
    EXPECT_FALSE(store.lastError().isEmpty());
}

TEST(SettStore, NamesAreTrimmedAndMustNotBeEmptyOrOverlong) {
    StoreFolder folder;
    SettStore store(folder.path("setts.sqlite"));
    EXPECT_EQ(store.save("  Ancient Loom\t", "K4", {}, false), SaveResult::Saved);
    EXPECT_EQ(store.find("ancient loom")->name, "Ancient Loom");
    for (const QString& name :
         {QString(), QString(" \t\n "), QString(SettStore::longestName + 1, 'x')}) {
        EXPECT_EQ(store.save(name, "K4", {}, true), SaveResult::Failed);
        EXPECT_FALSE(store.lastError().isEmpty());
    }
    EXPECT_EQ(store.save("Long", QString(SettStore::longestSett + 1, 'K'), {}, true),
              SaveResult::Failed);
    EXPECT_EQ(store.list().size(), 1);
}

// Two studios on one file: each save waits for the other's, none is lost, and of two saves of
// one new name exactly one is kept while the other is told the name exists.
TEST(SettStore, TwoStoresSavingAtOnceKeepEverySave) {
    StoreFolder folder;
    const QString path = folder.path("setts.sqlite");
    constexpr int each = 25;
    QList<SaveResult> results[2];
    auto saveMany = [&](int worker) {
        SettStore store(path);
        for (int i = 0; i < each; ++i) {
            results[worker].append(store.save(
                QStringLiteral("Worker %1 sett %2").arg(worker).arg(i), "K4", {}, false));
            if (i == each / 2) {
                results[worker].append(store.save("Both", QString::number(worker), {}, false));
            }
        }
    };
    std::thread first(saveMany, 0);
    std::thread second(saveMany, 1);
    first.join();
    second.join();

    const QList<SaveResult> all = results[0] + results[1];
    EXPECT_EQ(all.count(SaveResult::Saved), 2 * each + 1);
    EXPECT_EQ(all.count(SaveResult::NameExists), 1);
    SettStore reader(path);
    EXPECT_EQ(reader.list().size(), 2 * each + 1);
    EXPECT_EQ(reader.list("both").size(), 1);
}

TEST(SettStore, ChangesByEitherStoreShowUntilTheNextList) {
    StoreFolder folder;
    const QString path = folder.path("setts.sqlite");
    SettStore mine(path);
    SettStore other(path);
    EXPECT_TRUE(mine.list().isEmpty());
    EXPECT_FALSE(mine.changedSinceLastList());
    ASSERT_EQ(other.save("Theirs", "K4", {}, false), SaveResult::Saved);
    EXPECT_TRUE(mine.changedSinceLastList());
    EXPECT_EQ(mine.list().size(), 1);
    EXPECT_FALSE(mine.changedSinceLastList());
    ASSERT_TRUE(mine.remove("theirs"));
    EXPECT_TRUE(mine.changedSinceLastList());
    EXPECT_TRUE(mine.list().isEmpty());
    EXPECT_FALSE(mine.changedSinceLastList());
}

// A disk that takes no more: the save is refused as it fails, and the file keeps what it had.
TEST(SettStore, ASaveThatCannotBeWrittenIsNotReportedSavedAndLosesNothing) {
    StoreFolder folder;
    const QString path = folder.path("setts.sqlite");
    makeDatabase(path, 3);
    {
        SettStore store(path);
        ASSERT_TRUE(store.canSave());
        const SaveResult result = [&] {
            const loomara::testing::FileSizeLimit full(static_cast<rlim_t>(QFileInfo(path).size()));
            EXPECT_TRUE(full.ok());
            return store.save("Too big", QString(100'000, 'K'), {}, false);
        }();
        EXPECT_EQ(result, SaveResult::Failed);
        EXPECT_FALSE(store.lastError().isEmpty());
        EXPECT_EQ(store.list().size(), 3);
    }
    SettStore reopened(path);
    EXPECT_EQ(reopened.state(), StoreState::Open) << reopened.message().toStdString();
    EXPECT_EQ(reopened.list().size(), 3);
}

TEST(SettStore, DefaultPathFollowsXdgDataHome) {
    const QByteArray kept = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/data/home");
    EXPECT_EQ(SettStore::defaultPath(), "/data/home/loomara/setts.sqlite");
    qputenv("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(SettStore::defaultPath(), QDir::homePath() + "/.local/share/loomara/setts.sqlite");
    qputenv("XDG_DATA_HOME", kept);
}

} // namespace
} // namespace loomara::test
