#include "gallery/Gallery.h"

#include "cloth/Cloth.h"
#include "entry/Designer.h"
#include "entry/EnterSett.h"
#include "sett/SettText.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "io/io_test_support.h"
#include "support/AsOrdinaryUser.h"
#include "support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace loomara {
namespace {

// Everything under root by its relative name: a file as its bytes, a symbolic link as where it
// leads, without following it.
QMap<QString, QByteArray> everything(const QString& root) {
    QMap<QString, QByteArray> found;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        found[info.filePath().mid(root.size() + 1)] =
            info.isSymLink() ? "link to " + info.symLinkTarget().toUtf8()
            : info.isDir()   ? QByteArray("folder")
            : info.isFile()  ? testing::readFile(info.filePath())
                             : QByteArray("special");
    }
    return found;
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    EXPECT_TRUE(testing::writeFile(path, bytes)) << path.toStdString();
}

QImage wovenInWindow(const QString& sett) {
    Designer designer;
    EXPECT_FALSE(enterAndWeave(designer, SettEntry{readSett(sett).sett}));
    return designer.form.weavePicture.image().convertToFormat(QImage::Format_RGB32);
}

QString twentyTwoStripes() {
    QString sett;
    for (int i = 0; i < 11; ++i) {
        sett += QStringLiteral("K2R2");
    }
    return sett;
}

// Two pages: a name that repeats and holds punctuation, a sett of more stripes than the designer
// holds, a name with nothing after it, an unknown code, setts 1 and 0 threads wide, then a second
// page.
QList<GalleryPage> smallPages() {
    const QString first = QStringLiteral("Aberdeen University  y8b32k28r60y8\r\n"
                                         "Clan X's \"Best\" <Dress>  K4R24K24\r\n"
                                         "Clan X's \"Best\" <Dress>  G10W4\r\n"
                                         "Too Many  ") +
                          twentyTwoStripes() +
                          QStringLiteral("\r\n"
                                         "Orphan Name\r\n"
                                         "Zed  Q5K4\r\n"
                                         "Thin  k1\r\n"
                                         "Empty  k0");
    return {{QStringLiteral("A to M"), first},
            {QStringLiteral("N to Z & more"), QStringLiteral("Wilson  W10K10")}};
}

GalleryOptions twoThreads() {
    GalleryOptions options;
    options.date = QStringLiteral("December 8, 2026");
    options.threads = 2;
    return options;
}

class GalleryTest : public ::testing::Test {
protected:
    QString file(const QString& relative) const { return dir_ + u'/' + relative; }
    bool exists(const QString& relative) const { return QFileInfo::exists(file(relative)); }

    QTemporaryDir temporary_;
    QString dir_ = temporary_.path() + QStringLiteral("/gallery");
};

TEST_F(GalleryTest, WeavesEveryReadableEntryAsClothAndAsTheWindowWouldWhereItCan) {
    const GalleryResult result = writeGallery(dir_, smallPages(), twoThreads());
    ASSERT_TRUE(result.ok()) << result.failure->toStdString();
    EXPECT_EQ(result.woven, 6);
    EXPECT_EQ(result.designer, 4);
    EXPECT_EQ(result.skipped, 3);
    EXPECT_EQ(result.files, 6 * 3 + 4 + 2);

    const std::vector<std::pair<QString, QString>> woven{
        {QStringLiteral("aberdeen-university"), QStringLiteral("y8b32k28r60y8")},
        {QStringLiteral("clan-xs-best-dress"), QStringLiteral("K4R24K24")},
        {QStringLiteral("clan-xs-best-dress-2"), QStringLiteral("G10W4")},
        {QStringLiteral("too-many"), twentyTwoStripes()},
        {QStringLiteral("thin"), QStringLiteral("k1")},
        {QStringLiteral("wilson"), QStringLiteral("W10K10")},
    };
    for (const auto& [stem, sett] : woven) {
        SCOPED_TRACE(stem.toStdString());
        const Sett read = readSett(sett).sett;
        const QImage cloth(file(QStringLiteral("cloth/%1.png").arg(stem)));
        ASSERT_FALSE(cloth.isNull());
        const int repeats = cloth.width() / static_cast<int>(threadsPerRepeat(read));
        EXPECT_GE(cloth.width(), kClothThreads);
        EXPECT_LT(cloth.width() - threadsPerRepeat(read), kClothThreads);
        EXPECT_EQ(cloth.convertToFormat(QImage::Format_RGB32),
                  clothPicture(clothThreads(read, repeats, 0).threads));
        EXPECT_EQ(QImage(file(QStringLiteral("thumbs/%1.jpg").arg(stem))).size(),
                  QSize(kThumbnailSize, kThumbnailSize));

        const QByteArray draft = testing::readFile(file(QStringLiteral("drafts/%1.wif").arg(stem)));
        EXPECT_TRUE(draft.startsWith("[WIF]")) << draft.left(40).toStdString();
        EXPECT_TRUE(draft.contains("\r\nDevelopers=loomara@example.invalid\r\n"));

        const QImage picture(file(QStringLiteral("pictures/%1.png").arg(stem)));
        if (read.stripes.size() <= 21 && threadsPerRepeat(read) > 1) {
            EXPECT_EQ(picture.convertToFormat(QImage::Format_RGB32), wovenInWindow(sett));
        } else {
            EXPECT_TRUE(picture.isNull());
        }
    }
    // The list of the gallery's own files names exactly the files it wrote.
    QStringList onDisk;
    for (const QString folder : {"cloth", "thumbs", "drafts", "pictures"}) {
        for (const QString& name : QDir(file(folder)).entryList(QDir::Files)) {
            onDisk.append(folder + u'/' + name);
        }
    }
    onDisk.append(QStringLiteral("index.html"));
    onDisk.sort();
    QStringList listed;
    const QList<QByteArray> lines =
        testing::readFile(file(QStringLiteral(".loomara-gallery"))).split('\n');
    EXPECT_EQ(lines.first(), "loomara-gallery 1");
    for (const QByteArray& line : lines.sliced(1, lines.size() - 2)) {
        const QList<QByteArray> fields = line.split(' ');
        ASSERT_EQ(fields.size(), 3) << line.toStdString();
        EXPECT_EQ(fields[0].toLongLong(), QFileInfo(file(QString::fromUtf8(fields[2]))).size());
        listed.append(QString::fromUtf8(fields[2]));
    }
    EXPECT_EQ(listed, onDisk);
}

TEST_F(GalleryTest, IndexShowsCardsByPageAndTheEntriesItCannotWeaveWithTheirReasons) {
    ASSERT_TRUE(writeGallery(dir_, smallPages(), twoThreads()).ok());
    const QString index = QString::fromUtf8(testing::readFile(file(QStringLiteral("index.html"))));

    // Names, notations and titles are text, never markup.
    EXPECT_TRUE(index.contains(u"<b>Clan X's &quot;Best&quot; &lt;Dress&gt;</b>"));
    EXPECT_FALSE(index.contains(u"<Dress>"));
    EXPECT_TRUE(index.contains(u"<h2>N to Z &amp; more</h2>"));
    EXPECT_TRUE(index.contains(u"<figure id=\"card-clan-xs-best-dress-2\" "
                               u"data-name=\"clan x's &quot;best&quot; &lt;dress&gt;\">"
                               u"<a href=\"cloth/clan-xs-best-dress-2.png\"><img "
                               u"src=\"thumbs/clan-xs-best-dress-2.jpg\" width=\"160\" "
                               u"height=\"160\""));
    EXPECT_TRUE(index.contains(
        u"<code>G10W4</code><span><a href=\"cloth/clan-xs-best-dress-2.png\">"
        u"cloth</a> · <a href=\"drafts/clan-xs-best-dress-2.wif\">draft of a repeat</a> "
        u"· <a href=\"pictures/clan-xs-best-dress-2.png\">designer</a>"));
    EXPECT_TRUE(index.contains(
        u"<b>Too Many</b><code>K2R2K2R2K2R2K2R2K2R2K2R2K2R2K2R2K2R2K2R2K2R2"
        u"</code><span><a href=\"cloth/too-many.png\">cloth</a> · <a "
        u"href=\"drafts/too-many.wif\">draft of a repeat</a></span><small>Not in the "
        u"designer: the sett has 22 stripes; the designer's window holds "
        u"at most 21.</small>"));

    // Each page's cards, then what it could not weave, before the next page starts.
    const qsizetype firstPage = index.indexOf(u"<h2>A to M</h2>");
    const qsizetype lastCard = index.indexOf(u"<b>Thin</b>");
    const qsizetype notWoven = index.indexOf(u"<h3>Not woven</h3>");
    const qsizetype empty =
        index.indexOf(u"<li data-name=\"empty\"><b>Empty</b> <code>k0</code> line 8: the sett "
                      u"cannot be woven as cloth: every stripe has a thread "
                      u"count of 0");
    const qsizetype orphan =
        index.indexOf(u"<li data-name=\"orphan name\"><b>Orphan Name</b> <code></code> line 5: "
                      u"there is no sett after the name.</li>");
    const qsizetype zed =
        index.indexOf(u"<li data-name=\"zed\"><b>Zed</b> <code>Q5K4</code> line 6: at character");
    const qsizetype secondPage = index.indexOf(u"<h2>N to Z &amp; more</h2>");
    const qsizetype wilson = index.indexOf(u"<b>Wilson</b>");
    for (const qsizetype at :
         {firstPage, lastCard, notWoven, empty, orphan, zed, secondPage, wilson}) {
        ASSERT_GE(at, 0) << index.toStdString();
    }
    EXPECT_LT(firstPage, lastCard);
    EXPECT_LT(lastCard, notWoven);
    EXPECT_LT(notWoven, orphan);
    EXPECT_LT(orphan, zed);
    EXPECT_LT(zed, empty);
    EXPECT_LT(empty, secondPage);
    EXPECT_LT(secondPage, wilson);
    // The second page has nothing it cannot weave, so no such list.
    EXPECT_EQ(index.indexOf(u"<h3>", secondPage), -1);
}

TEST_F(GalleryTest, RunningAgainReplacesTheGalleryAndLeavesOtherFilesAlone) {
    ASSERT_TRUE(writeGallery(dir_, smallPages(), twoThreads()).ok());
    QFile::copy(file(QStringLiteral("pictures/wilson.png")), file(QStringLiteral("notes.png")));
    QFile::copy(file(QStringLiteral("index.html")), file(QStringLiteral("pictures/readme.txt")));
    // A picture of the user's own in the gallery's folder, named as the gallery names its own.
    QFile::copy(file(QStringLiteral("pictures/wilson.png")),
                file(QStringLiteral("pictures/my-photo.png")));

    const QList<GalleryPage> fewer{
        {QStringLiteral("Only"), QStringLiteral("Wilson  W10K10\r\nBrown  B8K8")}};
    const GalleryResult again = writeGallery(dir_, fewer, twoThreads());
    ASSERT_TRUE(again.ok());
    EXPECT_EQ(again.woven, 2);

    for (const char* folder : {"cloth", "pictures", "thumbs", "drafts"}) {
        QStringList names = QDir(file(QLatin1StringView(folder))).entryList(QDir::Files);
        names.removeAll(QStringLiteral("readme.txt"));
        names.removeAll(QStringLiteral("my-photo.png"));
        EXPECT_EQ(names.size(), 2) << folder << ": " << names.join(u' ').toStdString();
    }
    EXPECT_FALSE(exists(QStringLiteral("pictures/aberdeen-university.png")));
    EXPECT_FALSE(exists(QStringLiteral("thumbs/clan-xs-best-dress.jpg")));
    EXPECT_FALSE(exists(QStringLiteral("drafts/clan-xs-best-dress-2.wif")));
    EXPECT_TRUE(exists(QStringLiteral("thumbs/brown.jpg")));
    EXPECT_TRUE(exists(QStringLiteral("notes.png")));
    EXPECT_TRUE(exists(QStringLiteral("pictures/readme.txt")));
    EXPECT_TRUE(exists(QStringLiteral("pictures/my-photo.png")));
    const QByteArray index = testing::readFile(file(QStringLiteral("index.html")));
    EXPECT_FALSE(index.contains("Aberdeen"));
    EXPECT_TRUE(index.contains("drafts/brown.wif"));
}

TEST_F(GalleryTest, AFileThatCannotBeWrittenFailsTheRunNamingItAndKeepsTheOldIndex) {
    ASSERT_TRUE(writeGallery(dir_, smallPages(), twoThreads()).ok());
    const QByteArray oldIndex = testing::readFile(file(QStringLiteral("index.html")));
    ASSERT_TRUE(QFile::remove(file(QStringLiteral("drafts/wilson.wif"))));
    ASSERT_TRUE(QDir().mkpath(file(QStringLiteral("drafts/wilson.wif"))));

    const GalleryResult result = writeGallery(dir_, smallPages(), twoThreads());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(*result.refusal,
              QStringLiteral("\"drafts/wilson.wif\" is a folder (the only name in the way)"));
    EXPECT_EQ(result.files, 0);
    EXPECT_EQ(testing::readFile(file(QStringLiteral("index.html"))), oldIndex);
    // Nothing of the earlier run was taken away.
    EXPECT_TRUE(exists(QStringLiteral("pictures/aberdeen-university.png")));

    const QString plainFile = temporary_.path() + QStringLiteral("/plain");
    QFile(plainFile).open(QIODevice::WriteOnly);
    const GalleryResult onFile = writeGallery(plainFile, smallPages(), twoThreads());
    ASSERT_FALSE(onFile.ok());
    EXPECT_EQ(onFile.refusal, u"it is a file, not a folder");
    EXPECT_EQ(onFile.woven, 0);
}

TEST_F(GalleryTest, ProgressRunsOnTheCallingThreadFromNoneToEveryEntry) {
    std::vector<std::pair<int, int>> reports;
    bool elsewhere = false;
    const auto caller = std::this_thread::get_id();
    GalleryOptions options = twoThreads();
    options.threads = 3;
    const GalleryResult result =
        writeGallery(dir_, smallPages(), options, [&](int done, int total) {
            elsewhere = elsewhere || std::this_thread::get_id() != caller;
            reports.emplace_back(done, total);
        });
    ASSERT_TRUE(result.ok());
    EXPECT_FALSE(elsewhere);
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports.front(), std::make_pair(0, 9));
    EXPECT_EQ(reports.back(), std::make_pair(9, 9));
    for (std::size_t i = 1; i < reports.size(); ++i) {
        EXPECT_LT(reports[i - 1].first, reports[i].first);
    }
}

// The gallery's folder as a user may have left it. Before every run the folder holds the user's
// own files beside it; after the run they are byte for byte as they were, and a refused run
// changed nothing at all.
TEST(GalleryFolder, IsWrittenOnlyWhereTheGalleryWroteItsOwnFilesAndNobodyChangedThem) {
    const QList<GalleryPage> pages{{QStringLiteral("Only"), QStringLiteral("Wilson  W10K10")}};
    // The gallery's own names for this page, whatever the case.
    const QStringList own{"cloth/wilson.png",    "thumbs/wilson.jpg", "drafts/wilson.wif",
                          "pictures/wilson.png", "index.html",        ".loomara-gallery"};
    const QString forged =
        QStringLiteral("loomara-gallery 1\n6 %1 pictures/my-cat.png\n").arg(QString(64, u'0'));
    using Setup = std::function<void(const QString& dir, const QString& outside)>;
    struct Case {
        std::string what;
        QString dir; // relative to the test's folder
        bool earlierRun;
        Setup setup;
        QString refusal; // empty when the run goes ahead
        int replaced;
    };
    QList<Case> cases{
        {"empty name", "", false, {}, "no folder is named", 0},
        {"blank name", " \t", false, {}, "no folder is named", 0},
        {"forged list naming a user's picture",
         "g",
         false,
         [&](const QString& dir, const QString&) {
             writeBytes(dir + "/pictures/my-cat.png", "my cat");
             writeBytes(dir + "/.loomara-gallery", forged.toUtf8());
         },
         {},
         0},
        {"list of another form", "g", false,
         [](const QString& dir, const QString&) {
             writeBytes(dir + "/.loomara-gallery", "pictures/my-cat.png\n");
         },
         "\".loomara-gallery\" is not a list the gallery wrote (the only name in the way)", 0},
        {"list that is a FIFO", "g", false,
         [](const QString& dir, const QString&) {
             QDir().mkpath(dir);
             ASSERT_EQ(mkfifo(QFile::encodeName(dir + "/.loomara-gallery").constData(), 0600), 0);
         },
         "\".loomara-gallery\" is not a plain file (the only name in the way)", 0},
        {"index linked to the user's document", "g", true,
         [](const QString& dir, const QString& outside) {
             QFile::remove(dir + "/index.html");
             QFile::link(outside + "/userdoc", dir + "/index.html");
         },
         "\"index.html\" is a symbolic link (the only name in the way)", 0},
        {"pictures linked to the user's pictures", "g", false,
         [](const QString& dir, const QString& outside) {
             QDir().mkpath(dir);
             QFile::link(outside + "/mine", dir + "/pictures");
         },
         "\"pictures\" is a symbolic link (the only name in the way)", 0},
        {"the user's files under gallery names", "g", false,
         [](const QString& dir, const QString&) {
             writeBytes(dir + "/pictures/wilson.png", "my own picture");
             writeBytes(dir + "/drafts/wilson.wif", "my own draft");
         },
         "\"drafts/wilson.wif\" is a file the gallery did not write (the first of 2 names in "
         "the way)",
         0},
        {"unchanged earlier run",
         "g",
         true,
         [](const QString& dir, const QString&) { writeBytes(dir + "/notes.txt", "mine"); },
         {},
         5},
        {"list line cut short by a run that was stopped",
         "g",
         true,
         [](const QString& dir, const QString&) {
             QFile list(dir + "/.loomara-gallery");
             ASSERT_TRUE(list.open(QIODevice::Append));
             list.write("12 0a1b");
         },
         {},
         5},
        {"edited earlier file", "g", true,
         [](const QString& dir, const QString&) {
             QFile edited(dir + "/cloth/wilson.png");
             ASSERT_TRUE(edited.open(QIODevice::Append));
             edited.write("edited");
         },
         "\"cloth/wilson.png\" was changed since the gallery wrote it (the only name in the way)",
         0},
    };
    // A line the gallery never writes, added to an earlier run's list of six lines: the list is
    // not the gallery's, so it vouches for none of the files, which are then in the way.
    const QString hash(64, u'0');
    const QStringList badLines{QString(),
                               "6 " + hash,
                               "6 " + hash + " pictures/my-cat.png more",
                               "-6 " + hash + " x",
                               "six " + hash + " index.html",
                               "6 " + hash.left(63) + " index.html",
                               "6 " + QString(64, u'A') + " index.html",
                               "6  " + hash + " index.html",
                               "6 " + hash + " index.html\r",
                               "6 " + hash + " notes.txt",
                               "6 " + hash + " ../outside/userdoc",
                               "6 " + hash + " pictures/My-Cat.png",
                               "1234567890123456 " + hash + " index.html",
                               "loomara-gallery 1"};
    for (const QString& line : badLines) {
        cases.append({"list line \"" + line.toStdString() + '"', "g", true,
                      [line](const QString& dir, const QString&) {
                          QFile list(dir + "/.loomara-gallery");
                          ASSERT_TRUE(list.open(QIODevice::Append));
                          list.write(line.toUtf8() + '\n');
                      },
                      "\".loomara-gallery\" is not a list the gallery wrote: line 7 is not one of "
                      "its lines (the first of 6 names in the way)",
                      0});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir temporary;
        const QString root = temporary.path();
        const QString dir = c.dir.trimmed().isEmpty() ? c.dir : root + u'/' + c.dir;
        writeBytes(root + "/outside/userdoc", "the user's document");
        writeBytes(root + "/outside/mine/cat.png", "the user's cat");
        if (c.earlierRun) {
            ASSERT_TRUE(writeGallery(dir, pages, twoThreads()).ok());
        }
        if (c.setup) {
            c.setup(dir, root + "/outside");
        }
        const QMap<QString, QByteArray> before = everything(root);

        const GalleryResult result = writeGallery(dir, pages, twoThreads());
        const QMap<QString, QByteArray> after = everything(root);
        if (!c.refusal.isEmpty()) {
            EXPECT_EQ(result.refusal.value_or("(none)"), c.refusal);
            EXPECT_EQ(after, before);
            continue;
        }
        ASSERT_TRUE(result.ok()) << result.failure.value_or("").toStdString();
        EXPECT_EQ(result.replaced, c.replaced);
        for (auto file = before.cbegin(); file != before.cend(); ++file) {
            if (!own.contains(file.key().mid(c.dir.size() + 1))) {
                EXPECT_EQ(after.value(file.key()), file.value()) << file.key().toStdString();
            }
        }
    }
}

// A run that stops part way, here at a limit on the size of a file, names what it changed, keeps
// the old index and lists what it wrote, so that the next run takes those files for its own.
TEST_F(GalleryTest, ARunThatStopsPartWayListsWhatItWroteForTheNextRun) {
    const QList<GalleryPage> pages{
        {QStringLiteral("Only"), QStringLiteral("Aberdeen  y8b32k28r60y8\r\nBig  K900R900")}};
    GalleryOptions oneAtATime = twoThreads();
    oneAtATime.threads = 1;
    ASSERT_TRUE(writeGallery(dir_, pages, oneAtATime).ok());
    const QByteArray oldIndex = testing::readFile(file(QStringLiteral("index.html")));
    // Every file of the first entry fits under the limit; the draft of the second does not.
    qint64 limit = QFileInfo(file(QStringLiteral(".loomara-gallery"))).size();
    for (const char* name : {"cloth/aberdeen.png", "thumbs/aberdeen.jpg", "drafts/aberdeen.wif",
                             "pictures/aberdeen.png"}) {
        limit = std::max(limit, QFileInfo(file(QLatin1StringView(name))).size());
    }
    ASSERT_GT(QFileInfo(file(QStringLiteral("drafts/big.wif"))).size(), limit);

    const GalleryResult stopped = [&] {
        const testing::FileSizeLimit small(static_cast<rlim_t>(limit));
        return writeGallery(dir_, pages, oneAtATime);
    }();

    ASSERT_TRUE(stopped.failure);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^(cloth|thumbs|drafts)/big\\.(png|jpg|wif): "))
                    .match(*stopped.failure)
                    .hasMatch())
        << stopped.failure->toStdString();
    EXPECT_FALSE(stopped.indexWritten);
    EXPECT_TRUE(stopped.listWritten);
    EXPECT_EQ(testing::readFile(file(QStringLiteral("index.html"))), oldIndex);
    EXPECT_EQ(whatTheRunChanged(stopped),
              QStringLiteral("This run wrote %1 files (%2 of them in place of files of an "
                             "earlier run) and removed none; the index page and every other "
                             "file are as they were, and the gallery's list of its own files "
                             "names those it wrote.")
                  .arg(stopped.files)
                  .arg(stopped.replaced));
    EXPECT_EQ(stopped.files, stopped.replaced + 1);

    const GalleryResult again = writeGallery(dir_, pages, oneAtATime);
    EXPECT_TRUE(again.ok()) << again.refusal.value_or(again.failure.value_or("")).toStdString();
}

// Anyone who can write the list can make it name a file of the user's with its true size and
// hash. The run removes such a file as it removes any file of an earlier run it does not write
// again, and names each.
TEST_F(GalleryTest, EveryFileARunRemovesIsNamedWithWhyItWasTheGallerys) {
    ASSERT_TRUE(writeGallery(dir_, {{QStringLiteral("Only"), QStringLiteral("Wilson  W10K10")}},
                             twoThreads())
                    .ok());
    ASSERT_TRUE(QFile::copy(file("cloth/wilson.png"), file("pictures/my-cat.png")));
    const QByteArray list = testing::readFile(file(".loomara-gallery"));
    const QRegularExpressionMatch cloth =
        QRegularExpression("\n(\\d+ [0-9a-f]+ )cloth/wilson\\.png\n")
            .match(QString::fromUtf8(list));
    ASSERT_TRUE(cloth.hasMatch());
    writeBytes(file(".loomara-gallery"),
               list + cloth.captured(1).toUtf8() + "pictures/my-cat.png\n");

    const GalleryResult result =
        writeGallery(dir_, {{QStringLiteral("Only"), QStringLiteral("Brown  B8K8")}}, twoThreads());
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.removed,
              (QStringList{"cloth/wilson.png", "drafts/wilson.wif", "pictures/my-cat.png",
                           "pictures/wilson.png", "thumbs/wilson.jpg"}));
    const QStringList said = whatTheRunRemoved(dir_, result);
    ASSERT_EQ(said.size(), result.removed.size());
    for (qsizetype i = 0; i < said.size(); ++i) {
        EXPECT_FALSE(exists(result.removed[i]));
        EXPECT_EQ(said[i], "removed \"" + file(result.removed[i]) +
                               "\": the gallery's list of its own files (.loomara-gallery) named "
                               "it, and this run did not write it again.");
    }
}

// Root reads every file; the gallery is then run as a user would be.
TEST_F(GalleryTest, AFileItCannotReadIsSaidToBeUnreadableNotChanged) {
    const QList<GalleryPage> pages{{QStringLiteral("Only"), QStringLiteral("Wilson  W10K10")}};
    ASSERT_TRUE(writeGallery(dir_, pages, twoThreads()).ok());
    ASSERT_TRUE(QFile::setPermissions(file(QStringLiteral("thumbs/wilson.jpg")), {}));
    const QMap<QString, QByteArray> before = everything(dir_);
    std::optional<GalleryResult> result;
    if (const test::AsOrdinaryUser user; user.ok()) {
        result = writeGallery(dir_, pages, twoThreads());
    }
    if (!result) {
        GTEST_SKIP() << "this thread cannot give up root's permissions";
    }
    EXPECT_EQ(result->refusal.value_or("(none)"),
              u"\"thumbs/wilson.jpg\" cannot be read, so the gallery cannot tell that it is the "
              u"file it wrote (the only name in the way)");
    EXPECT_EQ(everything(dir_), before);
}

// A run killed part way, as by Ctrl-C or `kill`, leaves its list naming every file it wrote, so
// the next run takes them for its own and finishes the gallery as one run that was never stopped.
// The runs to kill are this test again in a process of its own, which kills itself once the
// given number of entries is woven, with files of others still being written.
TEST_F(GalleryTest, ARunKilledPartWayIsFinishedByTheNextAsIfNeverStopped) {
    GalleryOptions options = twoThreads();
    if (const int killAt = qEnvironmentVariableIntValue("LOOMARA_TEST_KILL_AT"); killAt > 0) {
        options.date = qEnvironmentVariable("LOOMARA_TEST_DATE");
        const QString dir = qEnvironmentVariable("LOOMARA_TEST_DIR");
        // Past the last entry: as soon as the index page is there, before the list is written
        // afresh, or within ten seconds.
        std::thread atTheIndex;
        writeGallery(dir, smallPages(), options, [&](int done, int total) {
            if (done >= killAt) {
                ::kill(::getpid(), SIGKILL);
            }
            if (killAt > total && done == total) {
                atTheIndex = std::thread([dir] {
                    const QDeadlineTimer deadline(10'000);
                    while (!QFileInfo::exists(dir + "/index.html") && !deadline.hasExpired()) {
                        std::this_thread::yield();
                    }
                    ::kill(::getpid(), SIGKILL);
                });
            }
        });
        atTheIndex.join();
    }
    const auto killedRun = [](const QString& dir, const char* date, int killAt) {
        QProcess run;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LOOMARA_TEST_DIR", dir);
        environment.insert("LOOMARA_TEST_DATE", date);
        environment.insert("LOOMARA_TEST_KILL_AT", QString::number(killAt));
        run.setProcessEnvironment(environment);
        run.start(
            QCoreApplication::applicationFilePath(),
            {"--gtest_filter=GalleryTest.ARunKilledPartWayIsFinishedByTheNextAsIfNeverStopped"});
        if (!run.waitForFinished(20'000)) {
            run.kill();
            run.waitForFinished(5'000);
            ADD_FAILURE() << "the run to kill did not end";
        }
        EXPECT_EQ(run.exitStatus(), QProcess::CrashExit)
            << run.readAllStandardOutput().toStdString();
    };
    const auto finished =
        [](const QString& dir, const char* date) {
            GalleryOptions options = twoThreads();
            options.date = date;
            const GalleryResult result = writeGallery(dir, smallPages(), options);
            EXPECT_TRUE(result.ok())
                << result.refusal.value_or(result.failure.value_or("")).toStdString();
            return everything(dir);
        };
    const char* first = "December 8, 2026";
    const char* second = "December 9, 2026";
    const QMap<QString, QByteArray> whole = finished(temporary_.filePath("whole"), second);

    // Killed on its first run, then killed twice while it replaces a finished gallery with one
    // whose drafts differ.
    killedRun(dir_, first, 1);
    EXPECT_FALSE(exists("index.html"));
    finished(dir_, first);
    killedRun(dir_, second, 3);
    killedRun(dir_, second, 6);
    EXPECT_EQ(finished(dir_, second), whole);

    const QString atIndex = temporary_.filePath("at-index");
    killedRun(atIndex, second, 100);
    EXPECT_EQ(finished(atIndex, second), whole);
}

TEST(GalleryStem, KeepsLettersAndDigitsOfTheNameAndNothingAFileSystemCouldMisread) {
    EXPECT_EQ(galleryStem(QStringLiteral("Aberdeen University")), u"aberdeen-university");
    EXPECT_EQ(galleryStem(QStringLiteral("  MacDonald's (Lord of the Isles) No. 2 ")),
              u"macdonalds-lord-of-the-isles-no-2");
    EXPECT_EQ(galleryStem(QStringLiteral("Ève Ågård/..\\")), u"eve-agard");
    EXPECT_EQ(galleryStem(QStringLiteral("../..")), u"sett");
    EXPECT_EQ(galleryStem(QString()), u"sett");
    EXPECT_EQ(galleryStem(QStringLiteral("Con")), u"con-sett");
    EXPECT_EQ(galleryStem(QStringLiteral("LPT1")), u"lpt1-sett");
    EXPECT_EQ(galleryStem(QStringLiteral("Conway")), u"conway");
    const QString longName = QString(70, u'x').insert(59, u' ');
    EXPECT_EQ(galleryStem(longName), QString(59, u'x'));
}

TEST(GalleryPages, AreTheSixReferencePagesInOrder) {
    const QList<GalleryPage> pages = referenceGalleryPages();
    ASSERT_EQ(pages.size(), 6);
    EXPECT_EQ(pages.front().title, u"A to Di");
    EXPECT_EQ(pages.back().title, u"V to Z");
    for (const GalleryPage& page : pages) {
        EXPECT_GT(page.listText.size(), 1000);
    }
}

} // namespace
} // namespace loomara
