// The studio's rules on its plain state, without a window: typing, zoom, the nearest panel's
// answers, the yarn panel and the user's own setts with the store in each of its states.

#include "StudioFakes.h"

#include "cloth/Cloth.h"
#include "collection/Similarity.h"
#include "sett/SettText.h"
#include "studio/ClothThumbnail.h"
#include "studio/ClothZoom.h"
#include "studio/NamedEntries.h"
#include "studio/Studio.h"
#include "studio/StudioStart.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace loomara;
using namespace loomara::testing;

namespace {

const QString kKilt = QStringLiteral("B/24 W4 B24 R2 K24 G24 W/2");

} // namespace

TEST(StudioTyping, EachEditWeavesAndARefusedOneKeepsTheLastGoodCloth) {
    FakeShelf shelf;
    Studio studio(shelf);
    EXPECT_EQ(studio.windowTitle(), "Untitled sett - Loomara Studio");
    studio.editSett(kKilt);
    ASSERT_FALSE(studio.state().problem);
    const QImage good = studio.state().repeat;
    EXPECT_EQ(good.size(), QSize(182, 182));
    const quint64 edit = studio.state().edit;

    struct Case {
        QString sett;
        QString weft;
        SettField field;
        int character;
    };
    const QList<Case> refused{
        {"B/24 W4 Q24", "", SettField::Warp, 9},
        {"", "", SettField::Warp, 0},
        {kKilt, "K4 R", SettField::Weft, 4},
    };
    for (const Case& c : refused) {
        studio.editWeft(c.weft);
        studio.editSett(c.sett);
        ASSERT_TRUE(studio.state().problem) << c.sett.toStdString();
        EXPECT_EQ(studio.state().problem->field, c.field);
        EXPECT_EQ(studio.state().problem->character, c.character);
        // The reader's own words, the place named as it names it.
        const SettReading reading = readSett(c.field == SettField::Warp ? c.sett : c.weft);
        EXPECT_EQ(studio.state().problem->message, reading.refusal->message);
        EXPECT_EQ(studio.state().repeat.cacheKey(), good.cacheKey());
        EXPECT_EQ(studio.state().edit, edit) << "a refused text is no new cloth to answer";
    }
    studio.editWeft(QStringLiteral("K8"));
    EXPECT_FALSE(studio.state().problem);
    EXPECT_EQ(studio.state().repeat.size(), QSize(182, 8));
    EXPECT_GT(studio.state().edit, edit);
}

TEST(StudioTyping, LoadingANameTitlesTheWindowUntilTheSettIsEdited) {
    FakeShelf shelf;
    Studio studio(shelf);
    ASSERT_TRUE(studio.loadName(QStringLiteral("aberdeen university")));
    EXPECT_EQ(studio.windowTitle(), "Aberdeen University - Loomara Studio");
    EXPECT_EQ(studio.state().sett, entriesNamed("Aberdeen University").first()->reading.sett);
    studio.editSett(studio.state().settText + u'4');
    EXPECT_EQ(studio.windowTitle(), "Untitled sett - Loomara Studio");
    EXPECT_FALSE(studio.loadName(QStringLiteral("Aberdeenx")));
    EXPECT_TRUE(studio.state().problem->message.contains("\"Aberdeen University\""));
}

TEST(StudioZoom, DefaultShowsTwoRepeatsEachWayWhereItCanAndStepsStayInRange) {
    struct Case {
        QSize repeat;
        QSize view;
        int zoom;
    };
    for (const Case& c : QList<Case>{{{182, 182}, {800, 600}, 1},
                                     {{100, 50}, {800, 600}, 4},
                                     {{10, 10}, {800, 600}, 16},
                                     {{2000, 2000}, {800, 600}, 1},
                                     {{50, 200}, {800, 600}, 1},
                                     {{}, {800, 600}, 1}}) {
        EXPECT_EQ(defaultZoom(c.repeat, c.view), c.zoom) << c.repeat.width();
    }
    FakeShelf shelf;
    Studio studio(shelf);
    studio.editSett(QStringLiteral("K2 R2"));
    const QSize view(400, 400);
    EXPECT_EQ(studio.shownZoom(view), kMostZoom);
    studio.zoomIn(view);
    EXPECT_EQ(studio.shownZoom(view), kMostZoom);
    for (int i = 0; i < 20; ++i) {
        studio.zoomOut(view);
    }
    EXPECT_EQ(studio.shownZoom(view), kLeastZoom);
    studio.zoomToDefault();
    EXPECT_EQ(studio.shownZoom(view), kMostZoom);
    EXPECT_FALSE(studio.setTrueSize(true)) << "no density, no true size";
    studio.editYarn(YarnField::Density, QStringLiteral("56/in"));
    EXPECT_TRUE(studio.setTrueSize(true));
    EXPECT_NEAR(trueSizeZoom(112, studio.threadsPerMetre()), 2.0, 1e-9);
}

TEST(StudioNearest, AnAnswerToAnOlderEditIsDroppedAndMySettsTakePart) {
    FakeShelf shelf;
    shelf.setts.append({1, "Mine", "k1r8k8y1", "", QDateTime::currentDateTimeUtc()});
    Studio studio(shelf);
    studio.editSett(QStringLiteral("k2r16k16y2"));
    const NearestQuestion old = studio.nearestQuestion();
    studio.editSett(QStringLiteral("k2r16k16y4"));
    const NearestQuestion latest = studio.nearestQuestion();
    ASSERT_NE(old.edit, latest.edit);

    const QList<NearRow> rows = nearestRows(latest.sett, latest.mine, kNearestShown);
    EXPECT_FALSE(studio.answerNearest(old.edit, rows));
    EXPECT_TRUE(studio.state().nearest.isEmpty());
    EXPECT_TRUE(studio.answerNearest(latest.edit, rows));
    ASSERT_EQ(rows.size(), kNearestShown);

    // The named rows are --similar's, in its order, with the user's own among them by score.
    const QList<SimilarEntry> named = entriesNearest(latest.sett, kNearestShown);
    QList<const ListedEntry*> listed;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (i > 0) {
            EXPECT_GE(rows[i - 1].score, rows[i].score);
        }
        if (!rows[i].mine) {
            listed.append(rows[i].entry);
        }
    }
    const auto mine = std::find_if(rows.begin(), rows.end(), [](const NearRow& r) {
        return r.mine.has_value();
    });
    ASSERT_NE(mine, rows.end());
    EXPECT_EQ(mine->name(), "Mine");
    for (qsizetype i = 0; i < listed.size(); ++i) {
        EXPECT_EQ(listed[i], named[i].listed);
    }
}

TEST(StudioMySetts, EveryStateOfTheStoreAndEveryAnswerOfTheUser) {
    struct Case {
        const char* what;
        StoreState state;
        bool failWrites;
        QString existing; // a saved sett's name before the save
        std::optional<QString> name;
        std::deque<bool> answers;
        bool saved;
        int told;
    };
    const QList<Case> cases{
        {"saved", StoreState::Open, false, "", "Kilt", {}, true, 0},
        {"cancelled", StoreState::Open, false, "", std::nullopt, {}, false, 0},
        {"blank name", StoreState::Open, false, "", "  ", {}, false, 0},
        {"replaced", StoreState::Open, false, "kilt", "Kilt", {true}, true, 0},
        {"kept", StoreState::Open, false, "Kilt", "Kilt", {false}, false, 0},
        {"write failed", StoreState::Open, false, "", "Kilt", {}, false, 1},
        {"moved aside", StoreState::MovedAside, false, "", "Kilt", {}, true, 1},
        {"read-only", StoreState::NotWritable, false, "", "Kilt", {}, false, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeShelf shelf;
        shelf.storeState = c.state;
        shelf.storeMessage = QStringLiteral("the store says why");
        if (!c.existing.isEmpty()) {
            shelf.setts.append({1, c.existing, "K2", "", QDateTime::currentDateTimeUtc()});
        }
        shelf.failWrites = QString(c.what) == "write failed";
        ScriptedPrompts prompts;
        prompts.names.push_back(c.name);
        prompts.answers = c.answers;
        Studio studio(shelf);
        studio.tellStoreProblem(prompts);
        studio.tellStoreProblem(prompts);
        studio.editSett(kKilt);
        studio.saveSett(prompts);
        const bool kept = std::any_of(shelf.setts.begin(), shelf.setts.end(), [](const auto& s) {
            return s.sett == kKilt;
        });
        EXPECT_EQ(kept, c.saved);
        EXPECT_EQ(studio.state().status.startsWith("Saved"), c.saved);
        EXPECT_EQ(studio.windowTitle().startsWith("Kilt"), c.saved);
        EXPECT_EQ(prompts.told.size(), c.told) << prompts.told.join(" | ").toStdString();
        EXPECT_EQ(studio.state().saved.size(), shelf.setts.size());
    }
}

TEST(StudioMySetts, ListsNewestFirstFiltersDeletesAfterAskingAndRereadsOnChange) {
    FakeShelf shelf;
    Studio studio(shelf);
    ScriptedPrompts prompts;
    for (const char* name : {"Glen Blue", "Morning", "glen green"}) {
        studio.editSett(kKilt);
        prompts.names.push_back(QString::fromLatin1(name));
        studio.saveSett(prompts);
    }
    studio.filterSaved(QStringLiteral("GLEN"));
    QStringList shown;
    for (const SavedSett& saved : studio.shownSaved()) {
        shown.append(saved.name);
    }
    EXPECT_EQ(shown, QStringList({"glen green", "Glen Blue"}));

    prompts.answers = {false, true};
    studio.removeSaved(QStringLiteral("Morning"), prompts);
    EXPECT_EQ(studio.state().saved.size(), 3);
    studio.removeSaved(QStringLiteral("Morning"), prompts);
    EXPECT_EQ(studio.state().saved.size(), 2);

    // Another studio's save is seen at the next look, and only a change is read again.
    EXPECT_FALSE(studio.rereadSaved());
    shelf.setts.prepend({9, "Elsewhere", "K4", "", QDateTime::currentDateTimeUtc()});
    shelf.changed = true;
    const quint64 edit = studio.state().edit;
    EXPECT_TRUE(studio.rereadSaved());
    EXPECT_EQ(studio.state().saved.first().name, "Elsewhere");
    EXPECT_GT(studio.state().edit, edit) << "the nearest panel answers my setts too";

    studio.loadSaved(studio.state().saved.first());
    EXPECT_EQ(studio.windowTitle(), "Elsewhere - Loomara Studio");
    EXPECT_EQ(studio.state().settText, "K4");
}

TEST(StudioStartLine, SettOrNameOrRefusal) {
    struct Case {
        QStringList arguments;
        QString sett;
        QString name;
        int status;
        const char* printed; // a piece of it; empty when nothing is printed
    };
    for (const Case& c : QList<Case>{
             {{}, "", "", 0, ""},
             {{"K4 R24"}, "K4 R24", "", 0, ""},
             {{"--name", "Wallace"}, "", "Wallace", 0, ""},
             {{"K4", "R4"}, "", "", 2, "one argument"},
             {{"K4", "--name", "Wallace"}, "", "", 2, "not both"},
             {{"--bogus"}, "", "", 2, "bogus"},
             {{"--version"}, "", "", 0, "loomara-studio "},
             {{"--help"}, "", "", 0, "Usage: loomara-studio [SETT | --name NAME]"},
         }) {
        const StudioStart start = readStudioStart(c.arguments);
        EXPECT_EQ(start.status, c.status) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(start.sett, c.sett);
        EXPECT_EQ(start.name, c.name);
        EXPECT_EQ(start.printed.value_or(QString()).contains(QString::fromLatin1(c.printed)),
                  true);
        EXPECT_EQ(start.printed.has_value(), *c.printed != '\0');
    }
}

TEST(StudioNamed, EveryReadableEntryAndAFilterThatIgnoresCase) {
    const QList<const ListedEntry*> all = readableEntries();
    EXPECT_EQ(all.size(), 3254);
    const QList<const ListedEntry*> stewarts = entriesMatching(all, QStringLiteral("sTeWaRt"));
    EXPECT_FALSE(stewarts.isEmpty());
    for (const ListedEntry* entry : stewarts) {
        EXPECT_TRUE(entry->entry.name.contains("Stewart", Qt::CaseInsensitive));
    }
    EXPECT_EQ(entriesMatching(all, QStringLiteral("  ")).size(), all.size());
}

TEST(StudioNamed, ThumbnailIsTheClothItselfForASmallRepeatAndSquareForAnyOther) {
    auto random = QRandomGenerator(27);
    const QStringList codes{"K", "R", "G", "B", "W", "Y"};
    for (int round = 0; round < 20; ++round) {
        QString written;
        const int stripes = random.bounded(1, 8);
        for (int i = 0; i < stripes; ++i) {
            written += codes[random.bounded(codes.size())] +
                       QString::number(random.bounded(1, round < 10 ? 6 : 300)) + u' ';
        }
        const Sett sett = readSett(written).sett;
        const QImage thumbnail = clothThumbnail(sett, 32);
        ASSERT_EQ(thumbnail.size(), QSize(32, 32)) << written.toStdString();
        if (threadsPerRepeat(sett) <= 32) {
            const QImage cloth = clothPicture(clothThreads(sett, 40, 0).threads);
            EXPECT_EQ(thumbnail, cloth.copy(0, 0, 32, 32)) << written.toStdString();
        }
    }
}

// The view tiles one piece of cloth; in every weave the piece laid two by two is the cloth of twice
// its repeats, so the tiles meet as the cloth's own repeats do: repeats of 10, 5 (straight, one
// turn of the point draw a repeat) and 3 threads (one turn kept of two), a weft of 7.
TEST(StudioWeave, TheTileLaidTwoByTwoIsTheClothInEveryWeave) {
    for (const Weave& weave : weaves()) {
        for (const auto& [warp, weft] : {std::pair{"K/5 R2 W/1", ""},
                                         {"...K3 R2...", "W/3 K2"},
                                         {"K/1 R/2", ""},
                                         {"K/2 R/3", "...Y7..."}}) {
            SCOPED_TRACE(weave.name.toStdString() + ' ' + warp + " / " + weft);
            FakeShelf shelf;
            Studio studio(shelf);
            studio.chooseWeave(weave);
            studio.editSett(QString::fromLatin1(warp));
            studio.editWeft(QString::fromLatin1(weft));
            const QImage tile = studio.state().tile;
            const int repeats = tile.width() / studio.state().repeat.width();
            const QImage cloth =
                clothPicture(clothThreads(studio.state().sett, 2 * repeats, 0, weave).threads);
            ASSERT_EQ(cloth.size(), tile.size() * 2);
            for (const QPoint corner : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)}) {
                EXPECT_EQ(
                    cloth.copy(QRect(QPoint(corner.x() * tile.width(), corner.y() * tile.height()),
                                     tile.size())),
                    tile);
            }
        }
    }
}
