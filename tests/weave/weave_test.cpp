#include "WeaveTestSupport.h"

#include "weave/NumericPrefix.h"

#include <gtest/gtest.h>

using namespace loomara;
using namespace loomara::test;

namespace {

const QRgb kBackPixel = qRgb(kBackground.red, kBackground.green, kBackground.blue);

QRgb stripePixel(int slot) {
    const Rgb c = stripeColour(slot);
    return qRgb(c.red, c.green, c.blue);
}

void prepare(WeaveCanvas& canvas, const char* settWidth) {
    prepareCanvas(canvas, QString::fromLatin1(settWidth), kBackground);
}

void expectPictureMatchesTrace(const WeaveCanvas& canvas, const Trace& trace, const Sett& sett) {
    const QImage expected =
        expectedPicture(trace, sett.design, canvas.scaleWidth(), canvas.scaleHeight(), kBackground);
    const QImage& actual = canvas.image();
    ASSERT_EQ(actual.size(), expected.size());
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            ASSERT_EQ(actual.pixel(x, y), expected.pixel(x, y)) << "at " << x << ", " << y;
        }
    }
}

} // namespace

TEST(SettWidthText, ReadsTheNumericPrefix) {
    EXPECT_EQ(numericPrefix(QStringLiteral("200")), 200.0);
    EXPECT_EQ(numericPrefix(QStringLiteral("  12abc")), 12.0);
    EXPECT_EQ(numericPrefix(QStringLiteral("-5")), -5.0);
    EXPECT_EQ(numericPrefix(QStringLiteral("+7 threads")), 7.0);
    EXPECT_EQ(numericPrefix(QStringLiteral("1.5e3")), 1.5);
    EXPECT_EQ(numericPrefix(QStringLiteral(".25")), 0.25);
    EXPECT_EQ(numericPrefix(QStringLiteral("abc")), 0.0);
    EXPECT_EQ(numericPrefix(QString()), 0.0);
    EXPECT_EQ(numericPrefix(QStringLiteral("-")), 0.0);
    EXPECT_EQ(numericPrefix(QStringLiteral("1 2")), 1.0);
}

TEST(CanvasPreparation, ScalesFromTheDesignSizeBelowSettWidth160) {
    WeaveCanvas canvas(kBackground);
    prepare(canvas, "200");
    EXPECT_EQ(canvas.width(), WeaveCanvas::kDesignWidthTwips);
    EXPECT_EQ(canvas.height(), WeaveCanvas::kDesignHeightTwips);

    prepare(canvas, "100");
    EXPECT_FLOAT_EQ(canvas.width(), 6970.0f); // 2/3 of the design
    EXPECT_FLOAT_EQ(canvas.height(), 4490.0f);
    EXPECT_EQ(canvas.scaleWidth(), 461);
    EXPECT_EQ(canvas.scaleHeight(), 295);

    prepare(canvas, "100"); // weaving again does not shrink it further
    EXPECT_FLOAT_EQ(canvas.width(), 6970.0f);
    EXPECT_FLOAT_EQ(canvas.height(), 4490.0f);

    prepare(canvas, "159.9"); // just below 160: slightly larger than the design
    EXPECT_GT(canvas.width(), WeaveCanvas::kDesignWidthTwips);
    prepare(canvas, "160");
    EXPECT_EQ(canvas.width(), WeaveCanvas::kDesignWidthTwips);
}

TEST(CanvasPreparation, ZeroOrNoNumberGivesNoCanvasAndAWiderSettRestoresIt) {
    WeaveCanvas canvas(kBackground);
    for (const char* text : {"0", "abc", "", "-50"}) {
        prepare(canvas, text);
        EXPECT_EQ(canvas.width(), 0.0f) << text;
        EXPECT_EQ(canvas.scaleWidth(), 0) << text;
        EXPECT_EQ(canvas.scaleHeight(), 0) << text;
    }
    prepare(canvas, "200");
    EXPECT_EQ(canvas.scaleWidth(), 693);
    EXPECT_EQ(canvas.scaleHeight(), 445);
}

TEST(Weave, DrawsExactlyThePictureOfItsBlocks) {
    for (const auto& [counts, width] : std::vector<std::pair<std::vector<int>, const char*>>{
             {{10, 10, 10, 10}, "40"},
             {{8, 40, 12, 60, 24, 56}, "200"},
             {{3, 7}, "10"},
             {{5, -3, 7}, "200"}}) { // a negative count, not reachable by locking: no thread
        Sett sett({}, QString::fromLatin1(width));
        for (std::size_t i = 0; i < counts.size(); ++i) {
            sett.design.slot(static_cast<int>(i) + 1).threadCount = static_cast<int16>(counts[i]);
            sett.boxes[i] = QString::number(counts[i]);
        }
        WeaveCanvas canvas(Rgb{1, 2, 3});
        WeaveState state;
        const Trace trace = weaveTraced(sett, state, canvas);
        expectPictureMatchesTrace(canvas, trace, sett);
    }
}

TEST(Weave, FourByTenPixelsShowTheBlockEdges) {
    // With threads numbered from 1 without gaps, column x paints row y when (x + y) mod 6 is
    // 2 or 3, and row y paints column x when (x + y) mod 6 is 5 or 0.
    const Sett sett({10, 10, 10, 10}, QStringLiteral("40"));
    WeaveCanvas canvas(kBackground);
    WeaveState state;
    weave(sett.inputs(), state, canvas);
    EXPECT_EQ(canvas.pixel(0, 3), kBackPixel); // column 0 and row 0 hold no thread
    EXPECT_EQ(canvas.pixel(0, 5), stripePixel(1));
    EXPECT_EQ(canvas.pixel(43, 1), stripePixel(4)); // the last column of forward 1
    EXPECT_EQ(canvas.pixel(44, 0), stripePixel(3)); // the mirror starts at 44 with stripe 3
    EXPECT_EQ(canvas.pixel(44, 2), kBackPixel);
    EXPECT_EQ(canvas.pixel(44, 3), stripePixel(1)); // weft row 3
    EXPECT_EQ(canvas.pixel(54, 2), stripePixel(3));
    EXPECT_EQ(canvas.pixel(55, 1), stripePixel(2));
    EXPECT_EQ(canvas.pixel(4, 43), stripePixel(4)); // weft rows mirror the same way
    EXPECT_EQ(canvas.pixel(3, 44), stripePixel(3));
}

TEST(Weave, OverlappingBlocksOfAnInconsistentSettLayTheWeftOverTheWarp) {
    // Box 3 edited to "0": the warp goes back over columns it drew, out of step with the weft,
    // so weft and warp dashes cross.
    Sett sett({10, 10, 10, 10}, QStringLiteral("40"));
    sett.boxes[2] = QStringLiteral("0");
    WeaveCanvas canvas(kBackground);
    WeaveState state;
    const Trace trace = weaveTraced(sett, state, canvas);
    expectPictureMatchesTrace(canvas, trace, sett);
    const QImage warpOnly = expectedPicture(warpOf(trace), sett.design, canvas.scaleWidth(),
                                            canvas.scaleHeight(), kBackground);
    const QImage weftOnly = expectedPicture(weftOf(trace), sett.design, canvas.scaleWidth(),
                                            canvas.scaleHeight(), kBackground);
    int crossings = 0;
    for (int y = 0; y < weftOnly.height(); ++y) {
        for (int x = 0; x < weftOnly.width(); ++x) {
            if (warpOnly.pixel(x, y) != kBackPixel && weftOnly.pixel(x, y) != kBackPixel) {
                ++crossings;
                ASSERT_EQ(canvas.pixel(x, y), weftOnly.pixel(x, y));
            }
        }
    }
    EXPECT_GT(crossings, 0);
}

TEST(Weave, SameDesignTwiceGivesTheSamePicture) {
    const Sett sett({8, 40, 12, 60, 24, 56}, QStringLiteral("120"));
    WeaveCanvas canvas(kBackground);
    WeaveState state;
    weave(sett.inputs(), state, canvas);
    const QImage first = canvas.image();
    weave(sett.inputs(), state, canvas);
    EXPECT_EQ(canvas.image(), first);
    EXPECT_EQ(canvas.scaleWidth(), 554); // 10455 x 120 / 150 = 8364 twips: 558 pixels less border
}

TEST(Weave, BackgroundPictureShowsInTheGaps) {
    const Sett sett({10, 10, 10, 10}, QStringLiteral("200"));
    WeaveCanvas canvas(kBackground);
    QImage picture(50, 50, QImage::Format_RGB32);
    picture.fill(qRgb(255, 0, 0));
    canvas.setPicture(picture);
    WeaveState state;
    const Trace trace = weaveTraced(sett, state, canvas);
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(255, 0, 0)); // a gap inside the picture
    EXPECT_EQ(canvas.pixel(0, 100), kBackPixel);    // a gap below it
    EXPECT_EQ(canvas.pixel(1, 1), stripePixel(1));  // warp over the picture
    // Everywhere else the picture matches the model with the red square under the gaps.
    QImage expected =
        expectedPicture(trace, sett.design, canvas.scaleWidth(), canvas.scaleHeight(), kBackground);
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 50; ++x) {
            if (expected.pixel(x, y) == kBackPixel) {
                expected.setPixel(x, y, qRgb(255, 0, 0));
            }
        }
    }
    EXPECT_EQ(canvas.image(), expected);
}

TEST(Weave, ZeroSizeCanvasStillRunsThePlansWithoutPixels) {
    const Sett sett({10, 10, 10, 10}, QStringLiteral("0"));
    WeaveCanvas canvas(kBackground);
    WeaveState state;
    const Trace trace = weaveTraced(sett, state, canvas);
    EXPECT_TRUE(canvas.image().isNull());
    // Forward 1 makes no test before stripe 13, so it draws all four; the test after the first
    // mirror block (44..54) finds it past column 20.
    EXPECT_EQ(stripesOf(warpOf(trace)), (std::vector<int>{1, 2, 3, 4, 3}));
    EXPECT_EQ(stripesOf(weftOf(trace)), (std::vector<int>{1, 2, 3, 4, 3}));
}

TEST(Weave, ColumnsFarPastThe16BitRangeDoNotCrash) {
    const Sett sett({3276, 3276, 3276, 3276, 3276, 3276, 3276, 3276, 3276, 3276, 3276,
                     3276, 3276, 3276, 3276, 3276, 3276, 3276, 3276, 3276, 3276},
                    QStringLiteral("200"));
    WeaveCanvas canvas(kBackground);
    WeaveState state;
    const Trace trace = weaveTraced(sett, state, canvas);
    const Trace warps = warpOf(trace);
    ASSERT_EQ(warps.size(), 12u);
    EXPECT_EQ(warps.back().last, 12 * 3277 - 1);
    EXPECT_GT(state.column, 32767);
    EXPECT_GT(state.row, 32767);
    expectPictureMatchesTrace(canvas, trace, sett);
}
