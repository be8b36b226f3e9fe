#include "cloth/Cloth.h"
#include "formats/WeavingDraft.h"
#include "formats/WifReader.h"
#include "palette/PaletteSwatch.h"
#include "sett/SettText.h"

#include "support/RandomSett.h"

#include <gtest/gtest.h>

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

} // namespace

// The cloth picture and the draft are made from the same threads; a loom set up from the draft
// weaves the picture, crossing for crossing.
TEST(Cloth, ThePictureIsTheDrawdownOfItsDraft) {
    std::mt19937 random(1818);
    for (int round = 0; round < 40; ++round) {
        Sett sett = randomSett(random, {8, 1, 9});
        if (random() % 3 == 0) {
            sett.ownWeft = std::make_shared<const Sett>(randomSett(random, {6, 1, 9}));
        }
        const int repeats = 1 + static_cast<int>(random() % 3);
        const int steps = static_cast<int>(random() % 7) - 3;
        SCOPED_TRACE(writtenForm(sett).toStdString());
        const ClothPlan plan = clothThreads(sett, repeats, steps);
        ASSERT_TRUE(plan.ok()) << plan.refusal->toStdString();
        const WeavingDraft draft = weavingDraft(plan.threads, "cloth", {});
        ASSERT_TRUE(draft.ok());
        EXPECT_EQ(clothPicture(plan.threads), drawdownOf(readWif(draft.bytes)));
        EXPECT_EQ(plan.threads.warp.size(), threadsPerRepeat(sett) * repeats);
        EXPECT_EQ(plan.threads.weft.size(), threadsPerRepeat(sett.weft()) * repeats);
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
