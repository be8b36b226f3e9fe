#include "WeaveTestSupport.h"

namespace loomara::test {

namespace {

QRgb toQRgb(Rgb c) {
    return qRgb(c.red, c.green, c.blue);
}

int mod6(int v) {
    return ((v % 6) + 6) % 6;
}

Trace only(const Trace& trace, DrawnBlock::Direction direction) {
    Trace out;
    for (const DrawnBlock& b : trace) {
        if (b.direction == direction) {
            out.push_back(b);
        }
    }
    return out;
}

} // namespace

Rgb stripeColour(int slot) {
    return {static_cast<int16>(10 * slot), static_cast<int16>(250 - 10 * slot),
            static_cast<int16>(slot % 2 == 0 ? 40 : 160)};
}

Sett::Sett(std::initializer_list<int> counts, const QString& settWidthText)
    : settWidth(settWidthText) {
    boxes.fill(QStringLiteral("0"));
    for (int k = 1; k <= DesignState::kSlotCount; ++k) {
        const Rgb c = stripeColour(k);
        design.setCurrentColour(c.red, c.green, c.blue, QString());
        design.storeStripe(k, 0);
    }
    int k = 1;
    for (const int count : counts) {
        design.slot(k).threadCount = static_cast<int16>(count);
        boxes[static_cast<std::size_t>(k - 1)] = QString::number(count);
        ++k;
    }
}

Trace weaveTraced(const Sett& sett, WeaveState& state, WeaveCanvas& canvas) {
    Trace trace;
    weave(sett.inputs(), state, canvas, [&](const DrawnBlock& b) { trace.push_back(b); });
    return trace;
}

Trace warpOf(const Trace& trace) {
    return only(trace, DrawnBlock::Direction::Warp);
}
Trace weftOf(const Trace& trace) {
    return only(trace, DrawnBlock::Direction::Weft);
}

std::vector<int> stripesOf(const Trace& trace) {
    std::vector<int> stripes;
    for (const DrawnBlock& b : trace) {
        stripes.push_back(b.stripe);
    }
    return stripes;
}

QImage expectedPicture(const Trace& trace, const DesignState& design, int width, int height,
                       Rgb background) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(toQRgb(background));
    int warpThreads = 0;
    int weftThreads = 0;
    for (const DrawnBlock& b : trace) {
        const QRgb colour = toQRgb(design.slot(b.stripe).colour());
        for (long long t = b.first; t <= b.last; ++t) {
            if (b.direction == DrawnBlock::Direction::Warp) {
                ++warpThreads;
                const int o = warpThreads == 1 ? 1 : -((warpThreads - 2) % 6);
                if (t < 0 || t >= width) {
                    continue;
                }
                for (int y = 0; y < height; ++y) {
                    if (y - o >= 0 && mod6(y - o) <= 1) {
                        picture.setPixel(static_cast<int>(t), y, colour);
                    }
                }
            } else {
                ++weftThreads;
                const int o = -((weftThreads - 1) % 6);
                if (t < 0 || t >= height) {
                    continue;
                }
                for (int x = 0; x < width; ++x) {
                    if (mod6(x - o + 2) <= 1) {
                        picture.setPixel(x, static_cast<int>(t), colour);
                    }
                }
            }
        }
    }
    return picture;
}

} // namespace loomara::test
