#include "entry/SettText.h"
#include "io/WeavingDraft.h"

#include <gtest/gtest.h>

#include <QMap>

#include <climits>

using namespace loomara;

static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace {

// The file as a reader parses it: each section's "Key=Value" lines in order, and under "" the
// section names in order.
using Wif = QMap<QString, QStringList>;

Wif readWif(const QByteArray& bytes) {
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
    EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n"));
    Wif wif;
    QString section;
    for (const QString& line : QString::fromUtf8(bytes).split(QStringLiteral("\r\n"))) {
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2);
            EXPECT_FALSE(wif.contains(section)) << section.toStdString();
            wif[""].append(section);
            wif[section];
        } else if (!line.isEmpty()) {
            EXPECT_GT(line.indexOf(u'='), 0) << line.toStdString();
            wif[section].append(line);
        }
    }
    return wif;
}

// A request as the companion program makes one: a written sett read, each code's colour.
DraftRequest requestOf(QStringView sett, int repeats = 1) {
    DraftRequest request{
        {},   "Test sett", 0, repeats, "December 8, 2026", "weaver@example.org", "loomara-render",
        "1.0"};
    for (const WrittenStripe& s : readWrittenSett(sett).stripes) {
        request.stripes.append({s.swatch.colour(), s.count});
    }
    return request;
}

Wif draftOf(const DraftRequest& request) {
    const WeavingDraft draft = weavingDraft(request);
    EXPECT_TRUE(draft.ok()) << draft.refusal.value_or(QString()).toStdString();
    return readWif(draft.bytes);
}

// Both directions thread by thread against the stripes visited in the given order (1-based),
// repeated: shaft and treadle, and the colour through the colour table, which must be the colour
// the palette gives the stripe's code.
void expectThreads(const Wif& wif, QStringView sett, const QList<int>& visits, int repeats) {
    const QList<WrittenStripe> stripes = readWrittenSett(sett).stripes;
    QStringList shafts;
    QStringList colours;
    for (int r = 0; r < repeats; ++r) {
        for (const int i : visits) {
            const Rgb c = stripes[i - 1].swatch.colour();
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
    DraftRequest request = requestOf(u"y8b32k28r60y8");
    request.title = QStringLiteral("Aberdeen\r\nUniversity");
    Wif wif = draftOf(request);

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

    EXPECT_EQ(wif["TEXT"], QStringList{"Title=Aberdeen  University"});
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
    expectThreads(draftOf(requestOf(u"K3y2")), u"K3y2", {1, 2}, 1);
    expectThreads(draftOf(requestOf(u"g4")), u"g4", {1}, 1);
    // A stripe of 0 threads is passed over; "DOG" and "T" share one colour.
    const QString five = QStringLiteral("y8b3k0DOG6T5");
    expectThreads(draftOf(requestOf(five)), five, {1, 2, 3, 4, 5, 4, 3, 2}, 1);
    expectThreads(draftOf(requestOf(five, 3)), five, {1, 2, 3, 4, 5, 4, 3, 2}, 3);
    EXPECT_EQ(draftOf(requestOf(five))["COLOR TABLE"].size(), 3);

    const QString full = QStringLiteral("lr1LR2K3k4y0Y1DOG2T3W4w0p1P2r3R4o0O1g2G3b4B1i2");
    QList<int> visits;
    for (int i = 1; i <= 40; ++i) {
        visits.append(i <= 21 ? i : 42 - i);
    }
    expectThreads(draftOf(requestOf(full)), full, visits, 1);
}

TEST(WeavingDraft, TheShadeStepsAreTheDesignersBrightenAndDarken) {
    DraftRequest request = requestOf(u"DOG2k0W1");
    const auto table = [&request](int steps) {
        request.shadeSteps = steps;
        return draftOf(request)["COLOR TABLE"];
    };
    EXPECT_EQ(table(0), (QStringList{"1=95,63,0", "2=250,250,250"}));
    EXPECT_EQ(table(1), (QStringList{"1=125,93,30", "2=255,255,255"}));
    EXPECT_EQ(table(-3), (QStringList{"1=5,0,0", "2=160,160,160"}));
    // Enough steps bring every colour to a bound, where different colours meet.
    EXPECT_EQ(table(INT_MIN), QStringList{"1=0,0,0"});
    EXPECT_EQ(table(INT_MAX), QStringList{"1=255,255,255"});
}

TEST(WeavingDraft, RefusalsSayWhy) {
    DraftRequest negative = requestOf(u"g4y1");
    negative.stripes[1].count = -1;
    DraftRequest many = requestOf(QStringLiteral("g1").repeated(21));
    DraftRequest hugeCounts = many;
    for (DraftStripe& stripe : hugeCounts.stripes) {
        stripe.count = INT_MAX;
    }
    many.stripes.append(many.stripes.first());
    const QList<std::pair<DraftRequest, QString>> cases{
        {requestOf(u""), "the sett has no stripes to weave."},
        {many, "the sett has 22 stripes; a sett holds at most 21."},
        {negative, "stripe 2 has a negative thread count."},
        {requestOf(u"g7", 0), "the number of repeats must be at least 1."},
        {requestOf(u"g0y0r0"),
         "every stripe has a thread count of 0, so there are no threads to weave."},
        {requestOf(u"g7", 14286),
         "14286 repeats of 7 threads make 100002 threads each way, more than the 100000 a "
         "draft may hold; weave fewer repeats."},
        {requestOf(u"g7", INT_MAX),
         "2147483647 repeats of 7 threads make 15032385529 threads each way, more than the "
         "100000 a draft may hold; weave fewer repeats."},
        {hugeCounts, "one repeat of the sett has 85899345880 threads each way, more than the "
                     "100000 a draft may hold."},
    };
    for (const auto& [request, message] : cases) {
        const WeavingDraft draft = weavingDraft(request);
        EXPECT_EQ(draft.refusal.value_or("no refusal"), message);
        EXPECT_TRUE(draft.bytes.isEmpty());
    }
    // The largest draft is written whole (checked on its bytes: parsing 400000 lines is slow).
    const WeavingDraft largest = weavingDraft(requestOf(u"g1000", 100));
    EXPECT_EQ(largest.bytes.count("\r\nThreads=100000\r\n"), 2);
    EXPECT_TRUE(largest.bytes.endsWith("\r\n99999=1\r\n100000=1\r\n"));
}
