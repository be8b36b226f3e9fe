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

} // namespace loomara::photo
