#include "EntryTestSupport.h"

#include "entry/ThreadCount.h"

#include <random>

using namespace loomara;
using namespace loomara::testing;

namespace {

QString randomCountText(std::mt19937& rng) {
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    switch (pick(8)) {
    case 0:
    case 1:
        return QString::number(3000 + pick(277)); // eleven of these overflow the sett
    case 2:
        return QStringLiteral(" %1.%2 ").arg(pick(300)).arg(pick(10));
    case 3:
        return QString::number(-1 - pick(50));
    case 4:
        return QString::number(3277 + pick(100000));
    case 5: {
        const char* junk[] = {"", " ", "abc", "1e2", "2,5", "1 2", "+", ".", "--3", "0x1"};
        return QString::fromLatin1(junk[pick(10)]);
    }
    default:
        return QString::number(pick(400));
    }
}

} // namespace

TEST(EntryProperty, RandomSessionsKeepTheLockRules) {
    const auto swatches = paletteSwatches();
    int tooWide = 0;
    for (unsigned seed = 1; seed <= 25; ++seed) {
        std::mt19937 rng(seed);
        const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
        Designer d;
        int refusals = 0;
        int wideLocks = 0;
        for (int step = 0; step < 400; ++step) {
            const int slot = 1 + pick(DesignState::kSlotCount);
            switch (pick(20)) {
            case 0:
            case 1:
            case 2:
                d.selectSwatch(swatches[static_cast<std::size_t>(pick(163))].pictureNumber);
                break;
            case 3:
                d.typeSettWidth(randomCountText(rng));
                break;
            case 4:
                pick(2) == 0 ? d.brighten() : d.darken();
                break;
            case 5:
                if (pick(10) == 0) {
                    d.clear();
                }
                break;
            case 6:
            case 7:
            case 8:
            case 9:
                d.typeCount(slot, randomCountText(rng));
                break;
            default: {
                const EntrySnapshot before(d);
                const QString typed = d.form.countBox(slot).text();
                const auto refused = d.lockStripe(slot);
                if (refused) {
                    ++refusals;
                    ASSERT_EQ(EntrySnapshot(d), before) << "seed " << seed << " step " << step;
                    ASSERT_TRUE(refused->startsWith(QStringLiteral("Slot %1: ").arg(slot)));
                    tooWide += refused->contains(QStringLiteral("wider than 32767")) ? 1 : 0;
                    break;
                }
                const auto count = parseThreadCount(typed);
                ASSERT_TRUE(count);
                ASSERT_EQ(d.design.slot(slot).threadCount, *count);
                ASSERT_EQ(d.form.lockBox(slot).width, static_cast<float>(*count * 10));
                ASSERT_TRUE(d.form.notation.text().endsWith(typed + QStringLiteral(", ")));
                if (slot >= 11) {
                    ++wideLocks;
                    ASSERT_EQ(d.form.settWidth.text(),
                              QString::number(*d.design.threadCountTotal(21)))
                        << "seed " << seed << " step " << step;
                }
            }
            }
            const auto total = d.design.threadCountTotal(DesignState::kSlotCount);
            ASSERT_TRUE(total);
            for (const Stripe& s : d.design.stripes) {
                ASSERT_GE(s.threadCount, 0);
                ASSERT_LE(s.threadCount, 3276);
            }
        }
        EXPECT_GT(refusals, 0) << "seed " << seed;
        EXPECT_GT(wideLocks, 0) << "seed " << seed;
    }
    EXPECT_GT(tooWide, 0);
}
