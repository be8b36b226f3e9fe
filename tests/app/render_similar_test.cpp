// loomara-render --similar: the entries of the lists nearest a sett, as lines a script can read.

#include "RenderTestSupport.h"

#include "collection/Collection.h"

#include <gtest/gtest.h>

using namespace loomara;
using namespace loomara::testing;

namespace {

// The answer's lines without the explanations.
QStringList answers(const RenderRun& run) {
    QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    lines.removeIf([](const QString& line) { return line.startsWith(u'#'); });
    return lines;
}

} // namespace

TEST(RenderSimilar, PrintsTheNearestEntriesBestFirstOnePerLine) {
    const RenderRun run = render({"--similar", "K/4 R24 K24 Y/4"});
    ASSERT_EQ(run.status, kRenderDone) << run.err.toStdString();
    EXPECT_EQ(run.err, QString());
    const QStringList lines = answers(run);
    ASSERT_EQ(lines.size(), 10);
    int above = 100;
    for (qsizetype rank = 0; rank < lines.size(); ++rank) {
        const QStringList fields = lines[rank].split(u'\t');
        ASSERT_EQ(fields.size(), 5) << lines[rank].toStdString();
        EXPECT_EQ(fields[0], QString::number(rank + 1));
        const int score = fields[1].toInt();
        EXPECT_LE(score, above);
        EXPECT_GE(score, 0);
        above = score;
        const QList<const ListedEntry*> named = entriesNamed(fields[2]);
        EXPECT_TRUE(std::any_of(named.begin(), named.end(), [&](const ListedEntry* e) {
            return pageCaption(e->page) == fields[3] && e->entry.notation == fields[4];
        })) << lines[rank].toStdString();
    }
}

TEST(RenderSimilar, TheSameClothWrittenOtherwiseGetsTheSameAnswer) {
    const QStringList first = answers(render({"--similar", "K/4 R24 K24 Y/4", "--top", "20"}));
    for (const QString& other :
         QStringList{"Y/4 K24 R24 K/4", "K/8 R48 K48 Y/8", "...R24 K4 R24 K24 Y4 K24..."}) {
        EXPECT_EQ(answers(render({"--similar", other, "--top", "20"})), first)
            << other.toStdString();
    }
}

TEST(RenderSimilar, ANamedEntryComesFirstAtOneHundred) {
    const QStringList lines =
        answers(render({"--similar", "--name", "aberdeen university", "--top", "3"}));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines.first(), "1\t100\tAberdeen University\tA to Di\ty8b32k28r60y8");
}

TEST(RenderSimilar, RefusalsAreOneLineWithStatusTwo) {
    const QList<QStringList> refused{
        {"--similar", "K4", "--top", "0"},
        {"--similar", "K4", "--top", "101"},
        {"K4", "--top", "5", "-o", "x.png"},
        {"--similar", "K4", "-o", "x.png"},
        {"--similar", "K4", "--name", "Wallace"},
        {"--similar"},
        {"--similar", "K4 Q"},
        {"--similar", "--name", "No Such Name"},
    };
    for (const QStringList& arguments : refused) {
        const RenderRun run = render(arguments);
        EXPECT_EQ(run.status, kRenderRefused) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.out, QString());
        ASSERT_EQ(run.errLines().size(), run.err.contains(u'^') ? 3 : 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.startsWith("loomara-render: ")) << run.err.toStdString();
    }
}
