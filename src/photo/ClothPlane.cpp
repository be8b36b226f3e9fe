#include "photo/ClothPlane.h"

#include "photo/Workers.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace loomara::photo {

namespace {

// Bands of a few rows: narrow enough that a turned stripe stays sharp within one, wide enough
// that a few hundred of them cover the picture.
int bandSizeFor(int width, int height) {
    return std::clamp(std::min(width, height) / 256, 2, 8);
}

// The sharpness of the stripes seen along lines of the slope: the summed squared steps between
// neighbouring positions of the bands' mean, from position from to to.
double sharpness(const BandMeans& bands, double slope, int from, int to) {
    const int n = to - from;
    if (n < 2) {
        return 0;
    }
    std::vector<double> sums(static_cast<std::size_t>(n) * 3, 0.0);
    std::vector<int> counts(static_cast<std::size_t>(n), 0);
    for (int k = 0; k < bands.bands; ++k) {
        const double shift = slope * (bands.bandMiddle(k) - bands.middle) / bands.pixelsPerPosition;
        const int whole = static_cast<int>(std::floor(shift));
        const auto f = static_cast<float>(shift - whole);
        const int first = std::max(from, -whole);
        const int end = std::min(to, bands.length - 1 - whole);
        for (int x = first; x < end; ++x) {
            const float* a = bands.at(k, x + whole);
            const std::size_t at = static_cast<std::size_t>(x - from);
            for (int c = 0; c < 3; ++c) {
                sums[at * 3 + static_cast<std::size_t>(c)] += a[c] + f * (a[c + 3] - a[c]);
            }
            ++counts[at];
        }
    }
    double total = 0;
    for (int i = 0; i + 1 < n; ++i) {
        const auto a = static_cast<std::size_t>(i);
        if (counts[a] == 0 || counts[a + 1] == 0) {
            continue;
        }
        for (std::size_t c = 0; c < 3; ++c) {
            const double step = sums[(a + 1) * 3 + c] / counts[a + 1] - sums[a * 3 + c] / counts[a];
            total += step * step;
        }
    }
    return total;
}

BandMeans coarserCopy(const BandMeans& bands, int factor, int merge) {
    BandMeans out;
    out.bandSize = bands.bandSize * merge;
    out.bands = bands.bands / merge;
    out.length = bands.length / factor;
    out.middle = bands.middle;
    out.pixelsPerPosition = bands.pixelsPerPosition * factor;
    out.values.assign(static_cast<std::size_t>(out.bands) * out.length * 3, 0.0F);
    const float share = 1.0F / static_cast<float>(factor * merge);
    for (int k = 0; k < out.bands; ++k) {
        for (int m = 0; m < merge; ++m) {
            for (int x = 0; x < out.length; ++x) {
                float* to = out.values.data() + (static_cast<std::size_t>(k) * out.length + x) * 3;
                for (int i = 0; i < factor; ++i) {
                    const float* from = bands.at(k * merge + m, x * factor + i);
                    for (int c = 0; c < 3; ++c) {
                        to[c] += from[c] * share;
                    }
                }
            }
        }
    }
    return out;
}

// The steepest slope sought: a picture turned by up to about 6.5 degrees.
constexpr double kSteepest = 0.115;

struct Scan {
    double best = 0;
    double bestSharpness = 0;
    double median = 0;
    double left = 0;  // sharpness one step below the best, for the parabola
    double right = 0; // and one above
};

Scan scanSlopes(const BandMeans& bands, int from, int to, double low, double step, int steps) {
    std::vector<double> values(static_cast<std::size_t>(steps));
    for (int i = 0; i < steps; ++i) {
        values[static_cast<std::size_t>(i)] = sharpness(bands, low + i * step, from, to);
    }
    const auto best = std::max_element(values.begin(), values.end());
    const auto at = static_cast<std::size_t>(best - values.begin());
    Scan scan;
    scan.best = low + static_cast<double>(at) * step;
    scan.bestSharpness = *best;
    scan.left = at > 0 ? values[at - 1] : *best;
    scan.right = at + 1 < values.size() ? values[at + 1] : *best;
    std::vector<double> sorted = values;
    std::nth_element(sorted.begin(),
                     sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
    scan.median = sorted[sorted.size() / 2];
    return scan;
}

std::array<double, 9> inverse(const std::array<double, 9>& m) {
    const double det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
                       m[2] * (m[3] * m[7] - m[4] * m[6]);
    const double d = 1 / det;
    return {(m[4] * m[8] - m[5] * m[7]) * d, (m[2] * m[7] - m[1] * m[8]) * d,
            (m[1] * m[5] - m[2] * m[4]) * d, (m[5] * m[6] - m[3] * m[8]) * d,
            (m[0] * m[8] - m[2] * m[6]) * d, (m[2] * m[3] - m[0] * m[5]) * d,
            (m[3] * m[7] - m[4] * m[6]) * d, (m[1] * m[6] - m[0] * m[7]) * d,
            (m[0] * m[4] - m[1] * m[3]) * d};
}

// The lines of one direction meet in a vanishing point: the slope of the line that crosses the
// picture's middle line at u is alpha + beta * u.
struct Pencil {
    double alpha = 0;
    double beta = 0;
    double gain = 0;
};

// Strips of the picture each find their own slope; a fitted line through them gives the pencil.
Pencil findPencil(const std::vector<BandMeans>& levels, double middle) {
    const BandMeans& full = levels.front();
    const Alignment whole = alignStripes(levels, 0, full.length, 0, kSteepest);
    Pencil pencil{whole.slope, 0, whole.gain};
    constexpr int kStrips = 5;
    constexpr double kLeastStripGain = 1.3;
    double sw = 0;
    double su = 0;
    double st = 0;
    double suu = 0;
    double sut = 0;
    int strips = 0;
    for (int j = 0; j < kStrips; ++j) {
        const int from = full.length * j / kStrips;
        const int to = full.length * (j + 1) / kStrips;
        const Alignment strip = alignStripes(levels, from, to, whole.slope, kSteepest / 2);
        const double w = strip.gain - kLeastStripGain;
        if (w <= 0) {
            continue;
        }
        const double u = (from + to) / 2.0 - middle;
        sw += w;
        su += w * u;
        st += w * strip.slope;
        suu += w * u * u;
        sut += w * u * strip.slope;
        ++strips;
    }
    if (strips >= 3) {
        const double det = sw * suu - su * su;
        if (det > 0) {
            const double beta = (sw * sut - su * st) / det;
            const double alpha = (st - beta * su) / sw;
            // Lines that meet within a picture's width are no mild perspective but a misreading;
            // and the strips' slopes, each found on a fifth of the picture, are less sure than
            // the whole picture's one: the pencil is taken only where it lines the stripes up
            // better than that one slope does.
            double alongPencil = 0;
            double alongSlope = 0;
            for (int j = 0; j < kStrips; ++j) {
                const int from = full.length * j / kStrips;
                const int to = full.length * (j + 1) / kStrips;
                const double u = (from + to) / 2.0 - middle;
                alongPencil += sharpness(full, alpha + beta * u, from, to);
                alongSlope += sharpness(full, whole.slope, from, to);
            }
            if (std::abs(beta) * full.length < 0.2 && alongPencil > alongSlope) {
                pencil.alpha = alpha;
                pencil.beta = beta;
            }
        }
    }
    return pencil;
}

} // namespace

const std::array<float, 256>& linearLevels() {
    static const std::array<float, 256> levels = [] {
        std::array<float, 256> table{};
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            table[static_cast<std::size_t>(i)] =
                static_cast<float>(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        return table;
    }();
    return levels;
}

Bands bandMeans(const QImage& picture) {
    const int width = picture.width();
    const int height = picture.height();
    const int size = bandSizeFor(width, height);
    Bands bands;
    BandMeans& rows = bands.rows;
    BandMeans& columns = bands.columns;
    rows.bandSize = columns.bandSize = size;
    rows.bands = height / size;
    rows.length = width;
    rows.middle = height / 2.0;
    columns.bands = width / size;
    columns.length = height;
    columns.middle = width / 2.0;
    rows.values.assign(static_cast<std::size_t>(rows.bands) * rows.length * 3, 0.0F);
    columns.values.assign(static_cast<std::size_t>(columns.bands) * columns.length * 3, 0.0F);
    const std::array<float, 256>& linear = linearLevels();
    const float perPixel = 1.0F / static_cast<float>(size);
    const int workers = workerCount();
    onWorkers(workers, [&](int w) {
        const Share share = shareOf(rows.bands, w, workers);
        for (int y = share.first * size; y < share.end * size; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            float* row = rows.values.data() + static_cast<std::size_t>(y / size) * width * 3;
            for (int x = 0; x < width; ++x) {
                const QRgb p = line[x];
                const float r = linear[static_cast<std::size_t>(qRed(p))];
                const float g = linear[static_cast<std::size_t>(qGreen(p))];
                const float b = linear[static_cast<std::size_t>(qBlue(p))];
                float* at = row + static_cast<std::size_t>(x) * 3;
                at[0] += r;
                at[1] += g;
                at[2] += b;
                const int band = x / size;
                if (band < columns.bands) {
                    float* c =
                        columns.values.data() + (static_cast<std::size_t>(band) * height + y) * 3;
                    c[0] += r;
                    c[1] += g;
                    c[2] += b;
                }
            }
        }
    });
    for (float& v : rows.values) {
        v *= perPixel;
    }
    for (float& v : columns.values) {
        v *= perPixel;
    }
    return bands;
}

std::vector<BandMeans> coarser(const BandMeans& bands) {
    std::vector<BandMeans> levels{bands};
    constexpr int kFactor = 4;
    constexpr int kFewestPositions = 96;
    constexpr int kFewestBands = 12;
    while (levels.back().length / kFactor >= kFewestPositions) {
        const BandMeans& last = levels.back();
        const int pixels = last.pixelsPerPosition * kFactor;
        // A band no taller than a stripe turned by the steepest slope moves across it by a
        // position or so.
        const int wanted = std::max(1, static_cast<int>(2 * pixels / kSteepest) / last.bandSize);
        const int merge = std::clamp(std::min(wanted, last.bands / kFewestBands), 1, 16);
        levels.push_back(coarserCopy(last, kFactor, merge));
    }
    return levels;
}

Alignment alignStripes(const std::vector<BandMeans>& levels, int from, int to, double aroundSlope,
                       double range) {
    const BandMeans& full = levels.front();
    const double halfSpan = std::max(1.0, full.bands * full.bandSize / 2.0);
    constexpr int kMostSteps = 48;
    constexpr int kFewestPositions = 24;
    // The coarsest level whose positions still hold the strip, scanned over the whole range,
    // then each finer level around the best slope so far.
    std::size_t level = levels.size() - 1;
    auto stepAt = [&](std::size_t l) { return 0.5 * levels[l].pixelsPerPosition / halfSpan; };
    while (level > 0 && ((to - from) / levels[level].pixelsPerPosition < kFewestPositions ||
                         2 * range / stepAt(level) < kMostSteps / 2.0)) {
        --level;
    }
    double step = std::max(stepAt(level), 2 * range / kMostSteps);
    int steps = static_cast<int>(std::ceil(2 * range / step)) + 1;
    double low = aroundSlope - range;
    Alignment alignment;
    Scan scan;
    for (bool first = true;; first = false) {
        const BandMeans& bands = levels[level];
        const int p = bands.pixelsPerPosition;
        scan = scanSlopes(bands, from / p, std::min(bands.length, to / p), low, step, steps);
        if (first) {
            alignment.gain = scan.median > 0 ? scan.bestSharpness / scan.median : 0;
        }
        if (level == 0) {
            break;
        }
        --level;
        const double finer = std::min(step / 4, stepAt(level));
        low = scan.best - 2 * step;
        steps = static_cast<int>(std::ceil(4 * step / finer)) + 1;
        step = finer;
    }
    // The top of the parabola through the best and its neighbours.
    const double curve = scan.left - 2 * scan.bestSharpness + scan.right;
    const double offset = curve < 0 ? 0.5 * (scan.left - scan.right) / curve : 0;
    alignment.slope = scan.best + std::clamp(offset, -0.5, 0.5) * step;
    return alignment;
}

ClothPlane findClothPlane(const Bands& bands, int width, int height) {
    ClothPlane plane;
    plane.middleX = width / 2.0;
    plane.middleY = height / 2.0;
    // Row bands show the warp: its ends are lines x = u + slope * y. Column bands show the weft.
    Pencil ends = findPencil(coarser(bands.rows), plane.middleX);
    Pencil picks = findPencil(coarser(bands.columns), plane.middleY);
    plane.gainAcross = ends.gain;
    plane.gainDown = picks.gain;
    // Stripes one way only: the other way is square to them.
    constexpr double kStriped = 1.5;
    if (ends.gain < kStriped && picks.gain >= kStriped) {
        ends = {-picks.alpha, 0, ends.gain};
    } else if (picks.gain < kStriped && ends.gain >= kStriped) {
        picks = {-ends.alpha, 0, picks.gain};
    }
    // The cloth's (u, v) to the picture: the columns are the weft's vanishing point, the warp's
    // and the middle, each scaled so that a unit is a pixel at the middle.
    const double a = 1 / std::hypot(1.0, picks.alpha);
    const double b = 1 / std::hypot(ends.alpha, 1.0);
    const std::array<double, 9> toPicture{
        a, b * ends.alpha, 0, a * picks.alpha, b, 0, -a * picks.beta, -b * ends.beta, 1};
    plane.toCloth = inverse(toPicture);
    plane.rotationDegrees =
        (std::atan(picks.alpha) - std::atan(ends.alpha)) / 2 * 180 / std::numbers::pi;
    return plane;
}

std::array<double, 2> ClothPlane::map(double x, double y) const {
    const double dx = x - middleX;
    const double dy = y - middleY;
    const double w = toCloth[6] * dx + toCloth[7] * dy + toCloth[8];
    return {(toCloth[0] * dx + toCloth[1] * dy + toCloth[2]) / w,
            (toCloth[3] * dx + toCloth[4] * dy + toCloth[5]) / w};
}

Profiles clothProfiles(const QImage& picture, const ClothPlane& plane) {
    const int width = picture.width();
    const int height = picture.height();
    double lowU = 1e300;
    double highU = -1e300;
    double lowV = 1e300;
    double highV = -1e300;
    for (const auto& [x, y] : {std::array<double, 2>{0, 0},
                               {double(width), 0},
                               {0, double(height)},
                               {double(width), double(height)}}) {
        const auto [u, v] = plane.map(x, y);
        lowU = std::min(lowU, u);
        highU = std::max(highU, u);
        lowV = std::min(lowV, v);
        highV = std::max(highV, v);
    }
    const double originU = std::floor(lowU) - 1;
    const double originV = std::floor(lowV) - 1;
    const auto binsU = static_cast<std::size_t>(std::ceil(highU - originU) + 2);
    const auto binsV = static_cast<std::size_t>(std::ceil(highV - originV) + 2);
    const int workers = workerCount();
    // Each worker adds its rows into sums of its own: colour and weight per bin. A row's sums are
    // gathered in single precision, then added to the whole picture's in double.
    std::vector<std::vector<double>> sumsU(static_cast<std::size_t>(workers));
    std::vector<std::vector<double>> sumsV(static_cast<std::size_t>(workers));
    const std::array<float, 256>& linear = linearLevels();
    const std::array<double, 9>& m = plane.toCloth;
    onWorkers(workers, [&](int w) {
        std::vector<double>& su = sumsU[static_cast<std::size_t>(w)];
        std::vector<double>& sv = sumsV[static_cast<std::size_t>(w)];
        su.assign(binsU * 4, 0.0);
        sv.assign(binsV * 4, 0.0);
        std::vector<float> rowU(binsU * 4 + 8, 0.0F);
        std::vector<float> rowV(binsV * 4 + 8, 0.0F);
        const Share rows = shareOf(height, w, workers);
        for (int y = rows.first; y < rows.end; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            const double dy = y + 0.5 - plane.middleY;
            const double dx0 = 0.5 - plane.middleX;
            double hu = m[0] * dx0 + m[1] * dy + m[2];
            double hv = m[3] * dx0 + m[4] * dy + m[5];
            double hw = m[6] * dx0 + m[7] * dy + m[8];
            std::size_t lowU = binsU;
            std::size_t highU = 0;
            std::size_t lowV = binsV;
            std::size_t highV = 0;
            for (int x = 0; x < width; ++x, hu += m[0], hv += m[3], hw += m[6]) {
                const QRgb p = line[x];
                const float colour[3] = {linear[static_cast<std::size_t>(qRed(p))],
                                         linear[static_cast<std::size_t>(qGreen(p))],
                                         linear[static_cast<std::size_t>(qBlue(p))]};
                const double inverseW = 1 / hw;
                const double fu = hu * inverseW - originU;
                const double fv = hv * inverseW - originV;
                const auto iu = static_cast<std::size_t>(fu);
                const auto iv = static_cast<std::size_t>(fv);
                const auto tu = static_cast<float>(fu - static_cast<double>(iu));
                const auto tv = static_cast<float>(fv - static_cast<double>(iv));
                lowU = std::min(lowU, iu);
                highU = std::max(highU, iu);
                lowV = std::min(lowV, iv);
                highV = std::max(highV, iv);
                float* bu = rowU.data() + iu * 4;
                float* bv = rowV.data() + iv * 4;
                for (int c = 0; c < 3; ++c) {
                    bu[c] += (1 - tu) * colour[c];
                    bu[4 + c] += tu * colour[c];
                    bv[c] += (1 - tv) * colour[c];
                    bv[4 + c] += tv * colour[c];
                }
                bu[3] += 1 - tu;
                bu[7] += tu;
                bv[3] += 1 - tv;
                bv[7] += tv;
            }
            // Only the bins the row reached, each emptied for the next row.
            const auto addRow = [](std::vector<float>& row, std::vector<double>& sums,
                                   std::size_t low, std::size_t high) {
                for (std::size_t i = low * 4; i < (high + 2) * 4 && i < sums.size(); ++i) {
                    sums[i] += row[i];
                    row[i] = 0;
                }
            };
            if (lowU <= highU) {
                addRow(rowU, su, lowU, highU);
            }
            if (lowV <= highV) {
                addRow(rowV, sv, lowV, highV);
            }
        }
    });
    auto gather = [&](const std::vector<std::vector<double>>& sums, std::size_t bins,
                      double origin) {
        Profile profile;
        profile.origin = origin;
        profile.colour.assign(bins, {0, 0, 0});
        profile.weight.assign(bins, 0);
        for (const std::vector<double>& s : sums) {
            for (std::size_t i = 0; i < bins; ++i) {
                for (std::size_t c = 0; c < 3; ++c) {
                    profile.colour[i][c] += s[i * 4 + c];
                }
                profile.weight[i] += s[i * 4 + 3];
            }
        }
        for (std::size_t i = 0; i < bins; ++i) {
            if (profile.weight[i] > 0) {
                for (double& c : profile.colour[i]) {
                    c /= profile.weight[i];
                }
            }
        }
        return profile;
    };
    return {gather(sumsU, binsU, originU), gather(sumsV, binsV, originV)};
}

} // namespace loomara::photo
