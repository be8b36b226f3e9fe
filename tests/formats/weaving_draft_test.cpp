#include "WifReader.h"

#include "formats/WeavingDraft.h"
#include "sett/SettText.h"

#include <gtest/gtest.h>

#include <climits>

using namespace loomara;
using namespace loomara::testing;

namespace {

const DraftCredits kCredits{"December 8, 2026", "weaver@example.org", "loomara-render", "1.0"};

ClothPlan planOf(QStringView sett, int repeats = 1, int steps = 0) {
    return clothThreads(readSett(sett).sett, repeats, steps);
}

Wif draftOf(QStringView sett, int repeats = 1, int steps = 0, const QString& title = "Test sett") {
    const ClothPlan plan = planOf(sett, repeats, steps);
    EXPECT_TRUE(plan.ok()) << plan.refusal.value_or(QString()).toStdString();
    const WeavingDraft draft = weavingDraft(plan.threads, title, kCredits);
    EXPECT_TRUE(draft.ok()) << draft.refusal.value_or(QString()).toStdString();
    return readWif(draft.bytes);
}

// Both directions thread by thread against the stripes visited in the given order (1-based),
// repeated: shaft and treadle, and the colour through the colour table, which must be the colour
// the palette gives the stripe's code.
void expectThreads(const Wif& wif, QStringView sett, const QList<int>& visits, int repeats) {
    const QList<SettStripe> stripes = readSett(sett).sett.stripes;
    QStringList shafts;
    QStringList colours;
    for (int r = 0; r < repeats; ++r) {
        for (const int i : visits) {
            const Rgb c = stripes[i - 1].colour;
            for (int k = 0; k < stripes[i - 1].count; ++k) {
                const qsizetype t = shafts.size() + 1;
                shafts.append(QStringLiteral("%1=%2").arg(t).arg((t - 1) % 4 + 1));
                colours.append(
                    QStringLiteral("%1=%2,%3,%4").arg(t).arg(c.red).arg(c.green).arg(c.blue));
            }
        }
    }
    EXPECT_EQ(wif["THREADING"], shafts);
    EXPECT_EQ(wif["TREADLING"], shafts);
    for (const QString direction : {"WARP", "WEFT"}) {
        EXPECT_EQ(wif[direction].first(), "Threads=" + QString::number(shafts.size()));
        QStringList woven;
        for (const QString& line : wif[direction + " COLORS"]) {
            const int index = line.section(u'=', 1).toInt();
            const QString rgb = wif["COLOR TABLE"].value(index - 1).section(u'=', 1);
            woven.append(line.section(u'=', 0, 0) + '=' + rgb);
        }
        EXPECT_EQ(woven, colours) << direction.toStdString();
    }
}

} // namespace

TEST(WeavingDraft, EverySectionAReaderNeedsIsThereAndListed) {
    Wif wif = draftOf(u"y8b32k28r60y8", 1, 0, QStringLiteral("Aberdeen\r\nUniversity"));

    const QStringList sections = wif[""];
    EXPECT_EQ(sections.mid(0, 2), (QStringList{"WIF", "CONTENTS"}));
    EXPECT_EQ(wif["WIF"],
              (QStringList{"Version=1.1", "Date=December 8, 2026", "Developers=weaver@example.org",
                           "Source Program=loomara-render", "Source Version=1.0"}));
    // CONTENTS lists every section that follows it, and nothing else; each is checked below
    // or by the thread checks.
    QStringList listed;
    for (const QString& s : sections.mid(2)) {
        listed.append(s + "=true");
    }
    EXPECT_EQ(wif["CONTENTS"], listed);

    EXPECT_EQ(wif["TEXT"],
              (QStringList{"Title=Aberdeen  University", "Notes=Woven as 2/2 twill."}));
    EXPECT_EQ(wif["WEAVING"], (QStringList{"Shafts=4", "Treadles=4", "Rising Shed=true"}));
    const QStringList threads{"Threads=256", "Color=1", "Units=Centimeters", "Spacing=0.05",
                              "Thickness=0.05"};
    EXPECT_EQ(wif["WARP"], threads);
    EXPECT_EQ(wif["WEFT"], threads);
    // y, b, k, r: four colours in the order the threads first use them.
    EXPECT_EQ(wif["COLOR PALETTE"], (QStringList{"Entries=4", "Form=RGB", "Range=0,255"}));
    EXPECT_EQ(wif["COLOR TABLE"],
              (QStringList{"1=192,192,0", "2=0,0,128", "3=0,0,0", "4=128,0,0"}));
    EXPECT_EQ(wif["TIEUP"], (QStringList{"1=1,2", "2=2,3", "3=3,4", "4=4,1"}));
}

TEST(WeavingDraft, WarpAndWeftRunTheSettForwardAndBackWithoutThePivots) {
    expectThreads(draftOf(u"K3y2"), u"K3y2", {1, 2}, 1);
    expectThreads(draftOf(u"g4"), u"g4", {1}, 1);
    // A stripe of 0 threads is passed over; "DOG" and "T" share one colour.
    const QString five = QStringLiteral("y8b3k0DOG6T5");
    expectThreads(draftOf(five), five, {1, 2, 3, 4, 5, 4, 3, 2}, 1);
    expectThreads(draftOf(five, 3), five, {1, 2, 3, 4, 5, 4, 3, 2}, 3);
    EXPECT_EQ(draftOf(five)["COLOR TABLE"].size(), 3);

    const QString full = QStringLiteral("lr1LR2K3k4y0Y1DOG2T3W4w0p1P2r3R4o0O1g2G3b4B1i2");
    QList<int> visits;
    for (int i = 1; i <= 40; ++i) {
        visits.append(i <= 21 ? i : 42 - i);
    }
    expectThreads(draftOf(full), full, visits, 1);
}

TEST(WeavingDraft, TheShadeStepsAreTheDesignersBrightenAndDarken) {
    const auto table = [](int steps) { return draftOf(u"DOG2k0W1", 1, steps)["COLOR TABLE"]; };
    EXPECT_EQ(table(0), (QStringList{"1=95,63,0", "2=250,250,250"}));
    EXPECT_EQ(table(1), (QStringList{"1=125,93,30", "2=255,255,255"}));
    EXPECT_EQ(table(-3), (QStringList{"1=5,0,0", "2=160,160,160"}));
    // Enough steps bring every colour to a bound, where different colours meet.
    EXPECT_EQ(table(INT_MIN), QStringList{"1=0,0,0"});
    EXPECT_EQ(table(INT_MAX), QStringList{"1=255,255,255"});
}

TEST(WeavingDraft, RefusalsSayWhy) {
    Sett negative = readSett(u"g4y1").sett;
    negative.stripes[1].count = -1;
    Sett hugeCounts = readSett(QStringLiteral("g1").repeated(21)).sett;
    for (SettStripe& stripe : hugeCounts.stripes) {
        stripe.count = INT_MAX;
    }
    const QList<std::tuple<Sett, int, QString>> cases{
        {Sett{}, 1, "the sett has no stripes to weave."},
        {negative, 1, "stripe 2 has a negative thread count."},
        {readSett(u"g7").sett, 0, "the number of repeats must be at least 1."},
        {readSett(u"g0y0r0").sett, 1,
         "every stripe has a thread count of 0, so there are no threads to weave."},
        {readSett(u"g7").sett, 14286,
         "14286 repeats of 7 threads make 100002 threads each way, more than the 100000 a "
         "draft may hold; weave fewer repeats."},
        {readSett(u"g7").sett, INT_MAX,
         "2147483647 repeats of 7 threads make 15032385529 threads each way, more than the "
         "100000 a draft may hold; weave fewer repeats."},
        {hugeCounts, 1,
         "one repeat of the sett has 85899345880 threads each way, more than the 100000 a draft "
         "may hold."},
    };
    for (const auto& [sett, repeats, message] : cases) {
        const ClothPlan plan = clothThreads(sett, repeats, 0);
        EXPECT_EQ(plan.refusal.value_or("no refusal"), message);
        EXPECT_TRUE(plan.threads.warp.isEmpty());
    }
    EXPECT_EQ(weavingDraft({}, "none", kCredits).refusal, "there are no threads to weave.");
    // Threads whose loom was lost would weave a cloth that is not the picture's.
    ClothThreads unthreaded = planOf(u"g4y2").threads;
    unthreaded.threading.removeLast();
    EXPECT_EQ(weavingDraft(unthreaded, "g", kCredits).refusal,
              "the threading and treadling do not match the threads.");
    EXPECT_TRUE(clothPicture(unthreaded).isNull());
    // The largest draft is written whole (checked on its bytes: parsing 400000 lines is slow).
    const WeavingDraft largest = weavingDraft(planOf(u"g1000", 100).threads, "g", kCredits);
    EXPECT_EQ(largest.bytes.count("\r\nThreads=100000\r\n"), 2);
    EXPECT_TRUE(largest.bytes.endsWith("\r\n99999=1\r\n100000=1\r\n"));
}
