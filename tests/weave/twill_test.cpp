#include "weave/Twill.h"
#include "weave/WeaveCanvas.h"

#include <gtest/gtest.h>

#include <vector>

using namespace loomara;

namespace {

struct Line {
    int x1, y1, x2, y2;
    friend bool operator==(const Line&, const Line&) = default;
};

// Records every line call, to check the dashes themselves rather than the pixels they leave.
struct RecordingSurface {
    struct Pen {
        RecordingSurface& surface;
        void line(int x1, int y1, int x2, int y2) const {
            surface.lines.push_back({x1, y1, x2, y2});
        }
    };
    int width = 0;
    int height = 0;
    std::vector<Line> lines;

    int scaleWidth() const { return width; }
    int scaleHeight() const { return height; }
    Pen pen(Rgb) { return Pen{*this}; }
};

constexpr Rgb kInk{200, 30, 60};
const QRgb kInkPixel = qRgb(200, 30, 60);
const QRgb kBackPixel = qRgb(255, 255, 255);

std::vector<int> paintedRows(const WeaveCanvas& canvas, int x) {
    std::vector<int> rows;
    for (int y = 0; y < canvas.scaleHeight(); ++y) {
        if (canvas.pixel(x, y) == kInkPixel) {
            rows.push_back(y);
        }
    }
    return rows;
}

std::vector<int> paintedColumns(const WeaveCanvas& canvas, int y) {
    std::vector<int> columns;
    for (int x = 0; x < canvas.scaleWidth(); ++x) {
        if (canvas.pixel(x, y) == kInkPixel) {
            columns.push_back(x);
        }
    }
    return columns;
}

// Rows (or columns) from `first` on, two of every six, up to the end of the area.
std::vector<int> everySixth(int first, int firstPair, int end) {
    std::vector<int> out;
    if (first >= 0) {
        out.push_back(first);
    }
    for (int v = firstPair; v < end; v += 6) {
        out.push_back(v);
        if (v + 1 < end) {
            out.push_back(v + 1);
        }
    }
    return out;
}

} // namespace

TEST(Twill, WarpThreadIsOneLineCallPerDashFromTheTopToLimitPlusFive) {
    // Zero-size canvas: limit 20, dashes at y = 0, 6, .., 24, shifted by the offset.
    RecordingSurface surface;
    WeaveState state;
    state.twillOffset = 1;
    drawWarpBlock(surface, state, kInk, 7, 7);
    const std::vector<Line> expected{
        {7, 1, 7, 3}, {7, 7, 7, 9}, {7, 13, 7, 15}, {7, 19, 7, 21}, {7, 25, 7, 27}};
    EXPECT_EQ(surface.lines, expected);
    EXPECT_EQ(state.column, 8);
    EXPECT_EQ(state.twillOffset, 0);

    // Height 100: limit 120, so the last dash starts at 120 (<= 125).
    surface.lines.clear();
    surface.height = 100;
    state.twillOffset = 0;
    drawWarpBlock(surface, state, kInk, 1, 1);
    ASSERT_EQ(surface.lines.size(), 21u);
    EXPECT_EQ(surface.lines.back(), (Line{1, 120, 1, 122}));
}

TEST(Twill, WeftThreadDrawsRightToLeftFromMinusOneToLimit) {
    RecordingSurface surface;
    WeaveState state;
    state.twillOffset = -2;
    drawWeftBlock(surface, state, kInk, 3, 3);
    // Zero-size canvas: x = -1, 5, 11, 17, each dash to two pixels further left.
    const std::vector<Line> expected{{-3, 3, -5, 3}, {3, 3, 1, 3}, {9, 3, 7, 3}, {15, 3, 13, 3}};
    EXPECT_EQ(surface.lines, expected);
    EXPECT_EQ(state.row, 4);
    EXPECT_EQ(state.twillOffset, -3);
}

TEST(Twill, OffsetStepsOncePerThreadAcrossBlocksAndWraps) {
    RecordingSurface surface;
    WeaveState state;
    state.twillOffset = 1;
    std::vector<int> offsets;
    for (const auto& [first, last] : std::vector<std::pair<int, int>>{{1, 3}, {4, 4}, {5, 9}}) {
        for (int c = first; c <= last; ++c) {
            surface.lines.clear();
            drawWarpBlock(surface, state, kInk, c, c);
            offsets.push_back(surface.lines.front().y1);
        }
    }
    EXPECT_EQ(offsets, (std::vector<int>{1, 0, -1, -2, -3, -4, -5, 0, -1}));
}

TEST(Twill, EmptyBlockDrawsNothingAndLeavesThePositionPastItsLast) {
    RecordingSurface surface;
    WeaveState state;
    state.twillOffset = -4;
    drawWarpBlock(surface, state, kInk, 10, 9);
    drawWeftBlock(surface, state, kInk, 30, 20);
    EXPECT_TRUE(surface.lines.empty());
    EXPECT_EQ(state.column, 10);
    EXPECT_EQ(state.row, 21);
    EXPECT_EQ(state.twillOffset, -4);
}

TEST(Twill, FirstThreeWarpColumnsPaintTheirRows) {
    WeaveCanvas canvas(Rgb{255, 255, 255});
    WeaveState state;
    state.twillOffset = 1;
    drawWarpBlock(canvas, state, kInk, 1, 3);
    const int h = canvas.scaleHeight();
    EXPECT_TRUE(paintedRows(canvas, 0).empty());
    EXPECT_EQ(paintedRows(canvas, 1), everySixth(-1, 1, h)); // 1, 2, 7, 8, ..
    EXPECT_EQ(paintedRows(canvas, 2), everySixth(-1, 0, h)); // 0, 1, 6, 7, ..
    EXPECT_EQ(paintedRows(canvas, 3), everySixth(0, 5, h));  // 0 (the dash at -1), 5, 6, ..
    EXPECT_TRUE(paintedRows(canvas, 4).empty());
    EXPECT_EQ(canvas.pixel(1, 0), kBackPixel);
}

TEST(Twill, FirstTwoWeftRowsPaintTheirColumns) {
    WeaveCanvas canvas(Rgb{255, 255, 255});
    WeaveState state;
    state.twillOffset = 0;
    drawWeftBlock(canvas, state, kInk, 1, 2);
    const int w = canvas.scaleWidth();
    EXPECT_TRUE(paintedColumns(canvas, 0).empty());
    EXPECT_EQ(paintedColumns(canvas, 1), everySixth(-1, 4, w)); // 4, 5, 10, 11, ..
    EXPECT_EQ(paintedColumns(canvas, 2), everySixth(-1, 3, w)); // 3, 4, 9, 10, ..
    EXPECT_TRUE(paintedColumns(canvas, 3).empty());
}

TEST(Twill, ColumnsFarPastTheCanvasAndTheTopOfTheRangeAreClippedNotWrapped) {
    WeaveCanvas canvas(Rgb{255, 255, 255});
    WeaveState state;
    state.twillOffset = 1;
    drawWarpBlock(canvas, state, kInk, 40000, 40010);
    EXPECT_EQ(state.column, 40011);
    drawWarpBlock(canvas, state, kInk, 2147483640, 2147483647);
    EXPECT_EQ(state.column, 2147483647);
    drawWeftBlock(canvas, state, kInk, 70000, 70001);
    EXPECT_EQ(state.row, 70002);
    for (int x = 0; x < canvas.scaleWidth(); ++x) {
        ASSERT_EQ(canvas.pixel(x, 200), kBackPixel);
    }
}

TEST(Twill, WeftDrawnAfterTheWarpCoversItWhereTheyCross) {
    WeaveCanvas canvas(Rgb{255, 255, 255});
    WeaveState state;
    state.twillOffset = 1;
    drawWarpBlock(canvas, state, kInk, 4, 4); // rows 1, 2, 7, 8, ..
    state.twillOffset = 0;
    drawWeftBlock(canvas, state, Rgb{0, 90, 0}, 1, 1); // columns 4, 5, 10, 11, ..
    EXPECT_EQ(canvas.pixel(4, 1), qRgb(0, 90, 0));
    EXPECT_EQ(canvas.pixel(4, 2), kInkPixel);
}
