#include "photo/StripeSegments.h"

#include <algorithm>
#include <cmath>

namespace loomara::photo {

namespace {

// A cut must explain at least this much (squared CIE Lab units summed over the samples), however
// clean the picture: two stripes that differ by less are one.
constexpr double kLeastCutWorth = 90;
// And this many times the noise of a sample, for each doubling of the samples.
constexpr double kCutWorthInNoise = 8;
// Edges blurred over at most this many samples are shared out.
constexpr double kWidestEdge = 3.5;

double difference(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

Light meanOver(const std::vector<Light>& threads, double from, double to) {
    int first = static_cast<int>(std::lround(from));
    int end = static_cast<int>(std::lround(to));
    // Away from the edges, where the next stripe's blur reaches in.
    const int margin = end - first >= 9 ? 2 : end - first >= 5 ? 1 : 0;
    first += margin;
    end -= margin;
    end = std::max(end, first + 1);
    first = std::clamp(first, 0, static_cast<int>(threads.size()) - 1);
    end = std::clamp(end, first + 1, static_cast<int>(threads.size()));
    Light mean{0, 0, 0};
    for (int i = first; i < end; ++i) {
        for (std::size_t c = 0; c < 3; ++c) {
            mean[c] += threads[static_cast<std::size_t>(i)][c] / (end - first);
        }
    }
    return mean;
}

} // namespace

std::vector<Segment> segmentStripes(const std::vector<Light>& threads) {
    const std::size_t n = threads.size();
    if (n == 0) {
        return {};
    }
    std::vector<std::array<double, 3>> lab(n);
    for (std::size_t i = 0; i < n; ++i) {
        lab[i] = labOfLight(threads[i]);
    }
    // The noise of a sample, from the steps between neighbours: most are within a stripe.
    std::vector<double> steps;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const double d = difference(lab[i], lab[i + 1]);
        steps.push_back(d * d);
    }
    double noise = 0;
    if (!steps.empty()) {
        std::nth_element(steps.begin(),
                         steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2),
                         steps.end());
        noise = steps[steps.size() / 2] / 2;
    }
    const double cutCost =
        std::max(kLeastCutWorth, kCutWorthInNoise * noise * std::log2(static_cast<double>(n) + 1));

    // The cheapest cutting: each stripe costs its squared differences from its mean, and a cut.
    std::vector<std::array<double, 3>> sum(n + 1, {0, 0, 0});
    std::vector<double> squares(n + 1, 0);
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t c = 0; c < 3; ++c) {
            sum[i + 1][c] = sum[i][c] + lab[i][c];
        }
        squares[i + 1] =
            squares[i] + lab[i][0] * lab[i][0] + lab[i][1] * lab[i][1] + lab[i][2] * lab[i][2];
    }
    auto spread = [&](std::size_t from, std::size_t to) {
        const double count = static_cast<double>(to - from);
        double s = squares[to] - squares[from];
        for (std::size_t c = 0; c < 3; ++c) {
            const double total = sum[to][c] - sum[from][c];
            s -= total * total / count;
        }
        return s;
    };
    std::vector<double> best(n + 1, 0);
    std::vector<std::size_t> cutAt(n + 1, 0);
    for (std::size_t to = 1; to <= n; ++to) {
        best[to] = 1e300;
        for (std::size_t from = 0; from < to; ++from) {
            const double cost = best[from] + spread(from, to) + cutCost;
            if (cost < best[to]) {
                best[to] = cost;
                cutAt[to] = from;
            }
        }
    }
    std::vector<Segment> segments;
    for (std::size_t to = n; to > 0; to = cutAt[to]) {
        segments.push_back({static_cast<double>(cutAt[to]), static_cast<double>(to), {}});
    }
    std::reverse(segments.begin(), segments.end());
    for (Segment& s : segments) {
        s.colour = meanOver(threads, s.from, s.to);
    }

    // A narrow stripe whose colour lies between its neighbours' is the blur of their edge.
    for (std::size_t i = 1; i + 1 < segments.size();) {
        Segment& s = segments[i];
        const Light& l = segments[i - 1].colour;
        const Light& r = segments[i + 1].colour;
        double along = 0;
        double length = 0;
        for (std::size_t c = 0; c < 3; ++c) {
            along += (s.colour[c] - r[c]) * (l[c] - r[c]);
            length += (l[c] - r[c]) * (l[c] - r[c]);
        }
        const double share = length > 0 ? std::clamp(along / length, 0.0, 1.0) : 0.5;
        Light mix{};
        for (std::size_t c = 0; c < 3; ++c) {
            mix[c] = share * l[c] + (1 - share) * r[c];
        }
        const bool edge = s.width() <= kWidestEdge &&
                          difference(labOfLight(mix), labOfLight(s.colour)) < 6 &&
                          difference(labOfLight(l), labOfLight(r)) > 8;
        if (!edge) {
            ++i;
            continue;
        }
        const double cut = s.from + share * s.width();
        segments[i - 1].to = cut;
        segments[i + 1].from = cut;
        segments.erase(segments.begin() + static_cast<std::ptrdiff_t>(i));
    }
    for (Segment& s : segments) {
        s.colour = meanOver(threads, s.from, s.to);
    }
    return segments;
}

} // namespace loomara::photo
