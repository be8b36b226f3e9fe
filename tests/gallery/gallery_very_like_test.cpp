// A card names the nearest other entry when its cloth is very like its own, and links to its card.

#include "gallery/Gallery.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace loomara;

TEST(GalleryVeryLike, ACardLinksToTheCardOfAVeryLikeEntryAndOnlyThen) {
    QTemporaryDir temporary;
    const QString dir = temporary.path() + QStringLiteral("/gallery");
    GalleryOptions options;
    options.threads = 2;
    // The second differs from the first by one thin stripe; the third from both in every colour,
    // and the fourth is the first at twice the size, on another page.
    const QList<GalleryPage> pages{
        {QStringLiteral("A"), QStringLiteral("First  K4R24K24Y4\r\nSecond  K4R24K24Y2\r\n"
                                             "Third  W10G10")},
        {QStringLiteral("B"), QStringLiteral("Fourth  K8R48K48Y8")}};
    ASSERT_TRUE(writeGallery(dir, pages, options).ok());
    QFile file(dir + QStringLiteral("/index.html"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString index = QString::fromUtf8(file.readAll());

    const auto card = [&](const QString& stem) {
        const qsizetype start = index.indexOf(QStringLiteral("<figure id=\"card-%1\"").arg(stem));
        EXPECT_GE(start, 0) << stem.toStdString();
        return index.mid(start, index.indexOf(u"</figure>", start) - start);
    };
    EXPECT_TRUE(card("first").contains(u"<small>very like: <a href=\"#card-fourth\">Fourth</a>"));
    EXPECT_TRUE(card("fourth").contains(u"<small>very like: <a href=\"#card-first\">First</a>"));
    EXPECT_TRUE(card("second").contains(u"<small>very like: <a href=\"#card-first\">First</a>"));
    EXPECT_FALSE(card("third").contains(u"very like"));
}
