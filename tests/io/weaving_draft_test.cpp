#include "io/WeavingDraft.h"
#include "palette/PaletteSwatch.h"

#include <gtest/gtest.h>

#include <QMap>

#include <climits>

using namespace loomara;

static void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace loomara {
static void PrintTo(const Rgb& c, std::ostream* os) {
    *os << '(' << c.red << ", " << c.green << ", " << c.blue << ')';
}
} // namespace loomara

namespace {

// The file as a reader sees it: sections of keys, names compared without case.
struct WifFile {
    QStringList sections; // in file order
    QMap<QString, QMap<QString, QString>> values;

    QString value(const QString& section, const QString& key) const {
        return values.value(section.toUpper()).value(key.toUpper());
    }
    int number(const QString& section, const QString& key) const {
        return value(section, key).toInt();
    }
};

WifFile readWif(const QByteArray& bytes) {
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
    EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n"));
    WifFile wif;
    QString section;
    for (const QString& line : QString::fromUtf8(bytes).split(QStringLiteral("\r\n"))) {
        if (line.isEmpty() || line.startsWith(u';')) {
            continue;
        }
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2).toUpper();
            EXPECT_FALSE(wif.sections.contains(section)) << section.toStdString();
            wif.sections.append(section);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        EXPECT_GT(equals, 0) << line.toStdString();
        EXPECT_FALSE(section.isEmpty());
        const QString key = line.left(equals).toUpper();
        EXPECT_FALSE(wif.values[section].contains(key))
            << section.toStdString() << key.toStdString();
        wif.values[section][key] = line.mid(equals + 1);
    }
    return wif;
}

Rgb colourOf(const char* code) {
    for (const PaletteSwatch& s : paletteSwatches()) {
        if (s.codeText() == QLatin1String(code)) {
            return s.colour();
        }
    }
    ADD_FAILURE() << code;
    return {};
}

DraftRequest requestOf(const QList<std::pair<const char*, int>>& sett, int repeats = 1) {
    DraftRequest request;
    for (const auto& [code, count] : sett) {
        request.stripes.append({colourOf(code), count});
    }
    request.title = QStringLiteral("Test sett");
    request.repeats = repeats;
    request.date = QStringLiteral("December 8, 2026");
    request.contact = QStringLiteral("weaver@example.org");
    request.programName = QStringLiteral("loomara-render");
    request.programVersion = QStringLiteral("1.0");
    return request;
}

WifFile draftOf(const DraftRequest& request) {
    const WeavingDraft draft = weavingDraft(request);
    EXPECT_TRUE(draft.ok()) << draft.refusal.value_or(QString()).toStdString();
    return readWif(draft.bytes);
}

// The colour of every warp thread or weft pick, looked up in the colour table.
QList<Rgb> threadColours(const WifFile& wif, const QString& colours, const QString& direction) {
    QList<Rgb> result;
    const int threads = wif.number(direction, "Threads");
    for (int t = 1; t <= threads; ++t) {
        QString index = wif.value(colours, QString::number(t));
        if (index.isEmpty()) {
            index = wif.value(direction, "Color");
        }
        const QStringList rgb = wif.value("COLOR TABLE", index).split(u',');
        EXPECT_EQ(rgb.size(), 3) << t;
        result.append(rgb.size() == 3 ? Rgb{rgb[0].toShort(), rgb[1].toShort(), rgb[2].toShort()}
                                      : Rgb{-1, -1, -1});
    }
    return result;
}

// The expected threads of repeats of stripes given by the order in which a repeat visits them.
QList<Rgb> expand(const QList<std::pair<const char*, int>>& sett, const QList<int>& visits,
                  int repeats) {
    QList<Rgb> threads;
    for (int r = 0; r < repeats; ++r) {
        for (const int stripe : visits) {
            const auto& [code, count] = sett[stripe - 1];
            for (int k = 0; k < count; ++k) {
                threads.append(colourOf(code));
            }
        }
    }
    return threads;
}

void expectThreads(const WifFile& wif, const QList<Rgb>& expected) {
    for (const char* direction : {"WARP", "WEFT"}) {
        SCOPED_TRACE(direction);
        EXPECT_EQ(wif.number(direction, "Threads"), expected.size());
        EXPECT_EQ(threadColours(wif, QString(direction) + " COLORS", direction), expected);
    }
    for (int t = 1; t <= expected.size(); ++t) {
        EXPECT_EQ(wif.number("THREADING", QString::number(t)), (t - 1) % 4 + 1);
        EXPECT_EQ(wif.number("TREADLING", QString::number(t)), (t - 1) % 4 + 1);
    }
    EXPECT_TRUE(wif.value("THREADING", QString::number(expected.size() + 1)).isEmpty());
}

} // namespace

TEST(WeavingDraft, EverySectionAReaderNeedsIsThereAndListed) {
    DraftRequest request = requestOf({{"y", 8}, {"b", 32}, {"k", 28}, {"r", 60}, {"y", 8}});
    request.title = QStringLiteral("Aberdeen\r\nUniversity");
    const WifFile wif = draftOf(request);

    EXPECT_EQ(wif.sections.first(), "WIF");
    EXPECT_EQ(wif.value("WIF", "Version"), "1.1");
    EXPECT_EQ(wif.value("WIF", "Date"), "December 8, 2026");
    EXPECT_EQ(wif.value("WIF", "Developers"), "weaver@example.org");
    EXPECT_EQ(wif.value("WIF", "Source Program"), "loomara-render");
    EXPECT_EQ(wif.value("WIF", "Source Version"), "1.0");

    const QStringList needed{"CONTENTS", "TEXT",          "WEAVING",     "WARP",
                             "WEFT",     "COLOR PALETTE", "COLOR TABLE", "THREADING",
                             "TIEUP",    "TREADLING",     "WARP COLORS", "WEFT COLORS"};
    for (const QString& s : needed) {
        EXPECT_TRUE(wif.sections.contains(s)) << s.toStdString();
    }
    // CONTENTS lists exactly the sections that follow it.
    QStringList listed = wif.values.value("CONTENTS").keys();
    QStringList present = wif.sections.mid(2);
    listed.sort();
    present.sort();
    EXPECT_EQ(listed, present);
    for (const QString& s : listed) {
        EXPECT_EQ(wif.value("CONTENTS", s), "true");
    }

    EXPECT_EQ(wif.value("TEXT", "Title"), "Aberdeen  University");
    EXPECT_EQ(wif.number("WEAVING", "Shafts"), 4);
    EXPECT_EQ(wif.number("WEAVING", "Treadles"), 4);
    EXPECT_EQ(wif.value("WEAVING", "Rising Shed"), "true");
    for (const char* direction : {"WARP", "WEFT"}) {
        EXPECT_EQ(wif.value(direction, "Units"), "Centimeters");
        EXPECT_EQ(wif.value(direction, "Spacing"), "0.05");
        EXPECT_EQ(wif.value(direction, "Thickness"), "0.05");
        EXPECT_EQ(wif.value(direction, "Color"), "1");
    }
    EXPECT_EQ(wif.value("COLOR PALETTE", "Form"), "RGB");
    EXPECT_EQ(wif.value("COLOR PALETTE", "Range"), "0,255");
    // y, b, k, r: four colours in the order the threads first use them.
    EXPECT_EQ(wif.number("COLOR PALETTE", "Entries"), 4);
    EXPECT_EQ(wif.values.value("COLOR TABLE").size(), 4);
    EXPECT_EQ(wif.value("COLOR TABLE", "1"), "192,192,0");
    EXPECT_EQ(wif.value("COLOR TABLE", "3"), "0,0,0");

    const QStringList twill{"1,2", "2,3", "3,4", "4,1"};
    EXPECT_EQ(wif.values.value("TIEUP").size(), 4);
    for (int t = 1; t <= 4; ++t) {
        EXPECT_EQ(wif.value("TIEUP", QString::number(t)), twill[t - 1]);
    }
}

TEST(WeavingDraft, WarpAndWeftRunTheSettForwardAndBackWithoutThePivots) {
    const QList<std::pair<const char*, int>> two{{"K", 3}, {"y", 2}};
    expectThreads(draftOf(requestOf(two)), expand(two, {1, 2}, 1));

    const QList<std::pair<const char*, int>> five{
        {"y", 8}, {"b", 32}, {"k", 0}, {"r", 6}, {"DOG", 5}};
    expectThreads(draftOf(requestOf(five)), expand(five, {1, 2, 3, 4, 5, 4, 3, 2}, 1));

    QList<std::pair<const char*, int>> full;
    QList<int> visits;
    const auto swatches = paletteSwatches();
    for (int i = 1; i <= 21; ++i) {
        full.append({swatches[static_cast<std::size_t>(i * 7)].code, i % 5});
        visits.append(i);
    }
    for (int i = 20; i >= 2; --i) {
        visits.append(i);
    }
    expectThreads(draftOf(requestOf(full)), expand(full, visits, 1));

    expectThreads(draftOf(requestOf({{"g", 4}})), expand({{"g", 4}}, {1}, 1));
    expectThreads(draftOf(requestOf(five, 3)), expand(five, {1, 2, 3, 4, 5, 4, 3, 2}, 3));
}

TEST(WeavingDraft, TheColourTableHoldsEachUsedColourOnceAfterTheShadeSteps) {
    // "DOG" and "T" set the same colour; "k" has no threads and takes no entry.
    const QList<std::pair<const char*, int>> sett{{"DOG", 2}, {"k", 0}, {"T", 2}, {"W", 1}};
    const WifFile plain = draftOf(requestOf(sett));
    EXPECT_EQ(plain.number("COLOR PALETTE", "Entries"), 2);
    EXPECT_EQ(plain.value("COLOR TABLE", "1"), "95,63,0");
    EXPECT_EQ(plain.value("COLOR TABLE", "2"), "250,250,250");

    DraftRequest brighter = requestOf(sett);
    brighter.shadeSteps = 1;
    const WifFile bright = draftOf(brighter);
    EXPECT_EQ(bright.value("COLOR TABLE", "1"), "125,93,30");
    EXPECT_EQ(bright.value("COLOR TABLE", "2"), "255,255,255");

    DraftRequest darker = requestOf(sett);
    darker.shadeSteps = -3;
    EXPECT_EQ(draftOf(darker).value("COLOR TABLE", "1"), "5,0,0");

    // Enough steps bring every colour to a bound, where different colours meet.
    darker.shadeSteps = INT_MIN;
    const WifFile black = draftOf(darker);
    EXPECT_EQ(black.number("COLOR PALETTE", "Entries"), 1);
    EXPECT_EQ(black.value("COLOR TABLE", "1"), "0,0,0");
    brighter.shadeSteps = INT_MAX;
    EXPECT_EQ(draftOf(brighter).value("COLOR TABLE", "1"), "255,255,255");
}

TEST(WeavingDraft, EveryThreadOfAWrittenSettKeepsItsCodesColour) {
    QList<std::pair<const char*, int>> sett;
    for (const char* code : {"lr", "LR", "K", "k", "y", "Y", "DOG", "T", "W", "w"}) {
        sett.append({code, 3});
    }
    const WifFile wif = draftOf(requestOf(sett));
    const QList<Rgb> warp = threadColours(wif, "WARP COLORS", "WARP");
    ASSERT_EQ(warp.size(), 3 * (2 * 10 - 2));
    for (qsizetype stripe = 0; stripe < sett.size(); ++stripe) {
        EXPECT_EQ(warp[stripe * 3], colourOf(sett[stripe].first)) << sett[stripe].first;
    }
}

TEST(WeavingDraft, RefusalsSayWhy) {
    const QList<std::pair<const char*, int>> seven{{"g", 7}};
    struct Case {
        DraftRequest request;
        QString message;
    };
    DraftRequest negative = requestOf({{"g", 4}, {"y", -1}});
    DraftRequest noRepeats = requestOf(seven, 0);
    QList<std::pair<const char*, int>> many;
    for (int i = 0; i < 22; ++i) {
        many.append({"g", 1});
    }
    QList<std::pair<const char*, int>> widest;
    for (int i = 0; i < 21; ++i) {
        widest.append({"g", 3276});
    }
    DraftRequest hugeCounts = requestOf(widest, INT_MAX);
    for (DraftStripe& stripe : hugeCounts.stripes) {
        stripe.count = INT_MAX;
    }
    const QList<Case> cases{
        {requestOf({}), "the sett has no stripes to weave."},
        {requestOf(many), "the sett has 22 stripes; a sett holds at most 21."},
        {negative, "stripe 2 has a negative thread count."},
        {noRepeats, "the number of repeats must be at least 1."},
        {requestOf({{"g", 0}, {"y", 0}, {"r", 0}}),
         "every stripe has a thread count of 0, so there are no threads to weave."},
        {requestOf(seven, 14286),
         "14286 repeats of 7 threads make 100002 threads each way, more than the 100000 a "
         "draft may hold; weave fewer repeats."},
        {requestOf(seven, INT_MAX),
         "2147483647 repeats of 7 threads make 15032385529 threads each way, more than the "
         "100000 a draft may hold; weave fewer repeats."},
        {requestOf(widest),
         "one repeat of the sett has 131040 threads each way, more than the 100000 a draft may "
         "hold."},
        {hugeCounts,
         "one repeat of the sett has 85899345880 threads each way, more than the 100000 a draft "
         "may hold."},
    };
    for (const Case& c : cases) {
        const WeavingDraft draft = weavingDraft(c.request);
        ASSERT_FALSE(draft.ok()) << c.message.toStdString();
        EXPECT_EQ(*draft.refusal, c.message);
        EXPECT_TRUE(draft.bytes.isEmpty());
    }
    // The largest draft is written whole (checked on its bytes: parsing 400000 lines is slow).
    const WeavingDraft largest = weavingDraft(requestOf({{"g", 1000}}, 100));
    ASSERT_TRUE(largest.ok());
    EXPECT_EQ(largest.bytes.count("\r\nThreads=100000\r\n"), 2);
    EXPECT_TRUE(largest.bytes.endsWith("\r\n99999=1\r\n100000=1\r\n"));
}
