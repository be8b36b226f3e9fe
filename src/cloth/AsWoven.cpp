#include "cloth/AsWoven.h"

#include <QtMath>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace loomara {

namespace {

// How strongly each effect lights and shades the yarn. Each is spread so that its mean over a
// yarn's width, a crossing's length or a turn of the twist is 1: light moved, none added, so the
// cloth seen from afar keeps its yarns' colours.
constexpr float kRound = 0.7f;      // across the width: the middle lit, the edges in shadow
constexpr float kDive = 0.8f;       // along a crossing: shaded where the yarn dives under
constexpr float kTwist = 0.08f;     // the plies' grooves
constexpr float kIrregular = 0.03f; // one thread a little lighter or darker than the next
constexpr int kSubsamples = 16;     // to take the mean of a shade over a pixel
// The most the light may rise above a yarn's colour, where all of them lighten at once.
constexpr float kMostLight = (1 + kRound / 2) * (1 + kDive / 3) * (1 + kTwist);
// A yarn too light to be lit so without passing white is lit less, down to this share.
constexpr float kLeastLighting = 0.3f;

// The light across a round yarn, u from -1 at one edge to 1 at the other: u^2 has mean 1/3.
float acrossShade(double u) {
    return static_cast<float>(1 + kRound * (1 - 3 * u * u) / 2);
}

// Along a crossing, t from 0 where it starts to 1 where it ends: the yarn dives under at the
// start or the end (or both), or runs on over its neighbour as a float. Its mean is 1.
float alongShade(double t, bool divesAtStart, bool divesAtEnd) {
    // A dive darkens the half crossing next to it, most at the edge: (1 - 2t)^2 has mean 1/6
    // over the crossing.
    const auto darkening = [](double s) { return s < 0.5 ? (1 - 2 * s) * (1 - 2 * s) : 0.0; };
    const int dives = int(divesAtStart) + int(divesAtEnd);
    double shade = dives / 6.0;
    if (divesAtStart) {
        shade -= darkening(t);
    }
    if (divesAtEnd) {
        shade -= darkening(1 - t);
    }
    return static_cast<float>(1 + kDive * shade);
}

// A number in [-1, 1) fixed by the thread, so the irregularity is the same every time.
float fixedIrregularity(std::uint64_t thread) {
    std::uint64_t z = thread + 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<float>(static_cast<double>(z >> 11) / 4503599627370496.0 - 1.0);
}

float linearOf(int component) {
    const double c = component / 255.0;
    return static_cast<float>(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
}

// A colour's light, and the share of the lighting it takes.
struct Linear {
    std::array<float, 3> light{};
    float lit = 1;
};

Linear linearOf(Rgb colour) {
    Linear c{{linearOf(colour.red), linearOf(colour.green), linearOf(colour.blue)}};
    const float brightest = std::max({c.light[0], c.light[1], c.light[2]});
    if (brightest * kMostLight > 1) {
        c.lit = std::max(kLeastLighting, (1 / brightest - 1) / (kMostLight - 1));
    }
    return c;
}

// The light of each thread's colour, a little lighter or darker for each thread.
std::vector<Linear> threadLight(const QList<Rgb>& colours, std::uint64_t direction) {
    std::vector<Linear> light;
    light.reserve(static_cast<std::size_t>(colours.size()));
    for (qsizetype k = 0; k < colours.size(); ++k) {
        const float irregular =
            1 + kIrregular * fixedIrregularity(direction ^ static_cast<std::uint64_t>(k) << 1);
        Linear c = linearOf(colours[k]);
        for (float& component : c.light) {
            component *= irregular;
        }
        light.push_back(c);
    }
    return light;
}

// The pixels of one direction of the cloth, along the picture's width for the warp and its height
// for the weft: which thread a pixel belongs to, how much of the pixel its yarn covers, the mean
// light across the yarn there, and for each of the four ways its neighbours lie, the light along
// the crossing of a thread of the other direction.
struct Lanes {
    std::vector<int> thread;
    std::vector<float> cover;
    std::vector<float> across;
    std::vector<std::array<float, 4>> along; // by (up at the one before) * 2 + (up at the next)
    std::vector<float> twist;                // a turn of the plies, pixel by pixel
};

Lanes lanesOf(int threads, int pixels, double spacing, double yarnWidth) {
    const double width = std::min(yarnWidth, spacing);
    const double half = width / 2;
    Lanes lanes;
    lanes.thread.resize(static_cast<std::size_t>(pixels));
    lanes.cover.resize(static_cast<std::size_t>(pixels));
    lanes.across.resize(static_cast<std::size_t>(pixels));
    lanes.along.resize(static_cast<std::size_t>(pixels));
    const auto threadAt = [&](double place) {
        return std::clamp(static_cast<int>(std::floor(place / spacing)), 0, threads - 1);
    };
    for (int p = 0; p < pixels; ++p) {
        const auto i = static_cast<std::size_t>(p);
        lanes.thread[i] = threadAt(p + 0.5);
        // The share of the pixel under yarn, exactly: the yarns either side of it are apart.
        double covered = 0;
        for (int k = std::max(0, threadAt(p) - 1); k <= std::min(threads - 1, threadAt(p + 1) + 1);
             ++k) {
            const double centre = (k + 0.5) * spacing;
            covered += std::max(0.0, std::min<double>(p + 1, centre + half) -
                                         std::max<double>(p, centre - half));
        }
        lanes.cover[i] = static_cast<float>(std::min(1.0, covered));
        double lit = 0;
        int litSamples = 0;
        std::array<double, 4> along{};
        for (int s = 0; s < kSubsamples; ++s) {
            const double place = p + (s + 0.5) / kSubsamples;
            const int k = threadAt(place);
            const double fromCentre = place - (k + 0.5) * spacing;
            if (std::abs(fromCentre) <= half) {
                lit += acrossShade(fromCentre / half);
                ++litSamples;
            }
            const double t = std::clamp(place / spacing - k, 0.0, 1.0);
            for (int state = 0; state < 4; ++state) {
                along[static_cast<std::size_t>(state)] +=
                    alongShade(t, (state & 2) == 0, (state & 1) == 0);
            }
        }
        lanes.across[i] = litSamples ? static_cast<float>(lit / litSamples) : 1.0f;
        for (std::size_t state = 0; state < 4; ++state) {
            lanes.along[i][state] = static_cast<float>(along[state] / kSubsamples);
        }
    }
    // A ply turns about once in the yarn's width.
    const int turn = std::max(3, static_cast<int>(std::lround(width * 0.8)));
    for (int k = 0; k < turn; ++k) {
        lanes.twist.push_back(1 + kTwist * static_cast<float>(std::cos(2 * M_PI * k / turn)));
    }
    return lanes;
}

// Linear light to sRGB, finely enough that a mean over many pixels keeps its colour.
constexpr int kEncodingSteps = 8192;

std::vector<std::uint8_t> srgbEncoding() {
    std::vector<std::uint8_t> encoding(kEncodingSteps + 1);
    for (int k = 0; k <= kEncodingSteps; ++k) {
        const double c = static_cast<double>(k) / kEncodingSteps;
        const double s = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
        encoding[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(std::lround(s * 255));
    }
    return encoding;
}

} // namespace

QSize asWovenSize(const ClothThreads& threads, const ClothLook& look) {
    const double width = std::round(threads.warp.size() * look.pixelsPerMm / look.endsPerMm);
    const double height = std::round(threads.weft.size() * look.pixelsPerMm / look.picksPerMm);
    if (!(width >= 1 && height >= 1 && width <= INT_MAX && height <= INT_MAX)) {
        return {};
    }
    return {static_cast<int>(width), static_cast<int>(height)};
}

QImage asWovenPicture(const ClothThreads& threads, const ClothLook& look, const EndUp& endUp) {
    const QSize size = asWovenSize(threads, look);
    if (size.isEmpty()) {
        return {};
    }
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull()) {
        return picture;
    }
    const auto metre = static_cast<int>(std::lround(look.pixelsPerMm * 1000));
    picture.setDotsPerMeterX(metre);
    picture.setDotsPerMeterY(metre);

    const auto ends = static_cast<int>(threads.warp.size());
    const auto picks = static_cast<int>(threads.weft.size());
    const Lanes columns = lanesOf(ends, size.width(), look.pixelsPerMm / look.endsPerMm,
                                  look.warpWidthMm * look.pixelsPerMm);
    const Lanes rows = lanesOf(picks, size.height(), look.pixelsPerMm / look.picksPerMm,
                               look.weftWidthMm * look.pixelsPerMm);
    const std::vector<Linear> warp = threadLight(threads.warp, 0);
    const std::vector<Linear> weft = threadLight(threads.weft, 1);
    const Linear backing = linearOf(look.backing);
    const std::vector<std::uint8_t> encoding = srgbEncoding();
    const auto encode = [&](float light) {
        const int step = static_cast<int>(light * kEncodingSteps + 0.5f);
        return static_cast<QRgb>(
            encoding[static_cast<std::size_t>(std::clamp(step, 0, kEncodingSteps))]);
    };

    // Which ends are up on a pick, for the pick and its neighbours; the cloth runs on round its
    // edges, as its repeats do.
    const auto upOnPick = [&](int pick, std::vector<std::uint8_t>& up) {
        const int wrapped = (pick + picks) % picks;
        for (int end = 0; end < ends; ++end) {
            up[static_cast<std::size_t>(end)] = endUp(end + 1, wrapped + 1) ? 1 : 0;
        }
    };
    std::vector<std::uint8_t> before(static_cast<std::size_t>(ends));
    std::vector<std::uint8_t> on(static_cast<std::size_t>(ends));
    std::vector<std::uint8_t> after(static_cast<std::size_t>(ends));
    std::vector<std::uint8_t> warpWay(static_cast<std::size_t>(ends));
    std::vector<std::uint8_t> weftWay(static_cast<std::size_t>(ends));
    int pickDone = -1;

    const int width = size.width();
    const std::size_t warpTurn = columns.twist.size();
    const std::size_t weftTurn = rows.twist.size();
    for (int y = 0; y < size.height(); ++y) {
        const auto row = static_cast<std::size_t>(y);
        const int pick = rows.thread[row];
        if (pick != pickDone) {
            upOnPick(pick - 1, before);
            upOnPick(pick, on);
            upOnPick(pick + 1, after);
            for (int end = 0; end < ends; ++end) {
                const auto e = static_cast<std::size_t>(end);
                const auto left = static_cast<std::size_t>((end + ends - 1) % ends);
                const auto right = static_cast<std::size_t>((end + 1) % ends);
                warpWay[e] = static_cast<std::uint8_t>(before[e] * 2 + after[e]);
                weftWay[e] = static_cast<std::uint8_t>((1 - on[left]) * 2 + (1 - on[right]));
            }
            pickDone = pick;
        }
        const float weftCover = rows.cover[row];
        const float weftAcross = rows.across[row];
        const Linear& weftLight = weft[static_cast<std::size_t>(pick)];
        const std::array<float, 4>& warpAlong = rows.along[row];
        auto* out = reinterpret_cast<QRgb*>(picture.scanLine(y));
        // The plies slant across the yarn: a turn moves two pixels across for one along.
        std::size_t warpTwist = row % warpTurn;
        std::size_t weftTwist = (2 * row) % weftTurn;
        for (int x = 0; x < width; ++x) {
            const auto column = static_cast<std::size_t>(x);
            const auto end = static_cast<std::size_t>(columns.thread[column]);
            const float warpCover = columns.cover[column];
            const bool up = on[end] != 0;
            const float warpShown = up ? warpCover : warpCover * (1 - weftCover);
            const float weftShown = up ? weftCover * (1 - warpCover) : weftCover;
            const float backingShown = (1 - warpCover) * (1 - weftCover);
            const Linear& warpLight = warp[end];
            const float warpShade = columns.across[column] * columns.twist[warpTwist] *
                                    (up ? warpAlong[warpWay[end]] : 1.0f);
            const float weftShade = weftAcross * rows.twist[weftTwist] *
                                    (up ? 1.0f : columns.along[column][weftWay[end]]);
            const float warpLit = warpShown * (1 + warpLight.lit * (warpShade - 1));
            const float weftLit = weftShown * (1 + weftLight.lit * (weftShade - 1));
            QRgb pixel = 0xff000000u;
            for (std::size_t c = 0; c < 3; ++c) {
                const float light = warpLight.light[c] * warpLit + weftLight.light[c] * weftLit +
                                    backing.light[c] * backingShown;
                pixel |= encode(light) << (16 - 8 * c);
            }
            out[x] = pixel;
            warpTwist = (warpTwist + 2) % warpTurn;
            weftTwist = weftTwist + 1 == weftTurn ? 0 : weftTwist + 1;
        }
    }
    return picture;
}

QImage asWovenPicture(const ClothThreads& threads, const ClothLook& look) {
    if (threads.threading.size() != threads.warp.size() ||
        threads.treadling.size() != threads.weft.size()) {
        return {};
    }
    return asWovenPicture(threads, look, [&threads](qsizetype end, qsizetype pick) {
        return threads.weave.lifts(threads.treadling[pick - 1], threads.threading[end - 1]);
    });
}

} // namespace loomara
