#include "entry/EntryTestSupport.h"
#include "io/PrintWovenPicture.h"
#include "io/QtPrinter.h"
#include "io_test_support.h"
#include "support/FakeCommonDialog.h"
#include "support/RecordingPrinter.h"
#include "weave/WeaveCanvas.h"

#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <tuple>
#include <vector>

using namespace loomara;
using namespace loomara::testing;

namespace {

constexpr Rgb kBack{90, 30, 60};

class PrintWovenPicture : public ::testing::Test {
protected:
    std::optional<QString> printWith(int orientation) {
        cd1.confirmPrinter(orientation);
        return printWovenPicture(cd1, printer, canvas);
    }

    FakeCommonDialog cd1;
    RecordingPrinter printer;
    WeaveCanvas canvas{kBack};
};

} // namespace

TEST_F(PrintWovenPicture, PortraitPrintsTheCanvasAtItsOuterSizeInTwipsOnOnePage) {
    canvas.line(0, 0, 30, 0, Rgb{255, 255, 255});
    ASSERT_EQ(printWith(kPortrait), std::nullopt);
    EXPECT_EQ(cd1.log(), QStringList{"ShowPrinter"});
    EXPECT_EQ(printer.calls(), (QStringList{"Orientation=1", "PaintPicture", "EndDoc"}));
    ASSERT_EQ(printer.paintings().size(), 1u);
    const RecordingPrinter::Painting& p = printer.paintings()[0];
    EXPECT_EQ(p.orientation, kPortrait);
    EXPECT_EQ(p.left, 0.0);
    EXPECT_EQ(p.top, 0.0);
    EXPECT_EQ(p.width, 10455.0); // about 7.26 inches
    EXPECT_EQ(p.height, 6735.0);
    EXPECT_EQ(p.picture, canvas.image());
    EXPECT_EQ(printer.pagesPrinted(), 1);
}

TEST_F(PrintWovenPicture, LandscapeOrAnyOtherCodePrintsHalfAsLargeAgain) {
    for (const int code : {kLandscape, 0, 3}) {
        SCOPED_TRACE(code);
        RecordingPrinter fresh;
        cd1.confirmPrinter(code);
        ASSERT_EQ(printWovenPicture(cd1, fresh, canvas), std::nullopt);
        EXPECT_EQ(fresh.calls(), (QStringList{"Orientation=2", "PaintPicture", "EndDoc"}));
        ASSERT_EQ(fresh.paintings().size(), 1u);
        EXPECT_EQ(fresh.paintings()[0].orientation, kLandscape);
        EXPECT_EQ(fresh.paintings()[0].width, 15682.5);
        EXPECT_EQ(fresh.paintings()[0].height, 10102.5);
        EXPECT_EQ(fresh.pagesPrinted(), 1);
    }
}

TEST_F(PrintWovenPicture, AShrunkCanvasPrintsAtItsNewSizeInDoublePrecision) {
    const float width = 10455.0f * 2 / 3;
    const float height = 6735.0f * 4 / 9;
    canvas.setWidth(width);
    canvas.setHeight(height);
    ASSERT_EQ(printWith(kPortrait), std::nullopt);
    ASSERT_EQ(printWith(kLandscape), std::nullopt);
    ASSERT_EQ(printer.paintings().size(), 2u);
    EXPECT_EQ(printer.paintings()[0].width, static_cast<double>(width));
    EXPECT_EQ(printer.paintings()[0].height, static_cast<double>(height));
    EXPECT_EQ(printer.paintings()[1].width, 1.5 * static_cast<double>(width));
    EXPECT_EQ(printer.paintings()[1].height, 1.5 * static_cast<double>(height));
    EXPECT_EQ(printer.paintings()[1].picture.size(),
              QSize(canvas.scaleWidth(), canvas.scaleHeight()));
    EXPECT_EQ(printer.pagesPrinted(), 2);
}

TEST_F(PrintWovenPicture, CancelPrintsNothing) {
    cd1.cancel();
    EXPECT_EQ(printWovenPicture(cd1, printer, canvas), std::nullopt);
    EXPECT_TRUE(printer.calls().isEmpty());
    EXPECT_EQ(printer.pagesPrinted(), 0);
}

TEST_F(PrintWovenPicture, AMissingOrFailingPrinterIsReported) {
    printer.failPainting = QStringLiteral("no printer is set up");
    EXPECT_EQ(printWith(kPortrait),
              QStringLiteral("The picture could not be printed: no printer is set up."));
    EXPECT_EQ(printer.calls(), (QStringList{"Orientation=1", "PaintPicture"}));

    RecordingPrinter failing;
    failing.failEnding = QStringLiteral("the printer reported an error while finishing the page");
    cd1.confirmPrinter(kLandscape);
    EXPECT_EQ(printWovenPicture(cd1, failing, canvas),
              QStringLiteral("The picture could not be printed: the printer reported an error "
                             "while finishing the page."));
    EXPECT_EQ(failing.pagesPrinted(), 0);
}

namespace {

// What a PDF written by the printer shows: its pages' media boxes and where each image was
// placed, in points from the page's top-left corner.
struct PdfPage {
    QRectF mediaBox;
    std::vector<QRectF> images;
};

// Follows the graphics state operators q, Q and cm of a content stream to the image drawn by
// each Do.
std::vector<QRectF> imagePlacements(const QByteArray& content, double pageHeight) {
    using Matrix = std::array<double, 6>;
    const auto multiply = [](const Matrix& m, const Matrix& n) {
        return Matrix{m[0] * n[0] + m[1] * n[2],        m[0] * n[1] + m[1] * n[3],
                      m[2] * n[0] + m[3] * n[2],        m[2] * n[1] + m[3] * n[3],
                      m[4] * n[0] + m[5] * n[2] + n[4], m[4] * n[1] + m[5] * n[3] + n[5]};
    };
    std::vector<Matrix> stack{{1, 0, 0, 1, 0, 0}};
    std::vector<double> operands;
    std::vector<QRectF> images;
    for (const QByteArray& token : content.simplified().split(' ')) {
        bool isNumber = false;
        const double value = token.toDouble(&isNumber);
        if (isNumber) {
            operands.push_back(value);
            continue;
        }
        if (token == "q") {
            stack.push_back(stack.back());
        } else if (token == "Q" && stack.size() > 1) {
            stack.pop_back();
        } else if (token == "cm" && operands.size() >= 6) {
            Matrix m;
            std::copy(operands.end() - 6, operands.end(), m.begin());
            stack.back() = multiply(m, stack.back());
        } else if (token == "Do") {
            const Matrix& t = stack.back();
            const QPointF a(t[4], t[5]);
            const QPointF b(t[0] + t[2] + t[4], t[1] + t[3] + t[5]);
            images.push_back(
                QRectF(QPointF(std::min(a.x(), b.x()), pageHeight - std::max(a.y(), b.y())),
                       QPointF(std::max(a.x(), b.x()), pageHeight - std::min(a.y(), b.y()))));
        }
        if (!token.startsWith('/')) {
            operands.clear();
        }
    }
    return images;
}

std::vector<PdfPage> readPdf(const QByteArray& pdf) {
    std::vector<PdfPage> pages;
    const QRegularExpression page(
        QStringLiteral("/Type /Page\\b.*?/MediaBox \\[([\\d.]+) ([\\d.]+) ([\\d.]+) ([\\d.]+)\\]"),
        QRegularExpression::DotMatchesEverythingOption);
    for (auto it = page.globalMatch(QString::fromLatin1(pdf)); it.hasNext();) {
        const auto m = it.next();
        pages.push_back({QRectF(m.captured(1).toDouble(), m.captured(2).toDouble(),
                                m.captured(3).toDouble(), m.captured(4).toDouble()),
                         {}});
    }
    // Content streams are compressed with zlib; qUncompress wants the size in front.
    for (qsizetype at = pdf.indexOf("stream"); at >= 0; at = pdf.indexOf("stream", at + 1)) {
        const qsizetype object = pdf.lastIndexOf(" obj", at);
        const QByteArray dictionary = pdf.mid(object, at - object);
        if ((at >= 3 && pdf.mid(at - 3, 3) == "end") || !dictionary.contains("/FlateDecode") ||
            dictionary.contains("/Subtype /Image")) {
            continue;
        }
        const qsizetype begin = pdf.indexOf('\n', at) + 1;
        const qsizetype end = pdf.indexOf("endstream", begin);
        QByteArray packed(4, '\0');
        qToBigEndian<quint32>(1 << 20, packed.data());
        packed += pdf.mid(begin, end - begin);
        const QByteArray content = qUncompress(packed);
        if (content.contains(" Do") && !pages.empty()) {
            const double height = pages.back().mediaBox.height();
            pages.back().images = imagePlacements(content, height);
        }
    }
    return pages;
}

// An image of the PDF as stored: its filter, and its pixels when they are 8-bit RGB packed with
// zlib, the one way a picture can come back exactly.
struct PdfImage {
    QByteArray filter;
    QImage picture;
};

std::vector<PdfImage> readPdfImages(const QByteArray& pdf) {
    std::vector<PdfImage> images;
    const QRegularExpression number(QStringLiteral("/(Width|Height|BitsPerComponent) (\\d+)"));
    const QRegularExpression filter(QStringLiteral("/Filter /(\\w+)"));
    for (qsizetype at = pdf.indexOf("/Subtype /Image"); at >= 0;
         at = pdf.indexOf("/Subtype /Image", at + 1)) {
        const qsizetype object = pdf.lastIndexOf(" obj", at);
        const qsizetype stream = pdf.indexOf("stream", at);
        const QString dictionary = QString::fromLatin1(pdf.mid(object, stream - object));
        PdfImage image{filter.match(dictionary).captured(1).toLatin1(), QImage()};
        int width = 0;
        int height = 0;
        int bits = 0;
        for (auto it = number.globalMatch(dictionary); it.hasNext();) {
            const auto m = it.next();
            (m.captured(1) == "Width"    ? width
             : m.captured(1) == "Height" ? height
                                         : bits) = m.captured(2).toInt();
        }
        if (image.filter == "FlateDecode" && bits == 8 && dictionary.contains("/DeviceRGB")) {
            const qsizetype begin = pdf.indexOf('\n', stream) + 1;
            QByteArray packed(4, '\0');
            qToBigEndian<quint32>(static_cast<quint32>(width * height * 3), packed.data());
            packed += pdf.mid(begin, pdf.indexOf("endstream", begin) - begin);
            const QByteArray rgb = qUncompress(packed);
            if (rgb.size() == qsizetype{width} * height * 3) {
                image.picture = QImage(width, height, QImage::Format_RGB32);
                for (int y = 0; y < height; ++y) {
                    for (int x = 0; x < width; ++x) {
                        const auto* p = reinterpret_cast<const uchar*>(rgb.constData()) +
                                        (qsizetype{y} * width + x) * 3;
                        image.picture.setPixel(x, y, qRgb(p[0], p[1], p[2]));
                    }
                }
            }
        }
        images.push_back(image);
    }
    return images;
}

std::set<QRgb> coloursOf(const QImage& picture) {
    std::set<QRgb> colours;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            colours.insert(picture.pixel(x, y));
        }
    }
    return colours;
}

class PrintToPdf : public ::testing::Test {
protected:
    void SetUp() override {
        device.setOutputFormat(QPrinter::PdfFormat);
        device.setOutputFileName(pdfPath);
    }

    // The printable area's corner lies on a whole device dot.
    double oneDot() const { return 72.0 / device.resolution(); }

    QTemporaryDir dir;
    QString pdfPath = dir.filePath("page.pdf");
    QPrinter device;
    QtPrinter printer{device};
    FakeCommonDialog cd1;
    WeaveCanvas canvas{kBack};
};

} // namespace

TEST_F(PrintToPdf, PortraitGivesOnePageWithThePictureAtThePrintableCornerAtScreenSize) {
    cd1.confirmPrinter(kPortrait);
    ASSERT_EQ(printWovenPicture(cd1, printer, canvas), std::nullopt);

    const std::vector<PdfPage> pages = readPdf(readFile(pdfPath));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_LT(pages[0].mediaBox.width(), pages[0].mediaBox.height());
    ASSERT_EQ(pages[0].images.size(), 1u);
    const QRectF corner = device.pageLayout().paintRectPoints();
    const QRectF image = pages[0].images[0];
    EXPECT_NEAR(image.left(), corner.left(), oneDot());
    EXPECT_NEAR(image.top(), corner.top(), oneDot());
    EXPECT_NEAR(image.width() / 72, 10455.0 / 1440, 0.0001); // 7.26 inches
    EXPECT_NEAR(image.height() / 72, 6735.0 / 1440, 0.0001);
}

TEST_F(PrintToPdf, LandscapeAtHighResolutionTurnsThePageAndPrintsHalfAsLargeAgain) {
    device.setResolution(1200);
    canvas.setWidth(6970);
    canvas.setHeight(4490);
    cd1.confirmPrinter(kLandscape);
    ASSERT_EQ(printWovenPicture(cd1, printer, canvas), std::nullopt);

    const std::vector<PdfPage> pages = readPdf(readFile(pdfPath));
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_GT(pages[0].mediaBox.width(), pages[0].mediaBox.height());
    ASSERT_EQ(pages[0].images.size(), 1u);
    const QRectF corner = device.pageLayout().paintRectPoints();
    const QRectF image = pages[0].images[0];
    EXPECT_NEAR(image.left(), corner.left(), oneDot());
    EXPECT_NEAR(image.top(), corner.top(), oneDot());
    EXPECT_NEAR(image.width() / 72, 1.5 * 6970 / 1440, 0.0001);
    EXPECT_NEAR(image.height() / 72, 1.5 * 4490 / 1440, 0.0001);
}

TEST_F(PrintToPdf, CancelWritesNoDocument) {
    cd1.cancel();
    EXPECT_EQ(printWovenPicture(cd1, printer, canvas), std::nullopt);
    EXPECT_FALSE(QFile::exists(pdfPath));
}

TEST_F(PrintToPdf, NoPrinterAndAnUnwritableFileAreReported) {
    device.setOutputFileName(QString());
    cd1.confirmPrinter(kPortrait);
    EXPECT_EQ(printWovenPicture(cd1, printer, canvas),
              QStringLiteral("The picture could not be printed: no printer is set up and no file "
                             "to print into was chosen."));

    writeFile(dir.filePath("a-file"), "x");
    device.setOutputFileName(dir.filePath("a-file/page.pdf"));
    cd1.confirmPrinter(kPortrait);
    EXPECT_EQ(printWovenPicture(cd1, printer, canvas),
              QStringLiteral("The picture could not be printed: the printer could not begin the "
                             "page."));

    // The printer is not left half-way: the next print works.
    device.setOutputFileName(pdfPath);
    cd1.confirmPrinter(kPortrait);
    EXPECT_EQ(printWovenPicture(cd1, printer, canvas), std::nullopt);
    EXPECT_EQ(readPdf(readFile(pdfPath)).size(), 1u);
}

TEST_F(PrintToPdf, ThePageHoldsTheWovenPictureExactlyInEitherOrientation) {
    // Red, black and green over white: a handful of colours and one-pixel twill steps, which a
    // lossy encoding blurs into thousands of shades.
    Designer designer;
    designer.selectSwatch(pictureOf("W"));
    designer.takeBackgroundColour();
    for (const auto& [code, count, slot] :
         {std::tuple{"R", "80", 1}, std::tuple{"K", "8", 2}, std::tuple{"G", "80", 3}}) {
        designer.selectSwatch(pictureOf(code));
        typeAndLock(designer, slot, count);
    }
    designer.weave();
    const WeaveCanvas& woven = designer.form.weavePicture;
    ASSERT_EQ(woven.image().size(), QSize(693, 445));
    ASSERT_LE(coloursOf(woven.image()).size(), 5u);

    device.setResolution(1200);
    for (const int code : {kPortrait, kLandscape}) {
        SCOPED_TRACE(code);
        cd1.confirmPrinter(code);
        ASSERT_EQ(printWovenPicture(cd1, printer, woven), std::nullopt);
        const std::vector<PdfImage> images = readPdfImages(readFile(pdfPath));
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images[0].filter, "FlateDecode");
        EXPECT_EQ(images[0].picture, woven.image().convertToFormat(QImage::Format_RGB32));
    }
}
