#include "Bench.h"

#include "model/DesignState.h"
#include "weave/Twill.h"
#include "weave/Weave.h"
#include "weave/WeaveCanvas.h"
#include "weave/WeaveState.h"

#include <QImage>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <array>
#include <chrono>
#include <initializer_list>
#include <string>
#include <vector>

namespace loomara::bench {

namespace {

struct Sett {
    std::string name;
    DesignState design;
    std::array<QString, DesignState::kSlotCount> countTexts;
    QString settWidthText;
    Rgb background;
};

Sett makeSett(std::string name, std::initializer_list<Stripe> stripes) {
    Sett sett{std::move(name), {}, {}, {}, Rgb{255, 255, 255}};
    sett.countTexts.fill(QStringLiteral("0"));
    int total = 0;
    int k = 1;
    for (const Stripe& stripe : stripes) {
        sett.design.slot(k) = stripe;
        sett.countTexts[static_cast<std::size_t>(k - 1)] = QString::number(stripe.threadCount);
        total += stripe.threadCount;
        ++k;
    }
    sett.settWidthText = QString::number(total);
    return sett;
}

// The baseline: the same dashes, one QPainter::drawLine each, on a QImage of the canvas size.
// A flat cap leaves one end unpainted; the painter always leaves out the right or bottom end,
// so a dash drawn leftwards or upwards is given to it the other way round to paint the same
// pixels as the canvas.
class PainterSurface {
public:
    class Pen {
    public:
        void line(int x1, int y1, int x2, int y2) const {
            if (x2 < x1 || y2 < y1) {
                surface_.painter_.drawLine(x2 + (x2 < x1), y2 + (y2 < y1), x1 + (x2 < x1),
                                           y1 + (y2 < y1));
            } else {
                surface_.painter_.drawLine(x1, y1, x2, y2);
            }
            ++surface_.dashes_;
        }

    private:
        friend class PainterSurface;
        explicit Pen(PainterSurface& surface) : surface_(surface) {}
        PainterSurface& surface_;
    };

    explicit PainterSurface(QImage& image) : image_(image), painter_(&image) {}

    int scaleWidth() const { return image_.width(); }
    int scaleHeight() const { return image_.height(); }
    Pen pen(Rgb colour) {
        if (colour != colour_ || !penSet_) {
            painter_.setPen(
                QPen(QColor(colour.red, colour.green, colour.blue), 0, Qt::SolidLine, Qt::FlatCap));
            colour_ = colour;
            penSet_ = true;
        }
        return Pen(*this);
    }
    long dashes() const { return dashes_; }

private:
    QImage& image_;
    QPainter painter_;
    Rgb colour_;
    bool penSet_ = false;
    long dashes_ = 0;
};

// Draws the recorded blocks again through the same twill code on a painter.
long paintBaseline(const Sett& sett, const std::vector<DrawnBlock>& blocks, QImage& image) {
    image.fill(QColor(sett.background.red, sett.background.green, sett.background.blue));
    PainterSurface surface(image);
    WeaveState state;
    state.twillOffset = 1;
    bool weft = false;
    for (const DrawnBlock& block : blocks) {
        const Rgb colour = sett.design.slot(block.stripe).colour();
        if (block.direction == DrawnBlock::Direction::Warp) {
            drawWarpBlock(surface, state, colour, block.first, block.last);
            continue;
        }
        if (!weft) {
            weft = true;
            state.twillOffset = 0;
        }
        drawWeftBlock(surface, state, colour, block.first, block.last);
    }
    return surface.dashes();
}

struct Timing {
    double weaveMs;
    double painterMs;
};

Timing benchSett(const Report& report, const Sett& sett) {
    WeaveCanvas canvas(sett.background);
    WeaveState state;
    const WeaveInputs inputs{sett.design, sett.countTexts, sett.settWidthText, sett.background};

    std::vector<DrawnBlock> blocks;
    weave(inputs, state, canvas, [&](const DrawnBlock& b) { blocks.push_back(b); });
    QImage image(canvas.scaleWidth(), canvas.scaleHeight(), QImage::Format_RGB32);
    const long dashes = paintBaseline(sett, blocks, image);
    const bool samePicture = image == canvas.image();

    constexpr int kRounds = 7;
    const double weaveMs = bestMsPerRun(kRounds, 400, [&] { weave(inputs, state, canvas); });
    const double painterMs = bestMsPerRun(kRounds, 10, [&] { paintBaseline(sett, blocks, image); });

    const std::string key = "_" + sett.name;
    report.figure("canvas" + key,
                  std::to_string(canvas.scaleWidth()) + "x" + std::to_string(canvas.scaleHeight()));
    report.figure("blocks" + key, static_cast<double>(blocks.size()), 0);
    report.figure("dashes" + key, static_cast<double>(dashes), 0);
    report.figure("painter_same_picture" + key, samePicture ? "yes" : "no");
    report.figure("weave_ms" + key, weaveMs, 4);
    report.figure("painter_ms" + key, painterMs, 3);
    report.figure("speedup" + key, painterMs / weaveMs, 1);
    report.figure("weave_ns_per_dash" + key, weaveMs * 1e6 / static_cast<double>(dashes), 2);
    report.figure("painter_ns_per_dash" + key, painterMs * 1e6 / static_cast<double>(dashes), 1);
    return {weaveMs, painterMs};
}

} // namespace

void benchWeave(const Report& report) {
    const Sett six = makeSett("sett6_width200", {
                                                    {8, 20, 20, 20},
                                                    {40, 0, 64, 32},
                                                    {12, 200, 0, 0},
                                                    {60, 0, 32, 96},
                                                    {24, 250, 220, 0},
                                                    {56, 0, 0, 80},
                                                });
    const Sett four = makeSett("sett4_width40", {
                                                    {10, 0, 0, 0},
                                                    {10, 200, 0, 0},
                                                    {10, 0, 100, 0},
                                                    {10, 0, 0, 200},
                                                });
    const Timing design = benchSett(report, six);
    const Timing small = benchSett(report, four);
    report.figure("weave_ms_design_canvas", design.weaveMs, 4);
    report.figure("painter_ms_design_canvas", design.painterMs, 3);
    report.figure("weave_speedup_vs_painter",
                  (design.painterMs + small.painterMs) / (design.weaveMs + small.weaveMs), 1);
}

} // namespace loomara::bench
