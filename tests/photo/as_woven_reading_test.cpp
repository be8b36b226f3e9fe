// The cloth as it will look, read back as a photograph: its yarn's light and shade and the backing
// in its gaps are read as the threads' colours, and the named entry it was drawn from comes first.

#include "cloth/AsWoven.h"
#include "collection/Collection.h"
#include "collection/Similarity.h"
#include "palette/PaletteSwatch.h"
#include "photo/PictureReading.h"
#include "render/Render.h"
#include "sett/SettText.h"

#include <gtest/gtest.h>

#include <random>

namespace loomara {
namespace {

struct Look {
    const char* what;
    double threadsPerInch; // 0: as the tool takes it
    const char* yarnSize;  // empty: as the tool takes it
    const char* backing;   // empty: the light one
};

const Look kLooks[] = {
    {"as the tool draws it unless told", 0, "", ""},
    {"at 40 threads to the inch", 40, "", ""},
    {"fine yarn on a black backing", 0, "Nm 2/48", "K"},
};

// Named entries small enough for two repeats to make a quick picture.
const std::vector<const ListedEntry*>& smallEntries() {
    static const std::vector<const ListedEntry*> entries = [] {
        std::vector<const ListedEntry*> all;
        for (const ListedEntry& listed : referenceCollection()) {
            const long long threads =
                listed.reading.ok() ? threadsPerRepeat(listed.reading.sett) : 0;
            if (!listed.entry.name.isEmpty() && threads >= 8 && threads <= 120) {
                all.push_back(&listed);
            }
        }
        return all;
    }();
    return entries;
}

// Of every four entries, at most this many may be named wrong: a light backing in the gaps pales
// the darkest colours, and an entry dyed one shade off may then come first.
constexpr qsizetype kMostMisnamed = 1;

bool sameCloth(const ListedEntry& a, const ListedEntry& b) {
    return &a == &b ||
           similarityScore(ClothProfile(a.reading.sett), ClothProfile(b.reading.sett)) == 100;
}

class AsWovenPicture : public testing::TestWithParam<int> {};

TEST_P(AsWovenPicture, ReadBackNamesTheEntryItWasDrawnFrom) {
    const Look& look = kLooks[GetParam()];
    LookChoice choice;
    choice.endsPerMetre = look.threadsPerInch / 0.0254;
    choice.yarnSize = QString::fromLatin1(look.yarnSize);
    if (*look.backing != 0) {
        choice.backing = findSwatchByCode(QString::fromLatin1(look.backing))->colour();
    }
    const ChosenLook chosen = chosenLook(choice, defaultWeave());
    ASSERT_FALSE(chosen.refusal);

    std::mt19937_64 random(3300 + static_cast<std::uint64_t>(GetParam()));
    const auto& entries = smallEntries();
    std::uniform_int_distribution<std::size_t> pick(0, entries.size() - 1);
    QStringList misnamed;
    for (int i = 0; i < 4; ++i) {
        const ListedEntry& listed = *entries[pick(random)];
        const ClothPlan plan = clothThreads(listed.reading.sett, 2, 0);
        ASSERT_TRUE(plan.ok());
        const QImage picture = asWovenPicture(plan.threads, chosen.look);
        const PictureReading reading =
            readSettFromPicture(picture, picture.dotsPerMeterX() * 0.0254);
        const QList<SimilarEntry> nearest =
            reading.ok() ? entriesNearest(*reading.sett, 1) : QList<SimilarEntry>();
        if (nearest.isEmpty() || !sameCloth(*nearest.first().listed, listed)) {
            misnamed << QStringLiteral("%1 (%2) read as %3, named %4")
                            .arg(listed.entry.name, writtenForm(listed.reading.sett),
                                 reading.ok() ? writtenForm(*reading.sett) : reading.refusal,
                                 nearest.isEmpty() ? QString()
                                                   : nearest.first().listed->entry.name);
        }
    }
    EXPECT_LE(misnamed.size(), kMostMisnamed) << look.what << ":\n"
                                              << misnamed.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(NamedEntries, AsWovenPicture, testing::Range(0, 3));

} // namespace
} // namespace loomara
