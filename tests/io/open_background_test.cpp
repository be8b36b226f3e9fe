#include "io/DialogFilter.h"
#include "io/OpenBackground.h"
#include "io/QtPictureLoader.h"
#include "io_test_support.h"
#include "support/FakeCommonDialog.h"
#include "weave/WeaveCanvas.h"

#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace loomara;
using namespace loomara::testing;

namespace {

constexpr Rgb kBack{240, 230, 200};
constexpr Rgb kThread{200, 0, 0};

class OpenBackground : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    QString savedPicture(const QString& name, const char* format, const QImage& picture) const {
        const QString file = path(name);
        EXPECT_TRUE(picture.save(file, format));
        return file;
    }

    std::optional<QString> open(const QString& file) {
        cd1.confirmFile(file);
        return openBackground(cd1, loader, canvas);
    }

    std::optional<QString> openCancelled() {
        cd1.cancel();
        return openBackground(cd1, loader, canvas);
    }

    // Short horizontal dashes, two pixels drawn and two left open, shifted by one pixel a row,
    // over the top-left 60 x 40 pixels.
    void drawTwillDashes() {
        for (int y = 0; y < 40; ++y) {
            for (int x = y % 4 - 4; x < 60; x += 4) {
                canvas.line(x, y, x + 2, y, kThread);
            }
        }
    }
    static bool isDrawn(int x, int y) { return (x - y % 4 + 4) % 4 < 2; }

    QTemporaryDir dir;
    FakeCommonDialog cd1;
    QtPictureLoader loader;
    WeaveCanvas canvas{kBack};
    const QImage pattern = patternPicture(50, 30);
};

QRgb rgb(Rgb c) {
    return qRgb(c.red, c.green, c.blue);
}

} // namespace

TEST_F(OpenBackground, MakesItsSettingsInOrderThenShowsTheOpenDialog) {
    ASSERT_FALSE(openCancelled());
    ASSERT_EQ(cd1.log().size(), 6);
    EXPECT_EQ(cd1.log()[0], "CancelError=true");
    EXPECT_TRUE(cd1.log()[1].startsWith("Filter=BitMap (*.bmp)|*.bmp|Pictures ("));
    EXPECT_EQ(cd1.log().mid(2), (QStringList{"FilterIndex=1", "DialogTitle=Picture Search",
                                             "InitDir=" + QDir::homePath(), "ShowOpen"}));
    ASSERT_EQ(cd1.shown().size(), 1u);
    EXPECT_TRUE(cd1.shown()[0].fileName.isEmpty());
}

TEST_F(OpenBackground, ListsBitmapsChosenThenEveryReadablePictureThenAllFiles) {
    // Whatever type the user picked last time, bitmaps are the type shown first.
    cd1.setFilterIndex(3);
    ASSERT_FALSE(openCancelled());
    EXPECT_EQ(cd1.shown()[0].filterIndex, 1);

    const QStringList filters = nameFilters(cd1.filter());
    ASSERT_EQ(filters.size(), 3);
    EXPECT_EQ(filters[0], "BitMap (*.bmp)");
    EXPECT_EQ(filters[2], "All files (*)");

    const QString pictures = filters[1];
    ASSERT_TRUE(pictures.startsWith("Pictures (") && pictures.endsWith(')'));
    const QStringList patterns = pictures.mid(10).chopped(1).split(' ');
    QStringList sorted = patterns;
    sorted.sort();
    sorted.removeDuplicates();
    EXPECT_EQ(patterns, sorted);
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        EXPECT_TRUE(patterns.contains("*." + QString::fromLatin1(format))) << format.data();
    }
    for (const char* common : {"*.bmp", "*.gif", "*.jpeg", "*.jpg", "*.png"}) {
        EXPECT_TRUE(patterns.contains(common)) << common;
    }
}

TEST_F(OpenBackground, BmpAndPngBecomeTheBackgroundUnscaledAndShowThroughTheGaps) {
    for (const char* format : {"BMP", "PNG"}) {
        SCOPED_TRACE(format);
        canvas.reset(kBack);
        const QString file = savedPicture(QStringLiteral("back.") + format, format, pattern);
        ASSERT_EQ(open(file), std::nullopt);
        ASSERT_TRUE(canvas.hasPicture());
        EXPECT_EQ(canvas.picture().size(), pattern.size());

        drawTwillDashes();
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 60; ++x) {
                const QRgb under = x < 50 && y < 30 ? pattern.pixel(x, y) : rgb(kBack);
                ASSERT_EQ(canvas.pixel(x, y), isDrawn(x, y) ? rgb(kThread) : under)
                    << x << "," << y;
            }
        }
        EXPECT_EQ(canvas.pixel(100, 100), rgb(kBack));
        EXPECT_EQ(canvas.image().size(), QSize(canvas.scaleWidth(), canvas.scaleHeight()));
    }
}

TEST_F(OpenBackground, PictureStaysWhenTheWeaveRepaintsTheBackColour) {
    ASSERT_EQ(open(savedPicture("back.bmp", "BMP", pattern)), std::nullopt);
    drawTwillDashes();
    canvas.setBackColour(Rgb{0, 0, 90});
    EXPECT_TRUE(canvas.hasPicture());
    EXPECT_EQ(canvas.pixel(0, 0), pattern.pixel(0, 0));
    EXPECT_EQ(canvas.pixel(55, 35), qRgb(0, 0, 90));
}

TEST_F(OpenBackground, PictureFormatIsTakenFromTheContentNotTheName) {
    ASSERT_EQ(open(savedPicture("really-a-png.bmp", "PNG", pattern)), std::nullopt);
    EXPECT_EQ(canvas.pixel(7, 9), pattern.pixel(7, 9));
}

TEST_F(OpenBackground, CancelWithoutABackgroundChangesNothing) {
    drawTwillDashes();
    const QImage before = canvas.image().copy();
    EXPECT_EQ(openCancelled(), std::nullopt);
    EXPECT_FALSE(canvas.hasPicture());
    EXPECT_EQ(canvas.image(), before);
}

TEST_F(OpenBackground, CancelTakesTheBackgroundAwayAndKeepsTheDrawing) {
    const QString file = savedPicture("back.bmp", "BMP", pattern);
    ASSERT_EQ(open(file), std::nullopt);
    drawTwillDashes();

    EXPECT_EQ(openCancelled(), std::nullopt);
    EXPECT_FALSE(canvas.hasPicture());
    EXPECT_EQ(canvas.pixel(0, 0), rgb(kThread));
    EXPECT_EQ(canvas.pixel(2, 0), rgb(kBack));
    EXPECT_EQ(canvas.pixel(10, 10), isDrawn(10, 10) ? rgb(kThread) : rgb(kBack));
    // The name field still holds the last file for the next time.
    EXPECT_EQ(cd1.fileName(), file);
}

TEST_F(OpenBackground, ConfirmingWithNoNameTakesTheBackgroundAway) {
    ASSERT_EQ(open(savedPicture("back.bmp", "BMP", pattern)), std::nullopt);
    EXPECT_EQ(open(QString()), std::nullopt);
    EXPECT_FALSE(canvas.hasPicture());
}

TEST_F(OpenBackground, TheSameFileTwiceIsReadAgainAndTheNameFieldStartsWithIt) {
    const QString file = savedPicture("back.bmp", "BMP", pattern);
    ASSERT_EQ(open(file), std::nullopt);
    const QImage first = canvas.image().copy();
    ASSERT_EQ(open(file), std::nullopt);
    EXPECT_EQ(canvas.image(), first);
    ASSERT_EQ(cd1.shown().size(), 2u);
    EXPECT_EQ(cd1.shown()[1].fileName, file);

    // Read from the file each time, not remembered.
    QImage changed = pattern;
    changed.fill(qRgb(1, 2, 3));
    ASSERT_TRUE(changed.save(file, "BMP"));
    ASSERT_EQ(open(file), std::nullopt);
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(1, 2, 3));
}

TEST_F(OpenBackground, AFileThatIsNoPictureIsRefusedNamedAndTheBackgroundKept) {
    ASSERT_EQ(open(savedPicture("good.bmp", "BMP", pattern)), std::nullopt);

    QByteArray bitmap = readFile(path("good.bmp"));
    QByteArray png = readFile(savedPicture("good.png", "PNG", pattern));
    struct Case {
        const char* name;
        QByteArray bytes;
        const char* reason;
    };
    const Case cases[] = {
        {"half.bmp", bitmap.left(bitmap.size() / 2), "the file ends before the end of its picture"},
        {"short-by-one.bmp", bitmap.left(bitmap.size() - 1),
         "the file ends before the end of its picture"},
        {"headers-only.bmp", bitmap.left(30), "the file ends before the end of its picture"},
        {"notes.bmp", "These are notes, not a picture.\n",
         "it is not a picture in a format that can be read"},
        {"empty.bmp", QByteArray(), "the file is empty"},
        {"half.png", png.left(png.size() / 2), "the picture in it is damaged or incomplete"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(path(c.name), c.bytes);
        const std::optional<QString> message = open(path(c.name));
        ASSERT_TRUE(message);
        EXPECT_EQ(*message, QStringLiteral("The picture \"%1\" could not be opened: %2. The "
                                           "background is unchanged.")
                                .arg(QDir::toNativeSeparators(path(c.name)), c.reason));
        ASSERT_TRUE(canvas.hasPicture());
        EXPECT_EQ(canvas.pixel(3, 4), pattern.pixel(3, 4));
    }

    const std::optional<QString> missing = open(path("gone.bmp"));
    ASSERT_TRUE(missing);
    EXPECT_TRUE(missing->contains("gone.bmp\" could not be opened: the file does not exist"));
    const std::optional<QString> folder = open(dir.path());
    ASSERT_TRUE(folder);
    EXPECT_TRUE(folder->contains("it is not a file"));
    EXPECT_EQ(canvas.pixel(3, 4), pattern.pixel(3, 4));
}

TEST_F(OpenBackground, AWholeBitmapIsReadToItsLastByteWhateverItsRowOrder) {
    QByteArray bitmap = readFile(savedPicture("exact.bmp", "BMP", pattern));
    ASSERT_EQ(bitmap.size(), 54 + 152 * 30); // 50 pixels of 3 bytes, padded to 152
    ASSERT_EQ(open(path("exact.bmp")), std::nullopt);
    EXPECT_EQ(canvas.pixel(49, 29), pattern.pixel(49, 29));

    // The same rows stored top-down: a negative height.
    qToLittleEndian<qint32>(-30, bitmap.data() + 22);
    QByteArray topDown = bitmap.left(54);
    for (int row = 29; row >= 0; --row) {
        topDown += bitmap.mid(54 + row * 152, 152);
    }
    writeFile(path("top-down.bmp"), topDown);
    canvas.clearPicture();
    ASSERT_EQ(open(path("top-down.bmp")), std::nullopt);
    EXPECT_EQ(canvas.pixel(0, 0), pattern.pixel(0, 0));
    EXPECT_EQ(canvas.pixel(49, 29), pattern.pixel(49, 29));
}

TEST(ClearWithABackground, ResetLeavesThePlainDesignCanvas) {
    WeaveCanvas canvas(kBack);
    canvas.setWidth(3000);
    canvas.setPicture(patternPicture(50, 30));
    canvas.line(0, 0, 20, 0, kThread);

    canvas.reset(Rgb{10, 20, 30});
    EXPECT_FALSE(canvas.hasPicture());
    EXPECT_EQ(canvas.width(), WeaveCanvas::kDesignWidthTwips);
    QImage plain(canvas.scaleWidth(), canvas.scaleHeight(), QImage::Format_RGB32);
    plain.fill(qRgb(10, 20, 30));
    EXPECT_EQ(canvas.image(), plain);

    // Nothing of the old picture comes back with the next weave's fill.
    canvas.setBackColour(kBack);
    EXPECT_EQ(canvas.pixel(5, 5), rgb(kBack));
}
