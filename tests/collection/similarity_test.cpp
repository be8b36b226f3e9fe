// How alike two setts' cloths are: what leaves the cloth as it is leaves the score as it is, and
// the search over the lists finds what comparing every entry finds.

#include "collection/Similarity.h"
#include "palette/PaletteSwatch.h"

#include "support/RandomSett.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <span>

using namespace loomara;
using namespace loomara::testing;

namespace {

// Random setts, and every 40th entry of the lists that can be woven.
QList<Sett> sampleSetts() {
    std::mt19937 random(20);
    QList<Sett> setts;
    for (int i = 0; i < 40; ++i) {
        setts.append(randomSett(random, {12, 1, 60, 3}));
    }
    const QList<ListedEntry>& entries = referenceCollection();
    for (qsizetype i = 0; i < entries.size(); i += 40) {
        if (entries[i].reading.ok()) {
            setts.append(entries[i].reading.sett);
        }
    }
    return setts;
}

int score(const Sett& a, const Sett& b) {
    return similarityScore(ClothProfile(a), ClothProfile(b));
}

Sett reversed(Sett sett) {
    std::ranges::reverse(sett.stripes);
    return sett;
}

// A straight repeat started at another stripe; a symmetric one as it is.
Sett rotated(Sett sett) {
    if (sett.repeat == Repeat::Straight && sett.stripes.size() > 1) {
        std::rotate(sett.stripes.begin(), sett.stripes.begin() + 1 + sett.stripes.size() / 3,
                    sett.stripes.end());
    }
    return sett;
}

Sett scaled(Sett sett) {
    for (SettStripe& stripe : sett.stripes) {
        stripe.count *= 3;
    }
    return sett;
}

// Every code that shares its colour with another code written as that other.
Sett recoded(Sett sett) {
    for (SettStripe& stripe : sett.stripes) {
        for (const PaletteSwatch& swatch : paletteSwatches()) {
            if (swatch.colour() == stripe.colour && swatch.codeText() != stripe.code) {
                stripe.code = swatch.codeText();
                break;
            }
        }
    }
    return sett;
}

} // namespace

TEST(Similarity, ScoresAreSymmetricAndWhatLeavesTheClothAsItIsLeavesTheScoreAsItIs) {
    const QList<Sett> setts = sampleSetts();
    const QList<std::pair<const char*, std::function<Sett(Sett)>>> changes{
        {"itself", std::identity()},
        {"reversed", reversed},
        {"rotated", rotated},
        {"scaled", scaled},
        {"recoded", recoded}};
    for (qsizetype i = 0; i < setts.size(); ++i) {
        const Sett& a = setts[i];
        const Sett& b = setts[(i * 11 + 5) % setts.size()];
        EXPECT_EQ(score(a, b), score(b, a)) << writtenForm(a).toStdString();
        EXPECT_EQ(clothDifference(ClothProfile(a), ClothProfile(b)),
                  clothDifference(ClothProfile(b), ClothProfile(a)));
        for (const auto& [what, change] : changes) {
            const Sett changed = change(a);
            EXPECT_EQ(score(changed, a), 100) << what << " " << writtenForm(a).toStdString();
            EXPECT_EQ(score(changed, b), score(a, b))
                << what << " " << writtenForm(a).toStdString();
        }
    }
    // The palette holds codes of equal colour, or the recoding above proves nothing.
    EXPECT_GT(
        std::count_if(setts.begin(), setts.end(), [](const Sett& s) { return recoded(s) != s; }),
        20);
}

TEST(Similarity, AnEntryWithOneCountOffByTwoStillFindsItselfFirst) {
    const QList<ListedEntry>& entries = referenceCollection();
    for (qsizetype i = 5; i < entries.size(); i += 97) {
        if (!entries[i].reading.ok()) {
            continue;
        }
        const ClothProfile entry(entries[i].reading.sett);
        Sett changed = entries[i].reading.sett;
        std::max_element(changed.stripes.begin(), changed.stripes.end(),
                         [](const SettStripe& a, const SettStripe& b) { return a.count < b.count; })
            ->count += 2;
        const QList<SimilarEntry> found = entriesNearest(changed, 1);
        ASSERT_EQ(found.size(), 1);
        // The lists hold some cloths twice, under two names: either may come first.
        EXPECT_EQ(similarityScore(entry, ClothProfile(found.first().listed->reading.sett)), 100)
            << entries[i].entry.name.toStdString() << " found "
            << found.first().listed->entry.name.toStdString();
        EXPECT_LT(found.first().score, 100);
    }
}

namespace {

// The difference as defined, place by place at every shift either way round, for small setts.
double everyAlignment(const ClothProfile& a, const ClothProfile& b) {
    const auto places = [](const ClothProfile& p, long long each) {
        std::vector<std::array<double, 3>> labs;
        for (const ClothProfile::Run& run : p.runs()) {
            labs.insert(labs.end(), static_cast<std::size_t>(run.threads * each), run.lab);
        }
        return labs;
    };
    const auto pa = places(a, b.threads());
    auto pb = places(b, a.threads());
    const long long length = std::ssize(pa);
    long long least = -1;
    for (int way = 0; way < 2; ++way, std::ranges::reverse(pb)) {
        for (long long shift = 0; shift < length; ++shift) {
            long long sum = 0;
            for (long long p = 0; p < length; ++p) {
                const auto& x = pa[static_cast<std::size_t>(p)];
                const auto& y = pb[static_cast<std::size_t>((p + shift) % length)];
                sum += std::llround(std::hypot(x[0] - y[0], x[1] - y[1], x[2] - y[2]) * 1024);
            }
            least = least < 0 ? sum : std::min(least, sum);
        }
    }
    return static_cast<double>(least) / (1024.0 * static_cast<double>(length));
}

} // namespace

TEST(Similarity, TheDifferenceIsTheLeastOverEveryAlignment) {
    std::mt19937 random(3);
    for (int i = 0; i < 60; ++i) {
        const ClothProfile a(randomSett(random, {4, 1, 4}));
        const ClothProfile b(randomSett(random, {4, 1, 4}));
        EXPECT_EQ(clothDifference(a, b), everyAlignment(a, b)) << i;
    }
}

// Long setts go the quick way round most entries: it must find what comparing every one finds.
TEST(Similarity, TheSearchFindsWhatComparingEveryEntryFinds) {
    std::mt19937 random(7);
    std::vector<ClothProfile> profiles;
    for (const ListedEntry& listed : referenceCollection()) {
        profiles.push_back(listed.reading.ok() ? ClothProfile(listed.reading.sett)
                                               : ClothProfile());
    }
    Sett straight = randomSett(random, {50, 1, 40});
    straight.repeat = Repeat::Straight;
    Sett mirrored = randomSett(random, {50, 1, 40});
    mirrored.repeat = Repeat::Symmetric;
    const QList<std::pair<Sett, std::span<const ClothProfile>>> searches{
        {randomSett(random, {12, 1, 60, 3}), profiles},
        {readSett(u"K/4 R24 K24 Y/4").sett, profiles},
        {straight, profiles},
        {mirrored, profiles}};
    for (const auto& [sett, among] : searches) {
        const ClothProfile query(sett);
        std::vector<std::pair<double, qsizetype>> every;
        for (qsizetype j = 0; j < std::ssize(among); ++j) {
            if (!among[j].empty()) {
                every.emplace_back(clothDifference(query, among[j]), j);
            }
        }
        std::sort(every.begin(), every.end());
        const std::vector<Neighbour> found = nearestProfiles(query, among, 10);
        ASSERT_EQ(found.size(), 10u);
        for (std::size_t k = 0; k < found.size(); ++k) {
            EXPECT_EQ(found[k].index, every[k].second) << k;
            EXPECT_EQ(found[k].difference, every[k].first) << k;
        }
    }
}

TEST(Similarity, ColoursAreTakenToCieLab) {
    const QList<std::pair<Rgb, std::array<double, 3>>> known{{{255, 255, 255}, {100, 0, 0}},
                                                             {{0, 0, 0}, {0, 0, 0}},
                                                             {{255, 0, 0}, {53.24, 80.09, 67.20}},
                                                             {{128, 128, 128}, {53.59, 0, 0}},
                                                             {{0, 128, 0}, {46.23, -51.70, 49.90}}};
    for (const auto& [rgb, lab] : known) {
        for (std::size_t c = 0; c < 3; ++c) {
            EXPECT_NEAR(labOf(rgb)[c], lab[c], 0.01) << rgb.red << " " << rgb.green << " " << c;
        }
    }
}

// Mid-greys are darker to the eye than their share of light: a grey of 128 is nearer a grey of
// 39 than white, which a search that left out the sRGB curve would rank the other way.
TEST(Similarity, MidTonesRankAsTheEyeSeesThem) {
    const auto solid = [](const char* text) { return readSett(QString::fromLatin1(text)).sett; };
    EXPECT_GT(score(solid("n8"), solid("CN8")), score(solid("n8"), solid("w8")));
    EXPECT_GT(score(solid("MN8"), solid("CN8")), score(solid("MN8"), solid("DW8")));
}

TEST(Similarity, NamedSettsOfTheListsRankAsTheirSettsDiffer) {
    // From most alike to least; each name's first entry.
    const QList<std::pair<QString, QString>> pairs{
        // One thin stripe added.
        {"MacDonald", "MacDonald of Clanranald"},
        // One stripe halved and a thin one added.
        {"MacDonald", "MacDonell of Glengarry D"},
        // Three stripes run into one besides.
        {"MacDonald", "MacDonell of Glengarry"},
        // Other colours, other stripes.
        {"MacDonald", "Black Watch"},
    };
    int above = 101;
    for (const auto& [from, to] : pairs) {
        const int s =
            score(entriesNamed(from).first()->reading.sett, entriesNamed(to).first()->reading.sett);
        EXPECT_LT(s, above) << from.toStdString() << " / " << to.toStdString();
        above = s;
    }
}
