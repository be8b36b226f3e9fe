// The gallery's index page in a real browser: headless Chromium runs its filter, and lays it out
// at 1280 pixels wide.

#include "gallery/Gallery.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace loomara {
namespace {

class IndexPageInBrowser : public ::testing::Test {
protected:
    void SetUp() override {
        const QString longSett = QStringLiteral("k4r4").repeated(120);
        const QList<GalleryPage> pages{
            {QStringLiteral("A to M"),
             QStringLiteral("Clan Alpha  K4R24K24\r\nMacClan Beta  G10W4\r\nWide  ") + longSett +
                 QStringLiteral("\r\nSplit  ") + longSett + QStringLiteral("]k4")},
            {QStringLiteral("N to Z"), QStringLiteral("Stewart Dress  W10K10R2")}};
        GalleryOptions options;
        options.threads = 2;
        ASSERT_TRUE(writeGallery(dir_.path(), pages, options).ok());
    }

    // The page's DOM once its scripts have run, as the browser serialises it.
    QString domOf(const QString& file, const QString& query, const QStringList& extra = {}) {
        const QString browser = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (browser.isEmpty()) {
            ADD_FAILURE() << "chromium is not installed; scripts/install-deps installs it";
            return {};
        }
        QUrl url = QUrl::fromLocalFile(dir_.filePath(file));
        url.setQuery(query);
        QProcess process;
        process.start(browser, QStringList{"--headless", "--no-sandbox", "--disable-gpu",
                                           "--user-data-dir=" + profile_.path(),
                                           "--window-size=1280,800", "--dump-dom"} +
                                   extra + QStringList{url.toString()});
        if (!process.waitForFinished(25000)) {
            process.kill();
            process.waitForFinished(2000);
            ADD_FAILURE() << "the browser did not finish";
            return {};
        }
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    // The names of the cards shown and of those hidden.
    static std::pair<QStringList, QStringList> cards(const QString& dom) {
        static const QRegularExpression figure(
            QStringLiteral("<figure id=\"[^\"]*\" data-name=\"([^\"]*)\"( hidden=\"\")?"));
        QStringList shown;
        QStringList hidden;
        for (const QRegularExpressionMatch& m : figure.globalMatch(dom)) {
            (m.captured(2).isEmpty() ? shown : hidden).append(m.captured(1));
        }
        return {shown, hidden};
    }

    QTemporaryDir dir_;
    QTemporaryDir profile_;
};

TEST_F(IndexPageInBrowser, TheFilterHidesCardsWhoseNameLacksTheQueryWhateverItsCase) {
    const QStringList all{"clan alpha", "macclan beta", "wide", "stewart dress"};
    EXPECT_EQ(cards(domOf("index.html", {})), std::make_pair(all, QStringList{}));
    const QString clans = domOf("index.html", "q=CLAN");
    EXPECT_EQ(cards(clans), std::make_pair(QStringList{"clan alpha", "macclan beta"},
                                           QStringList{"wide", "stewart dress"}));
    // Entries not woven are filtered too, and a page left with nothing shown is hidden.
    EXPECT_TRUE(clans.contains(u"<li data-name=\"split\" hidden=\"\">"));
    EXPECT_TRUE(clans.contains(u"<section id=\"page-2\" hidden=\"\">"));
    EXPECT_TRUE(clans.contains(u"<section id=\"page-1\">"));
    const QString none = domOf("index.html", "q=nothing-like-it");
    EXPECT_EQ(cards(none).first, QStringList{});
    EXPECT_TRUE(none.contains(u"<p><label>Filter by name")) << "the box shows once scripts run";

    // Without scripts the page is as written: every card shows, and no box that could not work.
    QFile written(dir_.filePath("index.html"));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QString plain = QString::fromUtf8(written.readAll());
    EXPECT_EQ(cards(plain), std::make_pair(all, QStringList{}));
    EXPECT_TRUE(plain.contains(u"<p hidden><label>Filter by name"));
}

TEST_F(IndexPageInBrowser, At1280PixelsWideThePageNeedsNoHorizontalScrollBar) {
    // A copy of the page that writes down how wide it lays out.
    QFile page(dir_.filePath("index.html"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    QByteArray html = page.readAll();
    html.replace("</body>", "<script>document.body.dataset.width = "
                            "document.documentElement.scrollWidth;</script></body>");
    QFile measured(dir_.filePath("measured.html"));
    ASSERT_TRUE(measured.open(QIODevice::WriteOnly));
    measured.write(html);
    measured.close();

    const QString dom = domOf("measured.html", {});
    const QRegularExpressionMatch width =
        QRegularExpression(QStringLiteral("data-width=\"(\\d+)\"")).match(dom);
    ASSERT_TRUE(width.hasMatch()) << dom.left(300).toStdString();
    EXPECT_LE(width.captured(1).toInt(), 1280);
    EXPECT_TRUE(dom.contains(u"<li data-name=\"split\"><b>Split</b>"))
        << "the long sett that cannot be woven";
}

} // namespace
} // namespace loomara
