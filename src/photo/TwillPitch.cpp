#include "photo/TwillPitch.h"

#include "photo/Fourier.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace loomara::photo {

namespace {

// Threads this many pixels wide and wider are sought.
constexpr double kNarrowest = 1.2;
constexpr double kWidest = 24;
// Ends and picks are woven about as close: a twill whose threads differ more is no twill seen.
constexpr double kMostUnevenThreads = 1.25;
// The peak must stand this far above the spectrum's median around it.
constexpr double kLeastStrength = 40;

std::array<double, 3> colourAt(const Profile& profile, double at) {
    const double f = std::clamp(at - profile.origin, 0.0, profile.colour.size() - 1.001);
    const auto i = static_cast<std::size_t>(f);
    const double t = f - static_cast<double>(i);
    const auto& a = profile.colour[i];
    const auto& b = profile.colour[i + 1];
    return {a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1]), a[2] + t * (b[2] - a[2])};
}

// The thread widths a frequency (cycles per pixel) stands for, if it is the twill's: 4 f is the
// sum of the gradients of u / across and of v / down (one of them turned round).
struct Widths {
    double across = 0;
    double down = 0;
};
Widths widthsOf(double fx, double fy, const std::array<double, 4>& gradients) {
    // gradients: du/dx, du/dy, dv/dx, dv/dy at the middle of the picture.
    const double det = gradients[0] * gradients[3] - gradients[2] * gradients[1];
    const double x1 = 4 * (fx * gradients[3] - fy * gradients[2]) / det;
    const double x2 = 4 * (gradients[0] * fy - gradients[1] * fx) / det;
    return {x1 != 0 ? 1 / std::abs(x1) : 1e9, x2 != 0 ? 1 / std::abs(x2) : 1e9};
}

// The ripple in one bin of its phase and one channel as a share of the level plus a constant:
// a straight line through the (level, rest) of the bin's members, fitted again without those
// far from it (the stripes' edges).
std::pair<double, double> rippleInBin(const Profile& profile, int first,
                                      const std::vector<std::array<double, 3>>& rest,
                                      const std::vector<int>& members, std::size_t c) {
    if (members.empty()) {
        return {0, 0};
    }
    std::vector<double> xs;
    std::vector<double> ys;
    for (const int i : members) {
        const double y = rest[static_cast<std::size_t>(i)][c];
        xs.push_back(profile.colour[static_cast<std::size_t>(first + i)][c] - y);
        ys.push_back(y);
    }
    std::vector<double> sorted = ys;
    const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2);
    std::nth_element(sorted.begin(), middle, sorted.end());
    double share = 0;
    double offset = *middle;
    for (int round = 0; round < 2; ++round) {
        std::vector<double> misses;
        for (std::size_t k = 0; k < xs.size(); ++k) {
            misses.push_back(std::abs(ys[k] - share * xs[k] - offset));
        }
        std::vector<double> ordered = misses;
        const auto m = ordered.begin() + static_cast<std::ptrdiff_t>(ordered.size() / 2);
        std::nth_element(ordered.begin(), m, ordered.end());
        const double far = 3 * *m + 1e-6;
        double sw = 0;
        double sx = 0;
        double sy = 0;
        double sxx = 0;
        double sxy = 0;
        for (std::size_t k = 0; k < xs.size(); ++k) {
            if (misses[k] <= far) {
                sw += 1;
                sx += xs[k];
                sy += ys[k];
                sxx += xs[k] * xs[k];
                sxy += xs[k] * ys[k];
            }
        }
        if (sw < 1) {
            break;
        }
        const double spread = sxx - sx * sx / sw;
        // Levels too alike to tell a share from a constant: the constant alone.
        if (spread > 1e-3 * sw) {
            share = (sxy - sx * sy / sw) / spread;
            offset = (sy - share * sx) / sw;
        } else {
            share = 0;
            offset = sy / sw;
        }
    }
    return {share, offset};
}

} // namespace

TwillPitch findTwillPitch(const QImage& picture, const ClothPlane& plane,
                          const Profiles& profiles) {
    const int side = std::min(picture.width(), picture.height());
    int n = 256;
    while (n > 32 && n * 2 > side) {
        n /= 2;
    }
    if (n * 2 > side) {
        return {};
    }
    const std::array<float, 256>& linear = linearLevels();
    std::array<double, 3> mean{};
    for (const Profile* p : {&profiles.across, &profiles.down}) {
        double weight = 0;
        std::array<double, 3> sum{};
        for (std::size_t i = 0; i < p->colour.size(); ++i) {
            for (std::size_t c = 0; c < 3; ++c) {
                sum[c] += p->colour[i][c] * p->weight[i];
            }
            weight += p->weight[i];
        }
        for (std::size_t c = 0; c < 3; ++c) {
            mean[c] += weight > 0 ? sum[c] / weight / 2 : 0;
        }
    }
    std::vector<double> window(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        window[static_cast<std::size_t>(i)] =
            0.5 - 0.5 * std::cos(2 * std::numbers::pi * (i + 0.5) / n);
    }
    // Where an end and a pick of different colours cross, the pixel less what the two stripes
    // give on average is the twill, signed by which thread is on top; multiplied by the difference
    // of their colours it is the twill's pattern, always the same way up.
    const std::size_t bins = static_cast<std::size_t>(n) * (static_cast<std::size_t>(n) / 2 + 1);
    std::vector<double> power(bins, 0.0);
    constexpr int kPatchesEachWay = 3;
    for (int py = 0; py < kPatchesEachWay; ++py) {
        for (int px = 0; px < kPatchesEachWay; ++px) {
            const int left = (picture.width() - n) * (px + 1) / (kPatchesEachWay + 1);
            const int top = (picture.height() - n) * (py + 1) / (kPatchesEachWay + 1);
            std::vector<double> patch(static_cast<std::size_t>(n) * n);
            double patchMean = 0;
            for (int y = 0; y < n; ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(top + y));
                for (int x = 0; x < n; ++x) {
                    const QRgb p = line[left + x];
                    const std::array<double, 3> pixel{linear[static_cast<std::size_t>(qRed(p))],
                                                      linear[static_cast<std::size_t>(qGreen(p))],
                                                      linear[static_cast<std::size_t>(qBlue(p))]};
                    const auto [u, v] = plane.map(left + x + 0.5, top + y + 0.5);
                    const auto a = colourAt(profiles.across, u);
                    const auto b = colourAt(profiles.down, v);
                    double q = 0;
                    for (std::size_t c = 0; c < 3; ++c) {
                        q += (pixel[c] - a[c] - b[c] + mean[c]) * (a[c] - b[c]);
                    }
                    patch[static_cast<std::size_t>(y) * n + x] = q;
                    patchMean += q;
                }
            }
            patchMean /= static_cast<double>(n) * n;
            for (int y = 0; y < n; ++y) {
                for (int x = 0; x < n; ++x) {
                    double& q = patch[static_cast<std::size_t>(y) * n + x];
                    q = (q - patchMean) * window[static_cast<std::size_t>(x)] *
                        window[static_cast<std::size_t>(y)];
                }
            }
            const std::vector<double> spectrum = powerSpectrum(patch, n);
            for (std::size_t k = 0; k < bins; ++k) {
                power[k] += spectrum[k];
            }
        }
    }
    // The gradients of the plane's coordinates at the middle.
    const auto at = plane.map(plane.middleX, plane.middleY);
    const auto right = plane.map(plane.middleX + 1, plane.middleY);
    const auto below = plane.map(plane.middleX, plane.middleY + 1);
    const std::array<double, 4> gradients{right[0] - at[0], below[0] - at[0], right[1] - at[1],
                                          below[1] - at[1]};
    const int columns = n / 2 + 1;
    auto frequencyOf = [n](int k) { return (k <= n / 2 ? k : k - n) / static_cast<double>(n); };
    auto twillLike = [&](int kx, int ky) {
        const Widths w = widthsOf(frequencyOf(kx), frequencyOf(ky), gradients);
        return w.across >= kNarrowest && w.across <= kWidest && w.down >= kNarrowest &&
               w.down <= kWidest &&
               std::max(w.across, w.down) <= kMostUnevenThreads * std::min(w.across, w.down);
    };
    double peak = 0;
    int peakX = 0;
    int peakY = 0;
    std::vector<double> around;
    for (int ky = 0; ky < n; ++ky) {
        for (int kx = 1; kx < columns - 1; ++kx) {
            if (!twillLike(kx, ky)) {
                continue;
            }
            const double p = power[static_cast<std::size_t>(ky) * columns + kx];
            around.push_back(p);
            if (p > peak) {
                peak = p;
                peakX = kx;
                peakY = ky;
            }
        }
    }
    if (around.size() < 16 || peak <= 0) {
        return {};
    }
    std::nth_element(around.begin(),
                     around.begin() + static_cast<std::ptrdiff_t>(around.size() / 2), around.end());
    const double median = around[around.size() / 2];
    TwillPitch pitch;
    pitch.strength = median > 0 ? peak / median : 0;
    auto powerAt = [&](int kx, int ky) {
        return power[static_cast<std::size_t>((ky + n) % n) * columns +
                     std::clamp(kx, 0, columns - 1)];
    };
    auto top = [](double l, double m, double r) {
        const double curve = l - 2 * m + r;
        return curve < 0 ? std::clamp(0.5 * (l - r) / curve, -0.5, 0.5) : 0.0;
    };
    // Logarithms of power make the top of a peak a parabola.
    auto logPower = [&](int kx, int ky) { return std::log(powerAt(kx, ky) + 1e-300); };
    const double fx =
        frequencyOf(peakX) +
        top(logPower(peakX - 1, peakY), logPower(peakX, peakY), logPower(peakX + 1, peakY)) / n;
    const double fy =
        frequencyOf(peakY) +
        top(logPower(peakX, peakY - 1), logPower(peakX, peakY), logPower(peakX, peakY + 1)) / n;
    const Widths widths = widthsOf(fx, fy, gradients);
    pitch.across = widths.across;
    pitch.down = widths.down;
    pitch.seen = pitch.strength >= kLeastStrength;
    return pitch;
}

void removeTwillRipple(Profile& profile, int first, int end, double threadWidth) {
    const int n = end - first;
    const double expected = 4 * threadWidth;
    // The ripple is found by folding the profile at its period: enough periods must be seen.
    if (!(threadWidth > 0) || n < 8 * expected) {
        return;
    }
    // What is left of the profile once each bin's median over one period around it is taken out:
    // the ripple, and little of the stripes' edges, which a median keeps where they are (a mean
    // would smear each edge over a period, and with narrow stripes hide the ripple altogether).
    const int half = std::max(1, static_cast<int>(std::lround(expected / 2)));
    std::vector<std::array<double, 3>> rest(static_cast<std::size_t>(n));
    std::vector<double> window;
    for (int i = 0; i < n; ++i) {
        const int from = std::max(0, i - half);
        const int to = std::min(n, i + half + 1);
        for (std::size_t c = 0; c < 3; ++c) {
            window.clear();
            for (int k = from; k < to; ++k) {
                window.push_back(profile.colour[static_cast<std::size_t>(first + k)][c]);
            }
            const auto middle = window.begin() + static_cast<std::ptrdiff_t>(window.size() / 2);
            std::nth_element(window.begin(), middle, window.end());
            rest[static_cast<std::size_t>(i)][c] =
                profile.colour[static_cast<std::size_t>(first + i)][c] - *middle;
        }
    }
    const int shapeBins = std::max(8, static_cast<int>(std::lround(expected)));
    auto binOf = [shapeBins](int i, double period) {
        const double phase = std::fmod(i / period, 1.0);
        return std::min(static_cast<std::size_t>(phase * shapeBins),
                        static_cast<std::size_t>(shapeBins) - 1);
    };
    // The twill's pitch is known to a share of a percent; the period that folds the ripple
    // sharpest is the one to take out. The edges are clipped to the ripple's size for the search.
    std::vector<std::array<double, 3>> clipped = rest;
    for (std::size_t c = 0; c < 3; ++c) {
        std::vector<double> sizes;
        for (const auto& r : rest) {
            sizes.push_back(std::abs(r[c]));
        }
        const auto middle = sizes.begin() + static_cast<std::ptrdiff_t>(sizes.size() / 2);
        std::nth_element(sizes.begin(), middle, sizes.end());
        const double most = 3 * *middle;
        for (auto& r : clipped) {
            r[c] = std::clamp(r[c], -most, most);
        }
    }
    std::vector<std::array<double, 3>> sums(static_cast<std::size_t>(shapeBins));
    std::vector<int> counts(static_cast<std::size_t>(shapeBins));
    double best = expected;
    double bestPower = -1;
    for (int step = -40; step <= 40; ++step) {
        const double period = expected * (1 + step * 0.0005);
        std::fill(sums.begin(), sums.end(), std::array<double, 3>{0, 0, 0});
        std::fill(counts.begin(), counts.end(), 0);
        for (int i = 0; i < n; ++i) {
            const std::size_t b = binOf(i, period);
            for (std::size_t c = 0; c < 3; ++c) {
                sums[b][c] += clipped[static_cast<std::size_t>(i)][c];
            }
            ++counts[b];
        }
        double power = 0;
        for (std::size_t b = 0; b < sums.size(); ++b) {
            for (std::size_t c = 0; c < 3; ++c) {
                const double mean = sums[b][c] / std::max(1, counts[b]);
                power += mean * mean;
            }
        }
        if (power > bestPower) {
            bestPower = power;
            best = period;
        }
    }
    // The ripple over one period, bin by bin of its phase. Which picks pass under an end turns
    // with the twill, and a share of a pick more or less under it weighs the end's own colour
    // too: in each bin the ripple is a part of the stripe's level and a constant, fitted to
    // what folds into the bin away from the stripes' edges.
    std::vector<std::vector<int>> members(static_cast<std::size_t>(shapeBins));
    for (int i = 0; i < n; ++i) {
        members[binOf(i, best)].push_back(i);
    }
    std::vector<std::array<double, 3>> share(members.size(), {0, 0, 0});
    std::vector<std::array<double, 3>> offset(members.size(), {0, 0, 0});
    for (std::size_t c = 0; c < 3; ++c) {
        for (std::size_t b = 0; b < members.size(); ++b) {
            const auto [s, o] = rippleInBin(profile, first, rest, members[b], c);
            share[b][c] = s;
            offset[b][c] = o;
        }
        // The ripple adds nothing to a period's light, at any level.
        double meanShare = 0;
        double meanOffset = 0;
        for (std::size_t b = 0; b < members.size(); ++b) {
            meanShare += share[b][c] / static_cast<double>(members.size());
            meanOffset += offset[b][c] / static_cast<double>(members.size());
        }
        for (std::size_t b = 0; b < members.size(); ++b) {
            share[b][c] -= meanShare;
            offset[b][c] -= meanOffset;
        }
    }
    for (int i = 0; i < n; ++i) {
        const std::size_t b = binOf(i, best);
        const auto at = static_cast<std::size_t>(first + i);
        for (std::size_t c = 0; c < 3; ++c) {
            const double level = profile.colour[at][c] - rest[static_cast<std::size_t>(i)][c];
            double& value = profile.colour[at][c];
            value = std::max(0.0, value - share[b][c] * level - offset[b][c]);
        }
    }
}

} // namespace loomara::photo
