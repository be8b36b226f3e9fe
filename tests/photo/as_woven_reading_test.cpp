// The cloth as it will look, read back as a photograph: its yarn's light and shade and the backing
// in its gaps are read as the threads' colours, and the named entry it was drawn from comes first.

#include "cloth/AsWoven.h"
#include "collection/Collection.h"
#include "collection/Similarity.h"
#include "photo/PictureReading.h"
#include "render/Render.h"
#include "sett/SettText.h"

#include <gtest/gtest.h>

#include <random>

namespace loomara {
namespace {

// As the tool draws it unless told; at 40 threads to the inch; fine yarn on a black backing.
const LookChoice kLooks[] = {{}, {40 / 0.0254, 0, {}, {}, 0}, {0, 0, "Nm 2/48", Rgb{2, 2, 2}, 0}};

// Of every four entries, at most this many may be named wrong: a light backing in the gaps pales
// the darkest colours, and an entry dyed one shade off may then come first.
constexpr qsizetype kMostMisnamed = 1;

class AsWovenPicture : public testing::TestWithParam<int> {};

TEST_P(AsWovenPicture, ReadBackNamesTheEntryItWasDrawnFrom) {
    const ChosenLook chosen = chosenLook(kLooks[GetParam()], defaultWeave());
    ASSERT_FALSE(chosen.refusal);
    // Named entries small enough for two repeats to make a quick picture.
    std::vector<const ListedEntry*> entries;
    for (const ListedEntry& listed : referenceCollection()) {
        const long long threads = listed.reading.ok() ? threadsPerRepeat(listed.reading.sett) : 0;
        if (!listed.entry.name.isEmpty() && threads >= 8 && threads <= 120) {
            entries.push_back(&listed);
        }
    }
    std::mt19937_64 random(3300 + static_cast<std::uint64_t>(GetParam()));
    QStringList misnamed;
    for (int i = 0; i < 4; ++i) {
        const ListedEntry& listed =
            *entries[std::uniform_int_distribution<std::size_t>(0, entries.size() - 1)(random)];
        const QImage picture =
            asWovenPicture(clothThreads(listed.reading.sett, 2, 0).threads, chosen.look);
        const PictureReading reading =
            readSettFromPicture(picture, picture.dotsPerMeterX() * 0.0254);
        const QList<SimilarEntry> nearest =
            reading.ok() ? entriesNearest(*reading.sett, 1) : QList<SimilarEntry>();
        // The entry itself, or one of the same cloth.
        if (nearest.isEmpty() || similarityScore(ClothProfile(nearest.first().listed->reading.sett),
                                                 ClothProfile(listed.reading.sett)) < 100) {
            misnamed << QStringLiteral("%1 (%2) read as %3")
                            .arg(listed.entry.name, writtenForm(listed.reading.sett),
                                 reading.ok() ? writtenForm(*reading.sett) : reading.refusal);
        }
    }
    EXPECT_LE(misnamed.size(), kMostMisnamed) << misnamed.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(NamedEntries, AsWovenPicture, testing::Range(0, 3));

} // namespace
} // namespace loomara
