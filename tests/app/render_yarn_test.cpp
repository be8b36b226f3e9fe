// loomara-render --yarn: the units it reads, what it refuses, and the table on stdout or in CSV.

#include "RenderTestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace loomara;
using namespace loomara::testing;

namespace {

const QString kKilt = QStringLiteral("B/24 W4 B24 R2 K24 G24 W/2");

// A cloth of 100 ends and 360 picks of a single colour: 10in wide, 1yd long, at 10/in.
RenderRun yarn(const QStringList& given) {
    QStringList arguments{"K10", "--yarn"};
    const QStringList cloth{"--width", "10in", "--length", "1yd", "--density", "10/in"};
    for (qsizetype i = 0; i < cloth.size(); i += 2) {
        if (!given.contains(cloth[i])) {
            arguments += cloth.mid(i, 2);
        }
    }
    return render(arguments + given);
}

} // namespace

TEST(RenderYarn, UnitsAreReadAndAnythingElseIsRefusedNamingTheValue) {
    // For a cloth: the total line's field in that column. For a refusal: a piece of its one line.
    constexpr int kRefused = -1;
    struct Case {
        QStringList given;
        int column; // 2 ends, 3 picks, 4 warp m, 5 weft m
        QString expected;
    };
    const QList<Case> cases{
        {{"--width", "28in"}, 2, "280"},
        {{"--width", "150cm"}, 2, "591"},
        {{"--width", "0.5m"}, 2, "197"},
        {{"--width", "1yd"}, 2, "360"},
        {{"--width", "1.25in"}, 2, "13"}, // 12.5 ends round up
        {{"--width", ".5in"}, 2, "5"},
        {{"--density", "12/cm"}, 2, "305"},
        {{"--density", "56/in"}, 2, "560"},
        {{"--density", "2540/in"}, 2, "25400"},
        {{"--length", "8yd"}, 3, "2880"},
        {{"--weft-density", "4/cm"}, 3, "366"},
        {{"--waste", "0cm"}, 4, "91.44"},
        {{"--waste", "27in"}, 4, "160.02"},
        {{"--take-up", "0%"}, 5, "91.44"},
        {{"--take-up", "12.5%"}, 5, "102.87"},
        {{"--width", "1000m", "--density", "10/cm"}, 2, "1000000"},
        {{"--width", "28"}, kRefused, "--width: \"28\" is not a length"},
        {{"--similar"}, kRefused, "--similar is not for --yarn"},
        {{"--width", "28ft"},
         kRefused,
         "\"28ft\" is not a length: write a number and its unit, cm, m, in or yd"},
        {{"--width", "5mm"}, kRefused, "\"5mm\" is not a length: write a number and its unit"},
        {{"--width", "m"}, kRefused, "\"m\" is not a length: write a number and its unit"},
        {{"--width", "28 in"}, kRefused, "\"28 in\" is not"},
        {{"--width", "28IN"}, kRefused, "\"28IN\" is not"},
        {{"--width", "1e3cm"}, kRefused, "\"1e3cm\" is not"},
        {{"--width", "0.0000001cm"}, kRefused, "the width 0.0000001cm at 10/in holds no ends."},
        {{"--width", "-3cm"}, kRefused, "\"-3cm\" is not"},
        {{"--width", ""}, kRefused, "\"\" is not"},
        {{"--width", "1001m"}, kRefused, "\"1001m\" is not a length from 0m to 1000m"},
        {{"--width", "0cm"}, kRefused, "the width 0cm at 10/in holds no ends."},
        {{"--length", "0.01in"}, kRefused, "the length 0.01in at 10/in holds no picks."},
        {{"--length", "8"}, kRefused, "--length: \"8\" is not"},
        {{"--waste", "2ft"}, kRefused, "--waste: \"2ft\" is not"},
        {{"--density", "56"},
         kRefused,
         "\"56\" is not a density: write threads per cm or per inch"},
        {{"--density", "56/yd"}, kRefused, "\"56/yd\" is not a density"},
        {{"--density", "0/in"},
         kRefused,
         "\"0/in\" is not a density above 0/in and at most 2540/in"},
        {{"--density", "1001/cm"}, kRefused, "\"1001/cm\" is not a density above"},
        {{"--weft-density", "12"}, kRefused, "--weft-density: \"12\" is not"},
        {{"--take-up", "10"}, kRefused, "\"10\" is not a percentage from 0% to 100%"},
        {{"--take-up", "101%"}, kRefused, "\"101%\" is not a percentage"},
        {{"--width", "1000m", "--density", "1000/cm"},
         kRefused,
         "makes 100000000 ends, more than the 1000000"},
        {{"--length", "1000m", "--weft-density", "11/cm"}, kRefused, "makes 1100000 picks"},
        {{"--width", "1in", "--width", "2in"}, kRefused, "--width is given more than once"},
        {{"--cloth"}, kRefused, "--cloth is not for --yarn"},
        {{"--repeats", "2"}, kRefused, "--repeats is not for --yarn"},
        {{"-o", "yarn.png"}, kRefused, "with --yarn the file name must end in .csv."},
        {{"--weft", "Q9"}, kRefused, "--weft: "},
    };
    for (const Case& c : cases) {
        const RenderRun run = yarn(c.given);
        SCOPED_TRACE(c.given.join(u' ').toStdString());
        if (c.column == kRefused) {
            EXPECT_EQ(run.status, kRenderRefused);
            EXPECT_EQ(run.out, QString());
            // A refused sett is followed by the lines that point at its place.
            const QString why = run.errLines().value(0);
            EXPECT_TRUE(why.startsWith("loomara-render: ")) << why.toStdString();
            EXPECT_TRUE(why.contains(c.expected)) << why.toStdString();
        } else {
            ASSERT_EQ(run.status, kRenderDone) << run.err.toStdString();
            const QString total = run.out.split(u'\n', Qt::SkipEmptyParts).last();
            EXPECT_EQ(total.split(u'\t').value(c.column), c.expected) << total.toStdString();
        }
    }
}

TEST(RenderYarn, TheSizeOfAClothIsRefusedWithoutYarnAndYarnWithoutTheSize) {
    EXPECT_EQ(render({"K10", "--width", "1in", "-o", "k.png"}).err,
              "loomara-render: --width is not for the designer's picture; it is for --yarn.\n");
    EXPECT_TRUE(render({"K10", "--yarn", "--width", "1in"}).err.contains("--yarn needs"));
}

TEST(RenderYarn, TheWeaveLeavesTheYarnAsItIsButMustBeOne) {
    const QStringList kilt{kKilt, "--yarn",    "--width", "28in",   "--length",
                           "8yd", "--density", "56/in",   "--weave"};
    EXPECT_EQ(render(kilt + QStringList{"hopsack"}).out, render(kilt.mid(0, 8)).out);
    EXPECT_EQ(render(kilt + QStringList{"satin"}).status, kRenderRefused);
}

TEST(RenderYarn, AKiltLengthPrintsItsTableAndTellsHowTheRepeatsFit) {
    const RenderRun run =
        render({kKilt, "--yarn", "--width", "28in", "--length", "8yd", "--density", "56/in"});
    ASSERT_EQ(run.status, kRenderDone) << run.err.toStdString();
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 8);
    EXPECT_TRUE(lines[0].startsWith("# " + kKilt +
                                    "; 28in wide at 56/in; 8yd long at 56/in; loom "
                                    "waste 0.75m per end (handbook default); weft "
                                    "take-up 10% (handbook default)"));
    EXPECT_EQ(lines[1], "# code\tcolour\tends\tpicks\twarp m\tweft m\ttotal m");
    EXPECT_EQ(lines[2], "B\t43,63,132\t624\t6384\t5032.68\t4994.33\t10027.01");
    EXPECT_EQ(lines[7], "total\t\t1568\t16128\t12646.23\t12617.26\t25263.49");
    EXPECT_EQ(run.errLines(),
              QStringList({"loomara-render: the width holds 8 whole repeats of 182 ends and 112 "
                           "ends of the next.",
                           "loomara-render: the length holds 88 whole repeats of 182 picks and "
                           "112 picks of the next."}));

    // A sett written over two lines still heads the table on one.
    const RenderRun broken =
        render({"K4\nR24", "--yarn", "--width", "28in", "--length", "8yd", "--density", "56/in"});
    EXPECT_TRUE(broken.out.startsWith("# K4 R24; 28in wide")) << broken.out.toStdString();
}

TEST(RenderYarn, ACsvFileHoldsTheSameTableAndNothingIsPrinted) {
    QTemporaryDir dir;
    const QStringList kilt{kKilt, "--yarn",    "--width", "28in",   "--length",
                           "8yd", "--density", "56/in",   "--weft", "K4 Y2"};
    const RenderRun printed = render(kilt);
    const RenderRun saved = render(kilt + QStringList{"-o", dir.filePath("kilt.CSV")});
    ASSERT_EQ(saved.status, kRenderDone) << saved.err.toStdString();
    EXPECT_EQ(saved.out, QString());
    EXPECT_EQ(saved.err, printed.err);

    QStringList rows = QString::fromUtf8(readFile(dir.filePath("kilt.CSV"))).split("\r\n");
    QStringList lines = printed.out.split(u'\n');
    // The terminal names the columns as the CSV does, on a line scripts skip.
    const QString names = rows.takeAt(1);
    EXPECT_EQ(names, "code,colour,ends,picks,warp m,weft m,total m");
    EXPECT_EQ(lines.takeAt(1), "# " + QString(names).replace(u',', u'\t'));
    ASSERT_EQ(rows.size(), lines.size());
    EXPECT_EQ(rows.takeFirst(), lines.takeFirst());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringList fields = lines[i].split(u'\t');
        if (fields.size() > 1 && !fields[1].isEmpty()) {
            fields[1] = '"' + fields[1] + '"';
        }
        EXPECT_EQ(rows[i], fields.join(u','));
    }
}

TEST(RenderYarn, ACsvFileThatCannotBeSavedFailsAndLeavesWhatWasThere) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("taken.csv");
    const QString missing = dir.filePath("missing/yarn.csv");
    const QString taken = dir.filePath("taken.csv");
    const std::pair<QString, QString> cases[]{
        {missing, "the yarn table could not be saved as \"" + missing + "\": "},
        {taken, "-o \"" + taken + "\" cannot be written: there is a folder of that name"},
    };
    for (const auto& [target, start] : cases) {
        const RenderRun run = yarn({"-o", target});
        EXPECT_EQ(run.status, kRenderWriteFailed);
        EXPECT_EQ(run.out, QString());
        EXPECT_TRUE(run.errLines().last().startsWith("loomara-render: " + start))
            << run.err.toStdString();
    }
    EXPECT_TRUE(QFileInfo(dir.filePath("taken.csv")).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{"taken.csv"});
}
