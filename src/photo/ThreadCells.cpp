#include "photo/ThreadCells.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace loomara::photo {

namespace {

using Sums = std::array<double, 4>; // colour weighed by the pixels, and the pixels

// Neighbouring threads whose means differ by less than this share and this much light lie in one
// stripe.
constexpr double kAlikeThreads = 0.1;
constexpr double kAlikeLight = 0.005;

bool worthAveraging(int first, int end, double threadWidth) {
    return threadWidth > 1 && end - first >= 2 && threadWidth * 2 <= end - first;
}

// The profile's means over one thread's width around each bin of [first, end), as sums.
std::vector<Sums> threadMeans(const Profile& profile, int first, int end, double threadWidth) {
    const int n = end - first;
    std::vector<Sums> before(static_cast<std::size_t>(n) + 1, {0, 0, 0, 0});
    for (int i = 0; i < n; ++i) {
        const auto at = static_cast<std::size_t>(first + i);
        const double weight = profile.weight[at];
        Sums& next = before[static_cast<std::size_t>(i) + 1];
        const Sums& last = before[static_cast<std::size_t>(i)];
        for (std::size_t c = 0; c < 3; ++c) {
            next[c] = last[c] + profile.colour[at][c] * weight;
        }
        next[3] = last[3] + weight;
    }
    // A window's sums between two places anywhere in a bin take the share of that bin they cover.
    const auto sumTo = [&](double place) {
        place = std::clamp(place, 0.0, static_cast<double>(n));
        const auto whole =
            std::min(static_cast<std::size_t>(place), static_cast<std::size_t>(n - 1));
        const double part = place - static_cast<double>(whole);
        Sums sum{};
        for (std::size_t k = 0; k < 4; ++k) {
            sum[k] = before[whole][k] + part * (before[whole + 1][k] - before[whole][k]);
        }
        return sum;
    };
    std::vector<Sums> means(static_cast<std::size_t>(n));
    const double half = threadWidth / 2;
    for (int i = 0; i < n; ++i) {
        const Sums from = sumTo(i + 0.5 - half);
        const Sums to = sumTo(i + 0.5 + half);
        for (std::size_t k = 0; k < 4; ++k) {
            means[static_cast<std::size_t>(i)][k] = to[k] - from[k];
        }
    }
    return means;
}

} // namespace

double threadShading(const Profile& profile, int first, int end, double threadWidth) {
    if (!worthAveraging(first, end, threadWidth)) {
        return 0;
    }
    const std::vector<Sums> means = threadMeans(profile, first, end, threadWidth);
    const int n = end - first;
    const auto meanAt = [&](int i, std::size_t c) {
        const Sums& m = means[static_cast<std::size_t>(i)];
        return m[3] > 0 ? m[c] / m[3] : 0.0;
    };
    // Only the bins whose thread is like its neighbours either side: at a stripe's edge a thread's
    // mean holds some of the next stripe's colour, and a flat picture strays there too.
    const int apart = static_cast<int>(std::lround(threadWidth));
    double departures = 0;
    double light = 0;
    for (int i = apart; i + apart < n; ++i) {
        bool inside = means[static_cast<std::size_t>(i)][3] > 0;
        for (std::size_t c = 0; c < 3 && inside; ++c) {
            const double here = meanAt(i, c);
            const double most = kAlikeThreads * here + kAlikeLight;
            inside = std::abs(meanAt(i - apart, c) - here) <= most &&
                     std::abs(meanAt(i + apart, c) - here) <= most;
        }
        for (std::size_t c = 0; c < 3 && inside; ++c) {
            const double here = meanAt(i, c);
            const double d = profile.colour[static_cast<std::size_t>(first + i)][c] - here;
            departures += d * d;
            light += here * here;
        }
    }
    return light > 0 ? std::sqrt(departures / light) : 0;
}

void averageOverThreads(Profile& profile, int first, int end, double threadWidth) {
    if (!worthAveraging(first, end, threadWidth)) {
        return;
    }
    const std::vector<Sums> means = threadMeans(profile, first, end, threadWidth);
    for (int i = 0; i < end - first; ++i) {
        const Sums& m = means[static_cast<std::size_t>(i)];
        if (m[3] > 0) {
            for (std::size_t c = 0; c < 3; ++c) {
                profile.colour[static_cast<std::size_t>(first + i)][c] = m[c] / m[3];
            }
        }
    }
}

Light BackingVeil::yarnOf(const Light& seen) const {
    Light yarn{};
    for (std::size_t c = 0; c < 3; ++c) {
        yarn[c] = std::max(0.0, seen[c] - light[c]) / (1 - share);
    }
    return yarn;
}

BackingVeil backingVeil(const std::vector<Light>& colours, const std::vector<double>& shares) {
    double total = 0;
    for (const double share : shares) {
        total += std::max(0.0, share);
    }
    if (total <= 0) {
        return {};
    }
    // The floor and the fit are read from whole stripes, not from the blur of their edges, which
    // strays either way and is no dye.
    const double leastShare = total / static_cast<double>(colours.size()) / 4;
    Light floor{1, 1, 1};
    for (std::size_t i = 0; i < colours.size(); ++i) {
        if (shares[i] >= leastShare) {
            for (std::size_t c = 0; c < 3; ++c) {
                floor[c] = std::min(floor[c], std::max(0.0, colours[i][c]));
            }
        }
    }
    // A veil of the whole floor, or the most share, costs this much more than none.
    constexpr double kPrior = 1.0;
    // The most of the cloth the backing may show.
    constexpr double kMostShare = 0.5;
    // The share of each channel's floor taken for the veil, and how far the backing's share lies
    // beyond the least it can be, from 0 to the most: a darker backing shows less light for its
    // share.
    using Parts = std::array<double, 4>;
    const auto veilOf = [&](const Parts& parts) {
        BackingVeil veil;
        for (std::size_t c = 0; c < 3; ++c) {
            veil.light[c] = std::min(kMostShare, parts[c] * floor[c]);
            veil.share = std::max(veil.share, veil.light[c]);
        }
        veil.share = std::min(kMostShare, veil.share + parts[3] * (kMostShare - veil.share));
        return veil;
    };
    const auto cost = [&](const Parts& parts) {
        const BackingVeil veil = veilOf(parts);
        std::vector<Light> yarns;
        yarns.reserve(colours.size());
        for (const Light& colour : colours) {
            yarns.push_back(veil.yarnOf(colour));
        }
        return meanSquaredFromDyes(yarns, shares, leastShare) +
               kPrior * ((parts[0] + parts[1] + parts[2]) / 3 + parts[3]);
    };
    // Eighths of the floor each way first, then of the share, since the dyes lie apart and a
    // small step alone finds the nearest of them; then finer steps from the best.
    constexpr int kSteps = 8;
    Parts best{0, 0, 0, 0};
    double least = cost(best);
    const auto tryParts = [&](const Parts& parts) {
        const double c = cost(parts);
        if (c < least) {
            least = c;
            best = parts;
            return true;
        }
        return false;
    };
    for (int r = 0; r <= kSteps; ++r) {
        for (int g = 0; g <= kSteps; ++g) {
            for (int b = 0; b <= kSteps; ++b) {
                tryParts({static_cast<double>(r) / kSteps, static_cast<double>(g) / kSteps,
                          static_cast<double>(b) / kSteps, 0});
            }
        }
    }
    const Parts veiled = best;
    for (int k = 1; k <= kSteps; ++k) {
        tryParts({veiled[0], veiled[1], veiled[2], static_cast<double>(k) / kSteps / 2});
    }
    for (double step = 0.5 / kSteps; step > 0.002; step /= 2) {
        for (bool moved = true; moved;) {
            moved = false;
            for (std::size_t k = 0; k < best.size(); ++k) {
                for (const double sign : {1.0, -1.0}) {
                    Parts trial = best;
                    trial[k] = std::clamp(trial[k] + sign * step, 0.0, 1.0);
                    moved = tryParts(trial) || moved;
                }
            }
        }
    }
    // Colours that do not come out as dyes were not paled by a backing (or not only): a faded or
    // muted cloth is read as it is.
    // The veil is believed only when the colours under it lie near the dyes.
    if (least > kAmongDyes) {
        return {};
    }
    return veilOf(best);
}

} // namespace loomara::photo
