#include "io/DialogFilter.h"
#include "io/OpenBackground.h"
#include "io/QtPictureLoader.h"
#include "io_test_support.h"
#include "support/FakeCommonDialog.h"
#include "weave/WeaveCanvas.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <map>

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

    void expectRefused(const QString& file, const char* reason) {
        const std::optional<QString> message = open(file);
        ASSERT_TRUE(message);
        EXPECT_EQ(message->toStdString(),
                  QStringLiteral("The picture \"%1\" could not be opened: %2. The background is "
                                 "unchanged.")
                      .arg(QDir::toNativeSeparators(file), reason)
                      .toStdString());
        ASSERT_TRUE(canvas.hasPicture());
        EXPECT_EQ(canvas.picture(), pattern.convertToFormat(QImage::Format_ARGB32));
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

namespace {

constexpr const char* kEndsEarly = "the file ends before the end of its picture";

// Grey blocks of 16 pixels, a shade of their own along a row and down a column, so that an
// offset, a turn or a mirror shows. A JPEG keeps such blocks almost exactly.
QImage greyBlocks(int width, int height) {
    QImage blocks((width + 15) / 16, (height + 15) / 16, QImage::Format_RGB32);
    for (int y = 0; y < blocks.height(); ++y) {
        for (int x = 0; x < blocks.width(); ++x) {
            const int grey = (x * 40 + y * 90) % 256;
            blocks.setPixel(x, y, qRgb(grey, grey, grey));
        }
    }
    return blocks.scaled(blocks.size() * 16).copy(0, 0, width, height);
}

int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)),
                                std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

// The metadata segment in which a camera says how the picture is to be turned (1 to 8).
QByteArray withOrientation(QByteArray jpeg, char orientation) {
    const QByteArray segment("\xFF\xE1\x00\x22"
                             "Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0",
                             28);
    return jpeg.insert(2, segment + orientation + QByteArray(7, '\0'));
}

// Fields as BMP and GIF files hold them: little-endian.
template <typename... Field> QByteArray fields(Field... values) {
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    (out << ... << values);
    return bytes;
}

// A 16 x 16 GIF of one colour, built by hand since the toolkit writes none. Every 9 bytes of
// its codes hold a clear code and two pixels, eight times over; they come in two blocks.
QByteArray gifBytes() {
    const QByteArray codes =
        QByteArray("\x04\x08\x10\x20\x40\x80\x00\x01\x02", 9).repeated(16) + '\x05';
    return "GIF89a" + fields(quint16{16}, quint16{16}, quint8{0x81}, quint16{0}) +
           QByteArray(12, '\0') +
           fields(quint8{0x2C}, quint32{0}, quint16{16}, quint16{16}, quint16{0x0200}) + '\x64' +
           codes.left(100) + '\x2D' + codes.mid(100) + QByteArray("\0\x3B", 2);
}

// An 8-pixel-wide run-length bitmap of 4 colours, built by hand since the toolkit writes none.
// Its size of the codes is left 0, as some writers leave it: only the codes tell where they end.
QByteArray runLengthBitmap(quint16 bitsPerPixel, qint32 height, const QByteArray& codes) {
    const quint32 headers = 14 + 40 + 16;
    return "BM" +
           fields(static_cast<quint32>(headers + codes.size()), quint32{0}, headers, quint32{40},
                  qint32{8}, height, quint16{1}, bitsPerPixel, quint32{bitsPerPixel == 8 ? 1u : 2u},
                  quint32{0}, quint32{2835}, quint32{2835}, quint32{4}, quint32{0},
                  quint32{0x0000FF}, quint32{0x00FF00}, quint32{0xFF0000}, quint32{0x808080}) +
           codes;
}

} // namespace

TEST_F(OpenBackground, BitmapHeadersWhoseSizesOverflowAreRefused) {
    ASSERT_EQ(open(savedPicture("good.bmp", "BMP", pattern)), std::nullopt);
    const QByteArray good = readFile(path("good.bmp"));
    for (const auto& [height, bitsPerPixel] :
         {std::pair<qint32, quint16>{0x7FFFFFFF, 24}, std::pair<qint32, quint16>{INT32_MIN, 16}}) {
        SCOPED_TRACE(bitsPerPixel);
        QByteArray header = good.left(54);
        qToLittleEndian(qint32{0x7FFFFFFF}, header.data() + 18);
        qToLittleEndian(height, header.data() + 22);
        qToLittleEndian(bitsPerPixel, header.data() + 28);
        writeFile(path("huge.bmp"), header);
        expectRefused(path("huge.bmp"), kEndsEarly);
    }
}

TEST_F(OpenBackground, CutShortJpegGifAndRunLengthBitmapsAreRefused) {
    ASSERT_EQ(open(savedPicture("good.bmp", "BMP", pattern)), std::nullopt);
    // A run of 5 pixels, 3 pixels one by one (RLE8: padded), the end of the row.
    const QByteArray rle8Row("\x05\x01\x00\x03\x02\x03\x00\x00\x00\x00", 10);
    const QByteArray rle4Row("\x03\x11\x00\x05\x23\x01\x20\x00\x00\x00", 10);
    const QByteArray end("\x00\x01", 2);
    const QByteArray jpeg = readFile(savedPicture("photo.jpg", "JPEG", patternPicture(64, 48)));
    const std::pair<const char*, QByteArray> files[] = {
        {"photo.jpg", withOrientation(jpeg, 1)},
        {"drawing.gif", gifBytes()},
        {"rle8.bmp", runLengthBitmap(8, 4, rle8Row.repeated(4) + end)},
        {"rle4.bmp", runLengthBitmap(4, 4, rle4Row.repeated(4) + end)}};
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        writeFile(path(name), bytes);
        ASSERT_EQ(open(path(name)), std::nullopt);
        ASSERT_EQ(open(path("good.bmp")), std::nullopt);
        for (const qsizetype cut :
             {qsizetype{80}, bytes.size() / 2, bytes.size() - 2, bytes.size() - 1}) {
            SCOPED_TRACE(cut);
            writeFile(path(name), bytes.left(cut));
            expectRefused(path(name), kEndsEarly);
        }
    }
    // Codes that end the bitmap after two of its four rows.
    writeFile(path("rows.bmp"), runLengthBitmap(8, 4, rle8Row.repeated(2) + end));
    expectRefused(path("rows.bmp"), kEndsEarly);
}

TEST_F(OpenBackground, APhotographLargerThanTheCanvasShowsItsTopLeftAsTheCameraHeldIt) {
    const QImage large = greyBlocks(8000, 6000);
    ASSERT_EQ(open(savedPicture("large.jpg", "JPEG", large)), std::nullopt);
    const int side = WeaveCanvas::kLargestInnerPixels;
    ASSERT_EQ(canvas.picture().size(), QSize(side, side));
    EXPECT_LE(largestDifference(canvas.picture(), large), 3);

    // Stored on its side or mirrored: the top-left part is the one shown once turned upright.
    const QByteArray stored = readFile(savedPicture("stored.jpg", "JPEG", greyBlocks(96, 64)));
    const QSize largest(56, 40);
    for (char orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(int{orientation});
        writeFile(path("turned.jpg"), withOrientation(stored, orientation));
        QImageReader whole(path("turned.jpg"));
        whole.setAutoTransform(true);
        const LoadedPicture part = loader.load(path("turned.jpg"), largest);
        ASSERT_EQ(part.picture.size(), largest);
        EXPECT_LE(largestDifference(part.picture, whole.read()), 3);
    }
}

TEST_F(OpenBackground, APictureScaledDownAsItIsReadKeepsTheResolutionItsFileRecords) {
    const std::vector<std::pair<const char*, QImage::Format>> kinds{
        {"PNG", QImage::Format_RGB32},
        {"PNG", QImage::Format_Indexed8},
        {"BMP", QImage::Format_RGB32},
        {"JPEG", QImage::Format_RGB32}};
    for (const auto& [format, pixels] : kinds) {
        SCOPED_TRACE(std::string(format) + (pixels == QImage::Format_Indexed8 ? " indexed" : ""));
        QImage picture = greyBlocks(200, 160).convertToFormat(pixels);
        picture.setDotsPerMeterX(14000);
        picture.setDotsPerMeterY(7000);
        const QString file = savedPicture("recorded", format, picture);
        const QImage whole = QImageReader(file).read();
        const LoadedPicture half = loader.loadWhole(file, 200 * 160 / 4);
        ASSERT_EQ(half.picture.size(), QSize(100, 80));
        EXPECT_DOUBLE_EQ(half.scale, 0.5);
        EXPECT_EQ(half.picture.dotsPerMeterX(), whole.dotsPerMeterX());
        EXPECT_EQ(half.picture.dotsPerMeterY(), whole.dotsPerMeterY());
    }
}

TEST_F(OpenBackground, APictureTooLargeForMemoryIsSaidToBeSo) {
    ASSERT_EQ(open(savedPicture("good.bmp", "BMP", pattern)), std::nullopt);
    const QString file = savedPicture("large.png", "PNG", greyBlocks(1000, 1000));
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1);
    expectRefused(file, "the picture is too large to read");
    // A reader that decodes the whole picture before it scales it down meets the limit at the
    // stored size, though the size asked for is far within it.
    const QString indexed = savedPicture(
        "indexed.png", "PNG", greyBlocks(1000, 600).convertToFormat(QImage::Format_Indexed8));
    QImageReader::setAllocationLimit(1);
    const LoadedPicture scaled = loader.loadWhole(indexed, 100 * 60);
    QImageReader::setAllocationLimit(limit);
    EXPECT_TRUE(scaled.picture.isNull());
    EXPECT_EQ(scaled.problem, QStringLiteral("the picture is too large to read"));
}

TEST_F(OpenBackground, LinkLoopsAndPipesAreRefusedWithoutWaiting) {
    ASSERT_EQ(open(savedPicture("good.bmp", "BMP", pattern)), std::nullopt);
    ASSERT_TRUE(QFile::link(path("self.bmp"), path("self.bmp")));
    ASSERT_TRUE(QFile::link(path("there.bmp"), path("back.bmp")));
    ASSERT_TRUE(QFile::link(path("back.bmp"), path("there.bmp")));
    ASSERT_TRUE(QFile::link(path("gone.bmp"), path("dangling.bmp")));
    for (const char* name : {"self.bmp", "back.bmp"}) {
        SCOPED_TRACE(name);
        expectRefused(path(name), "it is a symbolic link that leads round in a loop");
    }
    expectRefused(path("dangling.bmp"), "the file does not exist");

    const QByteArray pipe = QFile::encodeName(path("pipe.bmp"));
    ASSERT_EQ(mkfifo(pipe.constData(), 0600), 0);
    auto opened = std::async(std::launch::async, [&] { return open(path("pipe.bmp")); });
    if (opened.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
        ::close(::open(pipe.constData(), O_WRONLY | O_NONBLOCK)); // a writer lets it go on
        FAIL() << "opening a pipe waited for a writer";
    }
    const std::optional<QString> message = opened.get();
    ASSERT_TRUE(message);
    EXPECT_TRUE(message->endsWith("could not be opened: it is not a file. The background is "
                                  "unchanged."));
}

namespace {

constexpr const char* kDamaged = "the picture in it is damaged or incomplete";
constexpr const char* kTooLarge = "the picture is too large to read";

// LZW codes as a GIF writer makes them: the codes grow to 12 bits, the table starts again once
// full, and an end code closes them.
QByteArray lzwCodes(const QByteArray& pixels, int rootBits) {
    const int clear = 1 << rootBits;
    int codeBits = rootBits + 1;
    QByteArray codes;
    quint32 held = 0;
    int heldBits = 0;
    const auto put = [&](int code) {
        held |= static_cast<quint32>(code) << heldBits;
        for (heldBits += codeBits; heldBits >= 8; heldBits -= 8, held >>= 8) {
            codes += static_cast<char>(held & 0xFF);
        }
    };
    std::map<std::pair<int, char>, int> table;
    put(clear);
    int prefix = pixels[0];
    for (const char pixel : pixels.mid(1)) {
        if (const auto known = table.find({prefix, pixel}); known != table.end()) {
            prefix = known->second;
            continue;
        }
        put(prefix);
        const int next = clear + 2 + static_cast<int>(table.size());
        table[{prefix, pixel}] = next;
        if (next == 4095) { // the reader's table is full one code later
            put(clear);
            table.clear();
            codeBits = rootBits + 1;
        } else if (next == 1 << codeBits) {
            ++codeBits;
        }
        prefix = pixel;
    }
    put(prefix);
    if (clear + 2 + static_cast<int>(table.size()) == 1 << codeBits) {
        ++codeBits;
    }
    put(clear + 1);
    return codes + (heldBits > 0 ? QByteArray(1, static_cast<char>(held)) : QByteArray());
}

// One frame of 64 greys, its codes in blocks of 255 bytes, closed with the trailer.
QByteArray gifFile(quint16 width, quint16 height, const QByteArray& codes) {
    QByteArray colours;
    for (int i = 0; i < 64; ++i) {
        colours += QByteArray(3, static_cast<char>(i * 4));
    }
    QByteArray blocks;
    for (qsizetype at = 0; at < codes.size(); at += 255) {
        const QByteArray block = codes.mid(at, 255);
        blocks += static_cast<char>(block.size()) + block;
    }
    return "GIF89a" + fields(width, height, quint8{0x85}, quint16{0}) + colours +
           fields(quint8{0x2C}, quint32{0}, width, height, quint8{0}) + '\x06' + blocks +
           QByteArray("\0\x3B", 2);
}

} // namespace

TEST_F(OpenBackground, APictureWhoseDataStopsBeforeItsLastRowIsRefusedAndAWholeOneKept) {
    const QByteArray photo = readFile(savedPicture("p.jpg", "JPEG", patternPicture(1200, 800)));
    const QByteArray small = readFile(savedPicture("s.jpg", "JPEG", patternPicture(400, 256)));
    ASSERT_GT(small.size(), 25000);
    QByteArray promisesMore = small; // a header that says 2184 x 2184
    qToBigEndian(quint32{0x08880888}, promisesMore.data() + small.indexOf("\xFF\xC0") + 5);
    QByteArray strayBytes = photo;
    strayBytes.insert(photo.indexOf("\xFF\xDB"), QByteArray(3, '\0')); // libjpeg warns
    QByteArray pixels;
    QImage drawn(120, 400, QImage::Format_ARGB32);
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            pixels += static_cast<char>((x / 3 + y / 5 * 7 + x * y % 11) % 64);
            drawn.setPixel(x, y, qRgb(pixels.back() * 4, pixels.back() * 4, pixels.back() * 4));
        }
    }
    const QByteArray codes = lzwCodes(pixels, 6);
    const struct {
        const char* name;
        QByteArray bytes;
        const char* reason; // none: kept
    } cases[] = {
        {"half.jpg", photo.left(photo.size() / 2) + "\xFF\xD9", kDamaged},
        {"whole.jpg", photo, nullptr},
        {"promises-more.jpg", promisesMore, kDamaged},
        {"as-promised.jpg", small, nullptr},
        {"stray-bytes.jpg", strayBytes, nullptr},
        {"half.gif", gifFile(120, 400, codes.left(codes.size() / 2)), kDamaged},
        {"end-code-at-half.gif", gifFile(120, 400, lzwCodes(pixels.left(24000), 6)), kDamaged},
        {"whole.gif", gifFile(120, 400, codes), nullptr},
    };
    // The toolkit's messages still reach the handler that was there before the loads.
    static QStringList heard;
    const QtMessageHandler listen = [](QtMsgType, const QMessageLogContext&, const QString& text) {
        heard << text;
    };
    const QtMessageHandler before = qInstallMessageHandler(listen);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(open(savedPicture("good.bmp", "BMP", pattern)), std::nullopt);
        writeFile(path(c.name), c.bytes);
        if (c.reason != nullptr) {
            expectRefused(path(c.name), c.reason);
        } else {
            EXPECT_EQ(open(path(c.name)), std::nullopt);
        }
    }
    EXPECT_EQ(qInstallMessageHandler(before), listen);
    EXPECT_EQ(canvas.picture(), drawn);
    const QString prematureEnd("Corrupt JPEG data: premature end of data segment");
    EXPECT_EQ(heard, (QStringList{prematureEnd, prematureEnd,
                                  "Corrupt JPEG data: 3 extraneous bytes before marker 0xdb"}));
}

TEST_F(OpenBackground, ABitmapOfMorePixelsThanTheReaderTakesIsTooLargeWhenItsRowsAreThere) {
    const struct {
        qint32 width, height;
        quint16 bitsPerPixel;
        qint64 missing; // bytes cut from the end
        const char* reason;
    } cases[] = {
        {30000, 30000, 1, 0, kTooLarge},  {32000, 32000, 24, 0, kTooLarge},
        {16385, 16384, 1, 0, kTooLarge},  {20000, 1000, 1, 0, nullptr},
        {30000, 30000, 1, 1, kEndsEarly}, {32000, -32000, 24, 96000, kEndsEarly},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height << " less " << c.missing);
        ASSERT_EQ(open(savedPicture("good.bmp", "BMP", pattern)), std::nullopt);
        // The rows are there but take no disk space: the file grows past its headers unwritten.
        const quint32 headers = 14 + 40 + (c.bitsPerPixel == 1 ? 8 : 0);
        const qint64 rowBytes = (qint64{c.width} * c.bitsPerPixel + 31) / 32 * 4;
        const qint64 size = headers + rowBytes * std::abs(c.height) - c.missing;
        writeFile(path("sparse.bmp"),
                  ("BM" + fields(static_cast<quint32>(size), quint32{0}, headers, quint32{40},
                                 c.width, c.height, quint16{1}, c.bitsPerPixel, quint32{0},
                                 quint32{0}, quint32{2835}, quint32{2835}, quint32{0}, quint32{0},
                                 quint32{0}, quint32{0xFFFFFF}))
                      .left(headers));
        ASSERT_TRUE(QFile::resize(path("sparse.bmp"), size));
        if (c.reason != nullptr) {
            expectRefused(path("sparse.bmp"), c.reason);
        } else {
            EXPECT_EQ(open(path("sparse.bmp")), std::nullopt);
        }
    }
}
