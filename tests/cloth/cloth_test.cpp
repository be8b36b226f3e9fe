#include "cloth/Cloth.h"
#include "formats/WeavingDraft.h"
#include "formats/WifReader.h"
#include "palette/PaletteSwatch.h"
#include "sett/SettText.h"

#include "support/RandomSett.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

using namespace loomara;
using namespace loomara::testing;

namespace {

QList<QRgb> rgbs(const QList<Rgb>& colours) {
    QList<QRgb> out;
    for (const Rgb& c : colours) {
        out.append(qRgb(c.red, c.green, c.blue));
    }
    return out;
}

// What each weave is: its loom, and the floats of its ends (over picks) and its picks (over ends)
// as the longest and shortest found anywhere inside a cloth.
struct WeaveRow {
    const char* name;
    int shafts;
    int treadles;
    int longestWarpFloat;
    int shortestWarpFloat;
    int longestWeftFloat;
    int shortestWeftFloat;
};
const WeaveRow kWeaves[] = {
    {"twill", 4, 4, 2, 2, 2, 2}, {"plain", 2, 2, 1, 1, 1, 1}, {"2/1", 3, 3, 2, 2, 1, 1},
    {"3/1", 4, 4, 3, 3, 1, 1},   {"point", 4, 4, 3, 1, 3, 1}, {"hopsack", 2, 2, 2, 2, 2, 2},
};

// A whole number from least up to, not including, end.
int bounded(std::mt19937& random, int least, int end) {
    return std::uniform_int_distribution<int>(least, end - 1)(random);
}

Weave weaveOf(const WeaveRow& row) {
    const std::optional<Weave> weave = weaveNamed(QString::fromLatin1(row.name).toUpper());
    EXPECT_TRUE(weave.has_value()) << row.name;
    return weave.value_or(defaultWeave());
}

} // namespace

// The cloth picture and the draft are made from the same threads; a loom set up from the draft
// weaves the picture, crossing for crossing, in every weave.
TEST(Cloth, ThePictureIsTheDrawdownOfItsDraftInEveryWeave) {
    ASSERT_EQ(weaves().size(), std::size(kWeaves));
    std::mt19937 random(1818);
    for (const WeaveRow& row : kWeaves) {
        const Weave weave = weaveOf(row);
        for (int round = 0; round < 15; ++round) {
            Sett sett = randomSett(random, {8, 1, 9});
            if (bounded(random, 0, 3) == 0) {
                sett.ownWeft = std::make_shared<const Sett>(randomSett(random, {6, 1, 9}));
            }
            const int repeats = bounded(random, 1, 4);
            const int steps = bounded(random, -3, 4);
            SCOPED_TRACE(row.name + (u' ' + writtenForm(sett)).toStdString());
            const ClothPlan plan = clothThreads(sett, repeats, steps, weave);
            ASSERT_TRUE(plan.ok()) << plan.refusal->toStdString();
            const WeavingDraft draft = weavingDraft(plan.threads, "cloth", {});
            ASSERT_TRUE(draft.ok());
            const Wif wif = readWif(draft.bytes);
            EXPECT_EQ(clothPicture(plan.threads), drawdownOf(wif));
            EXPECT_EQ(wif["WEAVING"].mid(0, 2),
                      (QStringList{QStringLiteral("Shafts=%1").arg(row.shafts),
                                   QStringLiteral("Treadles=%1").arg(row.treadles)}));
            EXPECT_EQ(wif["TEXT"].value(1), "Notes=Woven as " + weave.title + '.');
            EXPECT_EQ(plan.threads.warp.size(), threadsPerRepeat(sett) * repeats);
            EXPECT_EQ(plan.threads.weft.size(), threadsPerRepeat(sett.weft()) * repeats);
        }
    }
}

namespace {

struct Floats {
    int longest = 0;
    int shortest = INT_MAX;
};

// The runs of `up` along a line of `length`, those that touch neither end of it, as they would
// run on past a cut edge.
void addFloats(Floats& floats, int length, const std::function<bool(int)>& up) {
    int start = -1;
    for (int i = 1; i < length; ++i) {
        if (up(i) && !up(i - 1)) {
            start = i;
        } else if (!up(i) && up(i - 1) && start > 0) {
            floats.longest = std::max(floats.longest, i - start);
            floats.shortest = std::min(floats.shortest, i - start);
        }
    }
}

} // namespace

// A black warp and a white weft show the weave itself, whatever the sett's counts and repeat.
TEST(Cloth, EveryEndAndPickFloatsAsItsWeaveSays) {
    std::mt19937 random(1820);
    for (const WeaveRow& row : kWeaves) {
        SCOPED_TRACE(row.name);
        Floats warp;
        Floats weft;
        for (int round = 0; round < 12; ++round) {
            const auto count = [&random] { return bounded(random, 1, 12); };
            Sett sett =
                readSett(QStringLiteral("K/%1 K%2 K/%3").arg(count()).arg(count()).arg(count()))
                    .sett;
            sett.ownWeft = std::make_shared<const Sett>(
                readSett(QStringLiteral("...W%1 W%2...").arg(count()).arg(count())).sett);
            const QImage picture = clothPicture(clothThreads(sett, 2, 0, weaveOf(row)).threads);
            ASSERT_FALSE(picture.isNull());
            const auto raised = [&picture](int x, int y) {
                return picture.pixel(x, y) == qRgb(2, 2, 2);
            };
            for (int x = 0; x < picture.width(); ++x) {
                addFloats(warp, picture.height(), [&](int y) { return raised(x, y); });
            }
            for (int y = 0; y < picture.height(); ++y) {
                addFloats(weft, picture.width(), [&](int x) { return !raised(x, y); });
            }
        }
        EXPECT_EQ(warp.longest, row.longestWarpFloat);
        EXPECT_EQ(warp.shortest, row.shortestWarpFloat);
        EXPECT_EQ(weft.longest, row.longestWeftFloat);
        EXPECT_EQ(weft.shortest, row.shortestWeftFloat);
    }
}

// The point twill turns where the colours mirror: a cloth that starts on a pivot stripe of odd
// count mirrors, threads and weave alike, about that stripe's middle thread, each way.
TEST(Cloth, APointTwillMirrorsAboutThePivots) {
    std::mt19937 random(1821);
    const Weave point = *weaveNamed(u"point");
    for (int round = 0; round < 20; ++round) {
        Sett sett = randomSett(random, {6, 1, 12});
        sett.repeat = Repeat::Symmetric;
        sett.stripes.first().count = 2 * bounded(random, 1, 8) + 1;
        SCOPED_TRACE(writtenForm(sett).toStdString());
        const QImage picture = clothPicture(clothThreads(sett, 1, 0, point).threads);
        const int middle = sett.stripes.first().count / 2;
        for (int d = 1; d <= middle; ++d) {
            for (int j = 0; j < picture.height(); ++j) {
                EXPECT_EQ(picture.pixel(middle - d, j), picture.pixel(middle + d, j)) << d;
                EXPECT_EQ(picture.pixel(j, middle - d), picture.pixel(j, middle + d)) << d;
            }
        }
    }
}

// With a warp of one colour and a weft of another the picture shows the weave itself: along
// every end and every pick the thread floats over two and under two, and the diagonal moves one
// thread a pick.
TEST(Cloth, EveryEndAndPickFloatsOverTwoAndUnderTwo) {
    Sett sett = readSett(u"K/13").sett;
    sett.ownWeft = std::make_shared<const Sett>(readSett(u"W/11").sett);
    const QImage picture = clothPicture(clothThreads(sett, 2, 0).threads);
    ASSERT_EQ(picture.size(), QSize(26, 22));
    const auto up = [&picture](int x, int y) { return picture.pixel(x, y) == qRgb(2, 2, 2); };
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            SCOPED_TRACE(::testing::Message() << x << "," << y);
            // Along a pick: two ends up, two down, again.
            if (x + 4 < picture.width()) {
                EXPECT_EQ(up(x, y), up(x + 4, y));
                EXPECT_NE(up(x, y), up(x + 2, y));
            }
            // Along an end likewise.
            if (y + 4 < picture.height()) {
                EXPECT_EQ(up(x, y), up(x, y + 4));
                EXPECT_NE(up(x, y), up(x, y + 2));
            }
            if (x + 1 < picture.width() && y + 1 < picture.height()) {
                EXPECT_EQ(up(x, y), up(x + 1, y + 1));
            }
        }
    }
}

// A symmetric sett mirrors about the middle of each pivot stripe, in the warp as it shows in the
// picture and in the weft.
TEST(Cloth, ASymmetricSettsClothMirrorsAboutItsPivots) {
    std::mt19937 random(1819);
    for (int round = 0; round < 40; ++round) {
        Sett sett = randomSett(random, {12, 1, 20});
        sett.repeat = Repeat::Symmetric;
        SCOPED_TRACE(writtenForm(sett).toStdString());
        const ClothThreads threads = clothThreads(sett, 2, 0).threads;
        const QImage picture = clothPicture(threads);
        // The colour of each end as the picture shows it, on a pick where that end is raised.
        QList<QRgb> ends;
        for (int x = 0; x < picture.width(); ++x) {
            ends.append(picture.pixel(x, x % 4));
        }
        EXPECT_EQ(ends, rgbs(threads.warp));
        EXPECT_EQ(threads.weft, threads.warp);
        // The first pivot's threads open the repeat; the last pivot's follow all the others.
        const qsizetype length = ends.size() / 2;
        const qsizetype first = sett.stripes.first().count;
        qsizetype lastStart = 0;
        for (qsizetype k = 0; k + 1 < sett.stripes.size(); ++k) {
            lastStart += sett.stripes[k].count;
        }
        const qsizetype lastEnd = lastStart + sett.stripes.last().count;
        for (qsizetype i = 0; i < length; ++i) {
            EXPECT_EQ(ends[i], ends[(first - 1 - i + length) % length]) << i;
            EXPECT_EQ(ends[i], ends[(lastStart + lastEnd - 1 - i + length) % length]) << i;
        }
    }
}
