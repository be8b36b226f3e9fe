#include "weave/WeaveCanvas.h"

#include <gtest/gtest.h>

#include <limits>

using namespace loomara;

namespace {

constexpr Rgb kBack{255, 255, 255};
constexpr Rgb kInk{0, 0, 128};
const QRgb kBackPixel = qRgb(255, 255, 255);
const QRgb kInkPixel = qRgb(0, 0, 128);
const QRgb kRed = qRgb(255, 0, 0);

QImage redPicture(int w, int h) {
    QImage picture(w, h, QImage::Format_RGB32);
    picture.fill(kRed);
    return picture;
}

} // namespace

TEST(WeaveCanvas, DesignSizeGivesAn693By445DrawingArea) {
    const WeaveCanvas canvas(kBack);
    EXPECT_EQ(canvas.width(), 10455.0f);
    EXPECT_EQ(canvas.height(), 6735.0f);
    EXPECT_EQ(canvas.scaleWidth(), 693);
    EXPECT_EQ(canvas.scaleHeight(), 445);
    EXPECT_EQ(canvas.image().size(), QSize(693, 445));
    EXPECT_EQ(canvas.pixel(0, 0), kBackPixel);
}

TEST(WeaveCanvas, ZeroHeightKeepsTheWidthButHasNoPixels) {
    WeaveCanvas canvas(kBack);
    canvas.setHeight(0);
    EXPECT_EQ(canvas.scaleWidth(), 693);
    EXPECT_EQ(canvas.scaleHeight(), 0);
    canvas.line(5, 0, 5, 10, kInk);
    canvas.line(10, 0, 0, 0, kInk);
    canvas.setBackColour(kInk);
    EXPECT_EQ(canvas.pixel(5, 0), 0u);
}

TEST(WeaveCanvas, SizesThatAreNoNumberOrTooLargeAreBounded) {
    WeaveCanvas canvas(kBack);
    canvas.setWidth(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(canvas.scaleWidth(), 0);
    canvas.setWidth(1e30f);
    EXPECT_EQ(canvas.scaleWidth(), 2184); // 32767 twips
    canvas.setWidth(-300);
    EXPECT_EQ(canvas.scaleWidth(), 0);
}

TEST(WeaveCanvas, LinesPaintTheStartAndNotTheEndInEveryDirection) {
    WeaveCanvas canvas(kBack);
    canvas.line(10, 20, 10, 22, kInk); // down: 20, 21
    canvas.line(12, 22, 12, 20, kInk); // up: 22, 21
    canvas.line(30, 5, 28, 5, kInk);   // left: 30, 29
    canvas.line(40, 5, 43, 5, kInk);   // right: 40, 41, 42
    canvas.line(50, 50, 50, 50, kInk); // a point: nothing
    EXPECT_EQ(canvas.pixel(10, 19), kBackPixel);
    EXPECT_EQ(canvas.pixel(10, 20), kInkPixel);
    EXPECT_EQ(canvas.pixel(10, 21), kInkPixel);
    EXPECT_EQ(canvas.pixel(10, 22), kBackPixel);
    EXPECT_EQ(canvas.pixel(12, 20), kBackPixel);
    EXPECT_EQ(canvas.pixel(12, 21), kInkPixel);
    EXPECT_EQ(canvas.pixel(12, 22), kInkPixel);
    EXPECT_EQ(canvas.pixel(28, 5), kBackPixel);
    EXPECT_EQ(canvas.pixel(29, 5), kInkPixel);
    EXPECT_EQ(canvas.pixel(30, 5), kInkPixel);
    EXPECT_EQ(canvas.pixel(42, 5), kInkPixel);
    EXPECT_EQ(canvas.pixel(43, 5), kBackPixel);
    EXPECT_EQ(canvas.pixel(50, 50), kBackPixel);
}

TEST(WeaveCanvas, LinesAreClippedAtEveryEdge) {
    WeaveCanvas canvas(kBack);
    canvas.line(0, -1, 0, 1, kInk);        // only row 0
    canvas.line(692, 444, 692, 447, kInk); // only row 444
    canvas.line(1, 3, -1, 3, kInk);        // columns 1, 0
    canvas.line(694, 7, 690, 7, kInk);     // columns 692 .. 691
    canvas.line(-5, 100, -5, 102, kInk);   // wholly outside
    canvas.line(2147483647, 0, 2147483647, 5, kInk);
    canvas.line(-2147483647, 9, -2147483648, 9, kInk);
    canvas.line(3, -2147483648, 3, 2147483647, kInk); // the whole column
    EXPECT_EQ(canvas.pixel(0, 0), kInkPixel);
    EXPECT_EQ(canvas.pixel(692, 444), kInkPixel);
    EXPECT_EQ(canvas.pixel(0, 3), kInkPixel);
    EXPECT_EQ(canvas.pixel(1, 3), kInkPixel);
    EXPECT_EQ(canvas.pixel(2, 3), kBackPixel);
    EXPECT_EQ(canvas.pixel(692, 7), kInkPixel);
    EXPECT_EQ(canvas.pixel(691, 7), kInkPixel);
    EXPECT_EQ(canvas.pixel(690, 7), kBackPixel);
    EXPECT_EQ(canvas.pixel(3, 0), kInkPixel);
    EXPECT_EQ(canvas.pixel(3, 444), kInkPixel);
}

TEST(WeaveCanvas, SlantedLineLeavesOutItsEnd) {
    WeaveCanvas canvas(kBack);
    canvas.line(0, 0, 3, 3, kInk);
    EXPECT_EQ(canvas.pixel(0, 0), kInkPixel);
    EXPECT_EQ(canvas.pixel(2, 2), kInkPixel);
    EXPECT_EQ(canvas.pixel(3, 3), kBackPixel);
}

TEST(WeaveCanvas, BackColourErasesTheDrawingAndKeepsThePictureUnderIt) {
    WeaveCanvas canvas(kBack);
    canvas.setPicture(redPicture(20, 10));
    EXPECT_EQ(canvas.pixel(5, 5), kRed);
    EXPECT_EQ(canvas.pixel(25, 5), kBackPixel);
    canvas.line(5, 5, 5, 7, kInk);
    canvas.line(25, 5, 25, 7, kInk);
    EXPECT_EQ(canvas.pixel(5, 5), kInkPixel);

    canvas.setBackColour(Rgb{0, 255, 0});
    EXPECT_EQ(canvas.pixel(5, 5), kRed);
    EXPECT_EQ(canvas.pixel(25, 5), qRgb(0, 255, 0));
}

TEST(WeaveCanvas, PictureLoadedAfterDrawingGoesUnderTheDrawing) {
    WeaveCanvas canvas(kBack);
    canvas.line(5, 5, 5, 7, kInk);
    canvas.line(6, 5, 6, 7, kBack); // drawn, though in the back colour
    canvas.setPicture(redPicture(20, 10));
    EXPECT_EQ(canvas.pixel(5, 5), kInkPixel);
    EXPECT_EQ(canvas.pixel(6, 5), kBackPixel);
    EXPECT_EQ(canvas.pixel(7, 5), kRed);

    canvas.clearPicture();
    EXPECT_EQ(canvas.pixel(5, 6), kInkPixel);
    EXPECT_EQ(canvas.pixel(7, 5), kBackPixel);
}

TEST(WeaveCanvas, ShrinkingAndGrowingKeepsTheTopLeftOfTheDrawing) {
    WeaveCanvas canvas(kBack);
    canvas.line(5, 5, 5, 7, kInk);
    canvas.line(600, 5, 600, 7, kInk);
    canvas.setWidth(150 * 15); // 146 pixels inside the border
    EXPECT_EQ(canvas.scaleWidth(), 146);
    EXPECT_EQ(canvas.pixel(5, 5), kInkPixel);
    canvas.setWidth(WeaveCanvas::kDesignWidthTwips);
    EXPECT_EQ(canvas.pixel(5, 6), kInkPixel);
    EXPECT_EQ(canvas.pixel(600, 5), kBackPixel);
}

TEST(WeaveCanvas, CopyOfThePictureIsNotChangedByLaterDrawing) {
    WeaveCanvas canvas(kBack);
    const QImage before = canvas.image();
    canvas.line(5, 5, 5, 7, kInk);
    EXPECT_EQ(before.pixel(5, 5), kBackPixel);
    EXPECT_EQ(canvas.pixel(5, 5), kInkPixel);
    EXPECT_EQ(canvas.image().pixel(5, 5), kInkPixel);
}

TEST(WeaveCanvas, ResetRestoresTheDesign) {
    WeaveCanvas canvas(kBack);
    canvas.setPicture(redPicture(4, 4));
    canvas.setWidth(100);
    canvas.line(1, 1, 1, 3, kInk);
    canvas.reset(Rgb{1, 2, 3});
    EXPECT_FALSE(canvas.hasPicture());
    EXPECT_EQ(canvas.scaleWidth(), 693);
    EXPECT_EQ(canvas.pixel(1, 1), qRgb(1, 2, 3));
}
