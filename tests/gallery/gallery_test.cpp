#include "gallery/Gallery.h"

#include "cloth/Cloth.h"
#include "entry/Designer.h"
#include "entry/EnterSett.h"
#include "sett/SettText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>
#include <utility>
#include <vector>

namespace loomara {
namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

        const QByteArray draft = contents(file(QStringLiteral("drafts/%1.wif").arg(stem)));
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
    onDisk.sort();
    EXPECT_EQ(contents(file(QStringLiteral(".loomara-gallery"))),
              (onDisk.join(u'\n') + u'\n').toUtf8());
}

TEST_F(GalleryTest, IndexShowsCardsByPageAndTheEntriesItCannotWeaveWithTheirReasons) {
    ASSERT_TRUE(writeGallery(dir_, smallPages(), twoThreads()).ok());
    const QString index = QString::fromUtf8(contents(file(QStringLiteral("index.html"))));

    // Names, notations and titles are text, never markup.
    EXPECT_TRUE(index.contains(u"<b>Clan X's &quot;Best&quot; &lt;Dress&gt;</b>"));
    EXPECT_FALSE(index.contains(u"<Dress>"));
    EXPECT_TRUE(index.contains(u"<h2>N to Z &amp; more</h2>"));
    EXPECT_TRUE(index.contains(u"<figure id=\"card-clan-xs-best-dress-2\" "
                               u"data-name=\"clan x's &quot;best&quot; &lt;dress&gt;\">"
                               u"<a href=\"cloth/clan-xs-best-dress-2.png\"><img "
                               u"src=\"thumbs/clan-xs-best-dress-2.jpg\" width=\"160\" "
                               u"height=\"160\""));
    EXPECT_TRUE(
        index.contains(u"<code>G10W4</code><span><a href=\"cloth/clan-xs-best-dress-2.png\">"
                       u"cloth</a> · <a href=\"drafts/clan-xs-best-dress-2.wif\">draft</a> "
                       u"· <a href=\"pictures/clan-xs-best-dress-2.png\">designer</a>"));
    EXPECT_TRUE(index.contains(u"<b>Too Many</b><code>K2R2K2R2K2R2K2R2K2R2K2R2K2R2K2R2K2R2K2R2K2R2"
                               u"</code><span><a href=\"cloth/too-many.png\">cloth</a> · <a "
                               u"href=\"drafts/too-many.wif\">draft</a></span><small>Not in the "
                               u"designer: the sett has 22 stripes; the designer's window holds "
                               u"at most 21.</small>"));

    // Each page's cards, then what it could not weave, before the next page starts.
    const qsizetype firstPage = index.indexOf(u"<h2>A to M</h2>");
    const qsizetype lastCard = index.indexOf(u"<b>Thin</b>");
    const qsizetype notWoven = index.indexOf(u"<h3>Not woven</h3>");
    const qsizetype empty = index.indexOf(u"<li><b>Empty</b> <code>k0</code> line 8: the sett "
                                          u"cannot be woven as cloth: every stripe has a thread "
                                          u"count of 0");
    const qsizetype orphan = index.indexOf(u"<li><b>Orphan Name</b> <code></code> line 5: "
                                           u"there is no sett after the name.</li>");
    const qsizetype zed = index.indexOf(u"<li><b>Zed</b> <code>Q5K4</code> line 6: at character");
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
    const QByteArray index = contents(file(QStringLiteral("index.html")));
    EXPECT_FALSE(index.contains("Aberdeen"));
    EXPECT_TRUE(index.contains("drafts/brown.wif"));
}

TEST_F(GalleryTest, AFileThatCannotBeWrittenFailsTheRunNamingItAndKeepsTheOldIndex) {
    ASSERT_TRUE(writeGallery(dir_, smallPages(), twoThreads()).ok());
    const QByteArray oldIndex = contents(file(QStringLiteral("index.html")));
    ASSERT_TRUE(QFile::remove(file(QStringLiteral("drafts/wilson.wif"))));
    ASSERT_TRUE(QDir().mkpath(file(QStringLiteral("drafts/wilson.wif"))));

    const GalleryResult result = writeGallery(dir_, smallPages(), twoThreads());
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(*result.failure, QStringLiteral("drafts/wilson.wif: there is a folder of that name"));
    EXPECT_EQ(contents(file(QStringLiteral("index.html"))), oldIndex);
    // Nothing of the earlier run was taken away.
    EXPECT_TRUE(exists(QStringLiteral("pictures/aberdeen-university.png")));

    const QString plainFile = temporary_.path() + QStringLiteral("/plain");
    QFile(plainFile).open(QIODevice::WriteOnly);
    const GalleryResult onFile = writeGallery(plainFile, smallPages(), twoThreads());
    ASSERT_FALSE(onFile.ok());
    EXPECT_TRUE(onFile.failure->startsWith(u"the folder \"")) << onFile.failure->toStdString();
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
