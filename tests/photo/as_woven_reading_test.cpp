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
#include <set>

namespace loomara {
namespace {

// As the tool draws it unless told; at 40 threads to the inch; fine yarn on a black backing; a
// thread a few pixels wide and many; fine yarn, whose gaps show more, on a green backing.
const LookChoice kLooks[] = {{},
                             {40 / 0.0254, 0, {}, {}, 0},
                             {0, 0, "Nm 2/48", Rgb{2, 2, 2}, 0},
                             {0, 0, {}, {}, 8},
                             {0, 0, {}, {}, 30},
                             {0, 0, "Nm 2/48", Rgb{47, 156, 20}, 24}};

class AsWovenPicture : public testing::TestWithParam<int> {
protected:
    ClothLook look() const {
        const ChosenLook chosen = chosenLook(kLooks[GetParam()], defaultWeave());
        EXPECT_FALSE(chosen.refusal);
        return chosen.look;
    }
};

PictureReading readBack(const Sett& sett, const ClothLook& look) {
    const QImage picture = asWovenPicture(clothThreads(sett, 2, 0).threads, look);
    return readSettFromPicture(picture, picture.dotsPerMeterX() * 0.0254);
}

std::set<QString> codesOf(const Sett& sett) {
    std::set<QString> codes;
    for (const SettStripe& stripe : sett.stripes) {
        codes.insert(stripe.code);
    }
    return codes;
}

// Of every four entries, at most this many may be named wrong: a repeat may be misread.
constexpr qsizetype kMostMisnamed = 1;

TEST_P(AsWovenPicture, ReadBackNamesTheEntryItWasDrawnFrom) {
    // Named entries small enough for two repeats to make a quick picture, some 1,400 pixels wide.
    const ClothLook chosen = look();
    const double most = std::min(120.0, 700 * chosen.endsPerMm / chosen.pixelsPerMm);
    std::vector<const ListedEntry*> entries;
    for (const ListedEntry& listed : referenceCollection()) {
        const long long threads = listed.reading.ok() ? threadsPerRepeat(listed.reading.sett) : 0;
        if (!listed.entry.name.isEmpty() && threads >= 8 && threads <= most) {
            entries.push_back(&listed);
        }
    }
    ASSERT_FALSE(entries.empty());
    std::mt19937_64 random(3300 + static_cast<std::uint64_t>(GetParam()));
    QStringList misnamed;
    for (int i = 0; i < 4; ++i) {
        const ListedEntry& listed =
            *entries[std::uniform_int_distribution<std::size_t>(0, entries.size() - 1)(random)];
        const PictureReading reading = readBack(listed.reading.sett, chosen);
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

// Dark colours, which the backing in the gaps pales most, between light ones.
const char* const kDark[] = {"k", "b", "j", "g"};
const char* const kLight[] = {"w", "y", "r"};

TEST_P(AsWovenPicture, ReadBackGivesEveryColoursOwnCode) {
    std::mt19937_64 random(3310 + static_cast<std::uint64_t>(GetParam()));
    for (int i = 0; i < 2; ++i) {
        Sett sett;
        sett.repeat = Repeat::Symmetric;
        const int stripes = std::uniform_int_distribution<int>(3, 5)(random);
        for (int s = 0; s < stripes; ++s) {
            const char* code = s % 2 == 0 ? kDark[random() % std::size(kDark)]
                                          : kLight[random() % std::size(kLight)];
            const int count = 2 * std::uniform_int_distribution<int>(2, 6)(random);
            const QString text = QString::fromLatin1(code);
            sett.stripes.append({text, findSwatchByCode(text)->colour(), count, 0});
        }
        const PictureReading reading = readBack(sett, look());
        ASSERT_TRUE(reading.ok()) << writtenForm(sett).toStdString() << ": "
                                  << reading.refusal.toStdString();
        EXPECT_EQ(codesOf(*reading.sett), codesOf(sett))
            << writtenForm(sett).toStdString() << " read as "
            << writtenForm(*reading.sett).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Looks, AsWovenPicture, testing::Range(0, int(std::size(kLooks))));

} // namespace
} // namespace loomara
