// loomara-render's command line: what it writes, what it refuses and how it says so.

#include "RenderTestSupport.h"
#include "formats/WifReader.h"

#include "collection/ReferenceEntries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace loomara;
using namespace loomara::testing;

namespace {

class RenderCommand : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    // The file the run wrote, which must have succeeded quietly.
    QByteArray written(const QStringList& arguments, const QString& name) const {
        const RenderRun run = render(arguments + QStringList{"-o", path(name)});
        EXPECT_EQ(run.status, kRenderDone) << run.err.toStdString();
        EXPECT_EQ(run.err, QString());
        return readFile(path(name));
    }

    QTemporaryDir dir;
};

// The lines of a draft without their CR LF ends.
QStringList draftLines(const QByteArray& bytes) {
    return QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
}

} // namespace

TEST_F(RenderCommand, EveryRefusalAndFailureIsOneLineWithItsStatusAndWritesNothing) {
    const QString png = path("out.png");
    const QString wif = path("out.wif");
    // Suggestions take time in proportion to the name, however long.
    const QString longName = "Aberdeen University" + QString(100000, u'x');
    struct Case {
        QStringList arguments;
        int status;
        QString line;
    };
    const QList<Case> cases{
        {{"k8", "--bogus", "-o", png}, 2, "unknown option 'bogus'. See loomara-render --help."},
        {{"k8", "-o"}, 2, "missing value after '-o'. See loomara-render --help."},
        {{"k8"}, 2, "no output file: give one with -o FILE, ending in .bmp, .png or .wif."},
        {{"k8", "-o", path("out.jpg")},
         2,
         "cannot tell what to write to \"" + path("out.jpg") +
             "\": the file name must end in .bmp, .png or .wif."},
        {{"k8", "-o", png, "-o", path("b.png")}, 2, "-o is given more than once; give it once."},

        {{"-o", png},
         2,
         "no sett given: write one (e.g. \"B/24 W4 B24 R2 K24 G24 W/2\") or take one from the "
         "lists with --name \"NAME\"."},
        {{"k8", "--cloth", "-o", wif},
         2,
         "--cloth draws a picture; a .wif draft holds the same cloth as threads. Give a .png or "
         ".bmp file."},
        {{"k8", "--cloth", "--background", "w", "-o", png},
         2,
         "--background is not for cloth and drafts (--cloth, .wif); it is for the designer's "
         "picture."},
        {{"k8", "--weft", "w4", "-o", png},
         2,
         "--weft is not for the designer's picture; it is for cloth and drafts (--cloth, .wif), "
         "the cloth as woven (--as-woven) and --yarn."},
        {{"k8", "--cloth", "--weave", "satin", "-o", png},
         2,
         "--weave: there is no weave \"satin\"; the weaves are twill, plain, 2/1, 3/1, point and "
         "hopsack (twill unless given)."},
        {{"k8", "--weave", "plain", "-o", png},
         2,
         "--weave is not for the designer's picture; it is for cloth and drafts (--cloth, .wif), "
         "the cloth as woven (--as-woven) and --yarn."},
        {{"k8", "--threads-per-cm", "12", "-o", png},
         2,
         "--threads-per-cm is not for the designer's picture; it is for cloth and drafts (--cloth, "
         ".wif) and the cloth as woven (--as-woven)."},
        {{"k8", "--cloth", "--threads-per-inch", "56", "--threads-per-cm", "12", "-o", png},
         2,
         "--threads-per-inch and --threads-per-cm cannot be used together; give one of them."},
        {{"k8", "--cloth", "--threads-per-cm", "0.009", "-o", png},
         2,
         "--threads-per-cm takes a number of threads from 0.01 to 1000, in plain digits with no "
         "sign or exponent, e.g. 56 or 12.5, not \"0.009\"."},
        {{"k8", "--cloth", "--threads-per-inch", "1e3", "-o", png},
         2,
         "--threads-per-inch takes a number of threads from 0.0254 to 2540, in plain digits with "
         "no sign or exponent, e.g. 56 or 12.5, not \"1e3\"."},
        {{"k10000", "--cloth", "--repeats", "2", "--scale", "8", "-o", png},
         2,
         "the cloth picture would be 160000 x 160000 pixels, more than the 40000000 a picture "
         "may hold; weave fewer repeats or a smaller scale."},
        {{"k8", "r4", "-o", png},
         2,
         "give the sett as one argument; quote a sett written with blanks, e.g. \"K4 R24 K24 "
         "Y4\"."},
        {{"k8", "--name", "Aberdeen University", "-o", png},
         2,
         "give either a sett or --name, not both."},
        {{"--name", " ", "-o", png}, 2, "--name needs the name of an entry of the lists."},
        {{"k8", "--brighten", "1", "--darken", "1", "-o", png},
         2,
         "--brighten and --darken cannot be used together; give one of them."},
        {{"k8", "--brighten", "10", "-o", png},
         2,
         "--brighten takes a whole number from 0 to 9, in digits only, not \"10\"."},
        {{"k8", "--darken", "-1", "-o", png},
         2,
         "--darken takes a whole number from 0 to 9, in digits only, not \"-1\"."},
        {{"k8", "--scale", "9", "-o", png},
         2,
         "--scale takes a whole number from 1 to 8, in digits only, not \"9\"."},
        {{"k8", "--scale", "0", "-o", png},
         2,
         "--scale takes a whole number from 1 to 8, in digits only, not \"0\"."},
        {{"k8", "--scale", "2x", "-o", png},
         2,
         "--scale takes a whole number from 1 to 8, in digits only, not \"2x\"."},
        {{"k8", "--scale", "2", "-o", wif},
         2,
         "--scale is for pictures; a .wif draft has no pixels to scale."},
        {{"k8", "--background", "w", "-o", wif},
         2,
         "--background is not for cloth and drafts (--cloth, .wif); it is for the designer's "
         "picture."},
        {{"k8", "--repeats", "2", "-o", png},
         2,
         "--repeats is not for the designer's picture; it is for cloth and drafts (--cloth, "
         ".wif) and the cloth as woven (--as-woven)."},
        {{"k8", "--repeats", "0", "-o", wif},
         2,
         "--repeats takes a whole number from 1 to 100000, in digits only, not \"0\"."},
        {{"k8", "--background", "zz", "-o", png},
         2,
         "--background: \"zz\" is not a colour code of the palette."},
        {{"k0", "-o", png},
         2,
         "the sett is 0 threads wide, too narrow for its woven picture to hold a pixel; widen the "
         "sett."},
        {{"k0", "-o", wif},
         2,
         "the sett cannot be drafted: every stripe has a thread count of 0, so there are no "
         "threads to weave."},
        {{"k3000R3000", "--repeats", "20", "-o", wif},
         2,
         "the sett cannot be drafted: 20 repeats of 6000 threads make 120000 threads each way, "
         "more than the 100000 a draft may hold; weave fewer repeats."},
        {{"--name", "Zzyzx Nowhere", "-o", png},
         2,
         "no entry of the lists is named \"Zzyzx Nowhere\". --list prints every name."},
        {{"--name", "Zzyzx\nNowhere\x1b[2J", "-o", png},
         2,
         "no entry of the lists is named \"Zzyzx\\nNowhere\\e[2J\". --list prints every name."},
        {{"--name", longName, "-o", png},
         2,
         "no entry of the lists is named \"" + longName +
             "\"; names that start with \"Aberdeen University\": \"Aberdeen University\". "
             "--list prints every name."},
        {{"k8", "-o", path("a\u009b\r.jpg")},
         2,
         "cannot tell what to write to \"" + path("a\\x9b\\r.jpg") +
             "\": the file name must end in .bmp, .png or .wif."},
        {{"--gallery", ""}, 2, "--gallery needs the name of a folder, e.g. --gallery gallery."},
        {{"--gallery", " "}, 2, "--gallery needs the name of a folder, e.g. --gallery gallery."},
        {{"--list", "-o", png},
         2,
         "-o is not for --list; it is for the designer's picture, cloth and drafts (--cloth, "
         ".wif), "
         "the cloth as woven (--as-woven) and --yarn."},
        {{"k8", "--gallery", path("gallery")}, 2, "--gallery takes no sett; \"k8\" is not for it."},
        {{"k8", "-o", path("missing/out.png")},
         1,
         "the picture could not be saved as \"" + path("missing/out.png") + "\": the folder \"" +
             path("missing") +
             "\" does not exist. Nothing was written; a file already there is unchanged."},
        {{"k8", "-o", path("missing/out.wif")},
         1,
         "the draft could not be saved as \"" + path("missing/out.wif") + "\": the folder \"" +
             path("missing") +
             "\" does not exist. Nothing was written; a file already there is unchanged."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const RenderRun run = render(c.arguments);
        EXPECT_EQ(run.status, c.status);
        EXPECT_EQ(run.errLines(), QStringList{"loomara-render: " + c.line});
        EXPECT_EQ(run.out, QString());
    }
    // However long the count, the refusal repeats its start and the place about the caret.
    const RenderRun longCount = render({"y" + QString(130000, u'9'), "-o", png});
    EXPECT_EQ(longCount.status, 2);
    EXPECT_EQ(longCount.errLines().value(0),
              "loomara-render: at character 2: the thread count "
              "999999999999999999999999999999\u2026 is above 10000, the most a stripe may hold.");
    EXPECT_EQ(longCount.errLines().size(), 3);
    EXPECT_LT(longCount.err.size(), 400);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty())
        << "a refused run left a file behind";
}

TEST_F(RenderCommand, AnOutputThatIsNoRegularFileIsSaidForWhatItIsAndLeftAsItIs) {
    ASSERT_EQ(mkfifo(QFile::encodeName(path("pipe.png")).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.csv"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    struct Case {
        QStringList mode;
        QString target;
        QString what;
    };
    const QString device = "it is a character device, not a regular file";
    const QList<Case> cases{
        {{"k8"}, "/dev/null", device},
        {{"k8", "--cloth"}, "/dev/null", device},
        {{"k8", "--yarn", "--width", "1m", "--length", "1m", "--density", "9/cm"},
         "/dev/null",
         device},
        {{"k8"}, path("pipe.png"), "it is a FIFO (a named pipe), not a regular file"},
        {{"k8"}, path("folder"), "there is a folder of that name"},
        {{"k8", "--yarn", "--width", "1m", "--length", "1m", "--density", "9/cm"},
         path("folder.csv"),
         "there is a folder of that name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.mode.join(' ') + " -o " + c.target).toStdString());
        const RenderRun run = render(c.mode + QStringList{"-o", c.target});
        EXPECT_EQ(run.status, kRenderWriteFailed);
        EXPECT_EQ(run.errLines(), QStringList{"loomara-render: -o \"" + c.target +
                                              "\" cannot be written: " + c.what +
                                              ". -o writes regular files only, new or replaced; "
                                              "nothing was changed."});
    }
    struct stat pipe {};
    ASSERT_EQ(stat(QFile::encodeName(path("pipe.png")).constData(), &pipe), 0);
    EXPECT_TRUE(S_ISFIFO(pipe.st_mode));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System),
              (QStringList{"folder", "folder.csv", "pipe.png"}));
    EXPECT_TRUE(QDir(path("folder")).isEmpty());
}

TEST_F(RenderCommand, AGalleryThatCannotBeWrittenFailsWithTheReason) {
    writeFile(path("taken"), "not a folder");
    const RenderRun run = render({"--gallery", path("taken")});
    EXPECT_EQ(run.status, kRenderRefused);
    EXPECT_EQ(run.errLines(),
              QStringList{"loomara-render: the gallery will not write into \"" + path("taken") +
                          "\": it is a file, not a folder. Nothing was changed; give an empty or "
                          "new folder."});
    EXPECT_EQ(readFile(path("taken")), "not a folder");

    QDir().mkpath(path("mine"));
    writeFile(path("mine/cat.png"), "the user's cat");
    QDir().mkpath(path("g"));
    QFile::link(path("mine"), path("g/pictures"));
    const RenderRun linked = render({"--gallery", path("g")});
    EXPECT_EQ(linked.status, kRenderRefused);
    EXPECT_EQ(linked.errLines(),
              QStringList{"loomara-render: the gallery will not write into \"" + path("g") +
                          "\": \"pictures\" is a symbolic link (the only name in the way). "
                          "Nothing was changed; give an empty or new folder."});
    EXPECT_EQ(QDir(path("g")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
              QStringList{"pictures"});
    EXPECT_EQ(QDir(path("mine")).entryList(QDir::Files), QStringList{"cat.png"});
}

TEST_F(RenderCommand, ARefusedSettShowsItsPlaceWithACaretAndLeavesTheOldFile) {
    const QString target = path("kept.bmp");
    writeFile(target, "old");
    const QString twentyTwo = QStringLiteral("k2").repeated(22);
    struct Case {
        QStringList arguments;
        QStringList lines;
    };
    const QList<Case> cases{
        {{"y8b32zz28"},
         {"loomara-render: at character 6: \"zz\" is not a colour code of the palette.",
          "  y8b32zz28", "       ^"}},
        {{"K10, R2.5, "},
         {"loomara-render: at character 7: \"2.5\" is not a whole thread count; write the count "
          "in digits alone.",
          "  K10, R2.5, ", "        ^"}},
        {{"--name", "Virginia Military Institute, New Market"},
         {"loomara-render: the sett of \"Virginia Military Institute, New Market\" (list V to Z, "
          "line 15) cannot be woven: at character 80: \"]\" splits the sett in two; only one run "
          "of colour codes and counts can be woven.",
          "  Virginia Military Institute, New Market                 "
          "y12r60n4k6n60g6n4r50w12]y12r60n4o6n60j6n4r50w12",
          "  " + QString(79, ' ') + '^'}},
        {{"K8 dr4"},
         {"loomara-render: at character 4: \"dr\" is not a colour code of the palette.", "  K8 dr4",
          "     ^"}},
        {{"K2\tzz4"},
         {"loomara-render: at character 4: \"zz\" is not a colour code of the palette.",
          "  K2\\tzz4", "      ^"}},
        {{"K1, R\x1b[7m2\x1b[0m, "},
         {"loomara-render: at character 6: the character U+001B is neither a colour code nor a "
          "thread count.",
          "  K1, R\\e[7m2\\e[0m, ", "       ^"}},
    };
    for (const Case& c : cases) {
        for (const QString& file : {target, path("kept.wif")}) {
            SCOPED_TRACE((c.arguments.join(' ') + " -o " + file).toStdString());
            const RenderRun run = render(c.arguments + QStringList{"-o", file});
            EXPECT_EQ(run.status, kRenderRefused);
            EXPECT_EQ(run.errLines(), c.lines);
        }
    }
    EXPECT_EQ(readFile(target), "old");
    EXPECT_FALSE(QFileInfo::exists(path("kept.wif")));

    // The designer's 21 slots limit its picture alone; the cloth and the draft take the sett.
    const RenderRun run = render({twentyTwo, "-o", target});
    EXPECT_EQ(run.status, kRenderRefused);
    EXPECT_EQ(run.errLines(),
              (QStringList{"loomara-render: the sett cannot be entered: at character 43: the sett "
                           "has 22 stripes; the designer's window holds at most 21.",
                           "  " + twentyTwo, "  " + QString(42, ' ') + '^'}));
    EXPECT_EQ(readFile(target), "old");
    EXPECT_FALSE(written({twentyTwo}, "many.wif").isEmpty());
    EXPECT_EQ(render({"k8", "--cloth", "--weft", "k4 zz4", "-o", target}).errLines(),
              (QStringList{"loomara-render: --weft: at character 4: \"zz\" is not a colour code "
                           "of the palette.",
                           "  k4 zz4", "     ^"}));
    EXPECT_FALSE(written({twentyTwo, "--cloth"}, "many.png").isEmpty());
}

TEST_F(RenderCommand, ANamedEntryWeavesItsListedSett) {
    const QByteArray written = this->written({"y8b32k28r60y8"}, "written.bmp");
    ASSERT_FALSE(written.isEmpty());
    EXPECT_EQ(this->written({"--name", "Aberdeen University"}, "named.bmp"), written);
    EXPECT_EQ(this->written({"--name", "aberdeen UNIVERSITY"}, "any-case.bmp"), written);
    // The notation box's form of the same sett weaves the same picture.
    EXPECT_EQ(this->written({"y8, b32, k28, r60, y8, "}, "notation.bmp"), written);

    // Several entries of one name: the first is woven, and the run says how many there are.
    const RenderRun several = render({"--name", "Abercrombie", "-o", path("several.bmp")});
    EXPECT_EQ(several.status, kRenderDone);
    EXPECT_EQ(several.out, "");
    EXPECT_EQ(
        several.errLines(),
        QStringList{"loomara-render: \"Abercrombie\" names 5 entries of the lists; the first, "
                    "b14k4b4k4b4k14g14w2g28, is used."});
    EXPECT_EQ(readFile(path("several.bmp")), this->written({"b14k4b4k4b4k14g14w2g28"}, "b.bmp"));

    // A name not in the lists: those that start with the same letters, longest start first.
    const RenderRun misspelt = render({"--name", "Aberden University", "-o", path("x.bmp")});
    EXPECT_EQ(misspelt.status, kRenderRefused);
    EXPECT_EQ(misspelt.errLines(),
              QStringList{"loomara-render: no entry of the lists is named \"Aberden University\"; "
                          "names that start with \"Aberde\": \"Aberdeen\", \"Aberdeen F.C.\", "
                          "\"Aberdeen University\". --list prints every name."});
    const RenderRun many = render({"--name", "Macx", "-o", path("x.bmp")});
    EXPECT_TRUE(many.err.contains(QRegularExpression(
        "names that start with \"Mac\": (\"[^\"]+\", ){4}\"[^\"]+\" and \\d+ more\\.")))
        << many.err.toStdString();
}

TEST_F(RenderCommand, ScaleDrawsEveryPixelAsABlockAndLeavesTheWeaveAlone) {
    ASSERT_FALSE(written({"r12k4g12y12", "--background", "w"}, "one.png").isEmpty());
    ASSERT_FALSE(
        written({"r12k4g12y12", "--background", "w", "--scale", "3"}, "three.png").isEmpty());
    ASSERT_FALSE(
        written({"r12k4g12y12", "--background", "w", "--scale", "1"}, "same.png").isEmpty());
    const QImage one = QImage(path("one.png")).convertToFormat(QImage::Format_RGB32);
    const QImage three = QImage(path("three.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(one.isNull());
    EXPECT_EQ(QImage(path("same.png")).convertToFormat(QImage::Format_RGB32), one);
    ASSERT_EQ(three.size(), one.size() * 3);
    int differing = 0;
    for (int y = 0; y < three.height(); ++y) {
        for (int x = 0; x < three.width(); ++x) {
            differing += three.pixel(x, y) != one.pixel(x / 3, y / 3);
        }
    }
    EXPECT_EQ(differing, 0);

    // The bitmap writer takes the scaled picture too.
    ASSERT_FALSE(
        written({"r12k4g12y12", "--background", "w", "--scale", "3"}, "three.bmp").isEmpty());
    EXPECT_EQ(QImage(path("three.bmp")).convertToFormat(QImage::Format_RGB32), three);
}

TEST_F(RenderCommand, ADraftIsWrittenWithTitleDateProgramAndShadedColours) {
    const QStringList named = draftLines(written({"--name", "Aberdeen University"}, "a.wif"));
    ASSERT_FALSE(named.isEmpty());
    EXPECT_EQ(named.first(), "[WIF]");
    EXPECT_TRUE(named.contains("Title=Aberdeen University"));
    EXPECT_TRUE(named.contains("Source Program=loomara-render"));
    EXPECT_TRUE(named.contains("Source Version=" LOOMARA_VERSION));
    EXPECT_TRUE(named.contains("Developers=loomara@example.invalid"));
    // Today's date in English whatever the user's locale, e.g. "December 8, 2026".
    EXPECT_EQ(named
                  .filter(QRegularExpression("^Date=(January|February|March|April|May|June|"
                                             "July|August|September|October|November|December) "
                                             "[1-9]\\d?, \\d{4}$"))
                  .size(),
              1)
        << named.mid(0, 4).join(" | ").toStdString();
    // y8 b32 k28 r60 y8 and back without the pivots: 8+32+28+60+8+60+28+32 threads.
    EXPECT_TRUE(named.contains("Threads=256"));

    // A written sett is titled by its notation; the palette's colours after the shade steps.
    const QStringList brightened =
        draftLines(written({" k8W4 ", "--brighten", "2", "--repeats", "3"}, "k.wif"));
    EXPECT_TRUE(brightened.contains("Title=k8W4"));
    EXPECT_TRUE(brightened.contains("Threads=36"));
    const qsizetype table = brightened.indexOf("[COLOR TABLE]");
    ASSERT_GE(table, 0);
    EXPECT_EQ(brightened.mid(table + 1, 2), (QStringList{"1=60,60,60", "2=255,255,255"}));
    const QStringList darkened = draftLines(written({"k8W4", "--darken", "1"}, "d.wif"));
    const qsizetype darkTable = darkened.indexOf("[COLOR TABLE]");
    EXPECT_EQ(darkened.mid(darkTable + 1, 2), (QStringList{"1=0,0,0", "2=220,220,220"}));

    // A draft replaces the file of its name.
    writeFile(path("k.wif"), "old");
    EXPECT_TRUE(written({"k8W4"}, "k.wif").startsWith("[WIF]\r\n"));
}

TEST_F(RenderCommand, ListPrintsEveryWovenNamedSettHelpAndVersionPrintThemselves) {
    const RenderRun list = render({"--list"});
    EXPECT_EQ(list.status, kRenderDone);
    EXPECT_EQ(list.err, QString());
    const QStringList lines = list.out.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.contains("Aberdeen University\ty8b32k28r60y8"));
    EXPECT_FALSE(list.out.contains("Virginia Military Institute, New Market\t"));
    EXPECT_GT(lines.size(), 2500);
    for (const QString& line : lines) {
        const QStringList parts = line.split(u'\t');
        ASSERT_EQ(parts.size(), 2) << line.toStdString();
        EXPECT_FALSE(parts[0].isEmpty());
        EXPECT_TRUE(readSett(parts[1]).ok()) << line.toStdString();
    }

    const RenderRun version = render({"--version"});
    EXPECT_EQ(version.status, kRenderDone);
    EXPECT_EQ(version.out, "loomara-render " LOOMARA_VERSION "\n");

    const RenderRun help = render({"--help", "--scale", "99"});
    EXPECT_EQ(help.status, kRenderDone);
    EXPECT_TRUE(help.out.startsWith("Usage: loomara-render SETT -o FILE [options]\n"));
    for (const char* option : {"--output", "--name", "--list", "--background", "--brighten",
                               "--darken", "--scale", "--repeats", "--help", "--version"}) {
        EXPECT_TRUE(help.out.contains(QString::fromLatin1(option))) << option;
    }
    EXPECT_TRUE(help.out.contains("Exit status: 0"));
    EXPECT_EQ(help.err, QString());
}

TEST_F(RenderCommand, TheClothIsTheDrawdownOfTheDraftItWritesAndPrintsAtItsTrueSize) {
    struct Case {
        QStringList arguments;
        QString note; // how an unmarked sett was read, on stderr
    };
    const QList<Case> cases{
        {{"B/24 W4 B24 R2 K24 G24 W/2", "--repeats", "2"}, {}},
        {{"...K4 R24 K24 Y4...", "--weft", "W/8 K2 W/8", "--darken", "2"}, {}},
        {{"--name", "Stewart Hunting", "--brighten", "1"},
         "loomara-render: \"Stewart Hunting\" names 8 entries of the lists; the first, "
         "b9g4b31g4b31g4b9g37r3g37k9b4k2b3k2b31g4b31k2b3k2b4k9g37y3g37, is used."},
        {{"...K4 R24 K24 Y4...", "--weft", "W/8 K2 W/8", "--weave", "point"}, {}},
        {{"B/24 W4 B24 R2 K/24", "--weave", "2/1", "--repeats", "2"}, {}},
        {{"B/5 W/4", "--weave", "Hopsack"}, {}},
        {{"K4 R24 K24 Y4"},
         "loomara-render: read \"K/4 R24 K24 Y/4\" as symmetric, mirrored about its first and "
         "last stripe; write \"...K4 R24 K24 Y4...\" for a straight repeat."},
        {{"B/24 R0 K/8", "--weft", "...W4 G0 K0..."},
         "loomara-render: 1 stripe of no threads (R0) in the sett is woven as nothing.\n"
         "loomara-render: 2 stripes of no threads (G0 K0) in the weft sett are woven as nothing."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        for (const QString name : {"cloth.png", "cloth.wif"}) {
            const RenderRun run = render(c.arguments + QStringList{"--cloth", "-o", path(name)}.mid(
                                                           name.endsWith(".wif") ? 1 : 0));
            EXPECT_EQ(run.status, kRenderDone) << run.err.toStdString();
            EXPECT_EQ(run.err.trimmed(), c.note);
        }
        EXPECT_EQ(QImage(path("cloth.png")).convertToFormat(QImage::Format_RGB32),
                  drawdownOf(readWif(readFile(path("cloth.wif")))));
    }

    // 56 threads to the inch, each thread 3 pixels wide: 6,614 pixels to the metre, in the PNG
    // and in the bitmap alike.
    for (const QString name : {"true.png", "true.bmp"}) {
        written({"k8r8", "--cloth", "--scale", "3", "--threads-per-inch", "56"}, name);
        EXPECT_EQ(QImage(path(name)).dotsPerMeterX(), 6614) << name.toStdString();
        EXPECT_EQ(QImage(path(name)).dotsPerMeterY(), 6614) << name.toStdString();
    }
    written({"k8r8", "--cloth", "--threads-per-cm", "12.5"}, "metric.png");
    EXPECT_EQ(QImage(path("metric.png")).dotsPerMeterX(), 1250);
    // The draft of that cloth spaces its threads alike.
    const Wif draft = readWif(written({"k8r8", "--threads-per-cm", "12.5"}, "metric.wif"));
    EXPECT_TRUE(draft["WARP"].contains("Spacing=0.08"));
    EXPECT_TRUE(draft["WEFT"].contains("Thickness=0.08"));
}
