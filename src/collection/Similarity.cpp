#include "collection/Similarity.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <iterator>
#include <limits>
#include <numeric>
#include <thread>
#include <utility>

namespace loomara {

namespace {

// Colour differences are summed as whole numbers of this fraction of a unit, so that a sum does
// not depend on the order it was added in: a rotated or reversed sett gives exactly the same
// difference, and a pair compared either way round too.
constexpr double kUnitsPerDifference = 1024;
// A bound on the difference may exceed the difference as summed by the rounding to those units.
constexpr double kBoundSlack = 1 / kUnitsPerDifference;

double distance(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

double linear(int component) {
    const double c = component / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double labCurve(double t) {
    constexpr double kEdge = 6.0 / 29.0;
    return t > kEdge * kEdge * kEdge ? std::cbrt(t) : t / (3 * kEdge * kEdge) + 4.0 / 29.0;
}

// The least area between two shares of one component drawn as distribution functions: what it
// costs at least to move one cloth's colours onto the other's along that component, and so, as
// the colour difference is at least the difference of any one component, a bound under the
// cloths' difference whatever their arrangement.
double leastMove(const std::vector<ClothProfile::Share>& u,
                 const std::vector<ClothProfile::Share>& v) {
    std::size_t i = 0;
    std::size_t j = 0;
    double below = 0; // u's share minus v's share below x
    double x = std::min(u.front().value, v.front().value);
    double area = 0;
    while (i < u.size() || j < v.size()) {
        const bool fromU = j == v.size() || (i < u.size() && u[i].value <= v[j].value);
        const ClothProfile::Share& next = fromU ? u[i++] : v[j++];
        area += std::abs(below) * (next.value - x);
        x = next.value;
        below += fromU ? next.share : -next.share;
    }
    return area;
}

// The difference of the mean colours is a bound under the mean difference, and costs nothing.
double cheapBound(const ClothProfile& a, const ClothProfile& b) {
    return distance(a.meanLab(), b.meanLab());
}

double bound(const ClothProfile& a, const ClothProfile& b) {
    double most = cheapBound(a, b);
    for (int c = 0; c < 3; ++c) {
        most = std::max(most, leastMove(a.component(c), b.component(c)));
    }
    return most;
}

// Both repeats stretched to a.threads() x b.threads() places, so that every run ends on a whole
// place: the difference summed over the places at the best alignment.
//
// Shifting b one place along changes the sum only at b's edges: at an edge, the place of a there
// leaves b's run after the edge for the run before it. So the change from one shift to the next
// stays the same until an edge of b passes an edge of a, and the sum is known at every shift
// from the sum at shift 0 and the passings in order: a·b of them each way, rather than a
// walk over both repeats for every one.
long long leastSum(const ClothProfile& a, const ClothProfile& b) {
    const std::vector<ClothProfile::Run>& ra = a.runs();
    const std::size_t na = ra.size();
    const std::size_t nb = b.runs().size();
    const long long length = a.threads() * b.threads();
    // Where each run of a starts, in places.
    std::vector<long long> startA(na);
    for (std::size_t i = 1; i < na; ++i) {
        startA[i] = startA[i - 1] + ra[i - 1].threads * b.threads();
    }
    const auto runOfA = [&](long long place) {
        const auto after = std::upper_bound(startA.begin(), startA.end(), place);
        return static_cast<std::size_t>(after - startA.begin()) - 1;
    };

    long long best = -1;
    for (const bool forwards : {true, false}) {
        std::vector<ClothProfile::Run> rb = b.runs();
        if (!forwards) {
            std::reverse(rb.begin(), rb.end());
        }
        std::vector<long long> apart(na * nb);
        for (std::size_t i = 0; i < na; ++i) {
            for (std::size_t j = 0; j < nb; ++j) {
                apart[i * nb + j] =
                    std::llround(distance(ra[i].lab, rb[j].lab) * kUnitsPerDifference);
            }
        }
        const auto d = [&](std::size_t i, std::size_t j) { return apart[i * nb + j]; };
        std::vector<long long> startB(nb);
        for (std::size_t j = 1; j < nb; ++j) {
            startB[j] = startB[j - 1] + rb[j - 1].threads * a.threads();
        }

        // The sum at shift 0, both repeats walked together.
        long long sum = 0;
        {
            std::size_t i = 0;
            std::size_t j = 0;
            long long at = 0;
            while (at < length) {
                const long long endA = i + 1 < na ? startA[i + 1] : length;
                const long long endB = j + 1 < nb ? startB[j + 1] : length;
                const long long end = std::min(endA, endB);
                sum += (end - at) * d(i, j);
                at = end;
                i += end == endA ? 1 : 0;
                j += end == endB ? 1 : 0;
            }
        }
        // What one more shift adds: at the edge starting b's run j, the place of a leaves run j
        // for run j - 1 (round the ring).
        const auto edgeChange = [&](std::size_t i, std::size_t j) {
            return d(i, (j + nb - 1) % nb) - d(i, j);
        };
        long long change = 0;
        struct Passing {
            long long shift;
            std::size_t i; // the run of a the edge enters
            std::size_t j; // the edge: the start of b's run j
        };
        std::vector<Passing> passings;
        passings.reserve(na * nb);
        for (std::size_t j = 0; j < nb; ++j) {
            change += edgeChange(runOfA(startB[j]), j);
            for (std::size_t i = 0; i < na; ++i) {
                const long long shift = ((startA[i] - startB[j]) % length + length) % length;
                if (shift != 0) {
                    passings.push_back({shift, i, j});
                }
            }
        }
        std::sort(passings.begin(), passings.end(),
                  [](const Passing& x, const Passing& y) { return x.shift < y.shift; });
        long long least = sum;
        long long shift = 0;
        for (const Passing& p : passings) {
            sum += change * (p.shift - shift);
            shift = p.shift;
            least = std::min(least, sum);
            change += edgeChange(p.i, p.j) - edgeChange((p.i + na - 1) % na, p.j);
        }
        best = best < 0 ? least : std::min(best, least);
    }
    return best;
}

// Only a difference of nothing at all scores 100, however little another differs.
int scoreOf(double difference) {
    if (difference == 0) {
        return 100;
    }
    return std::clamp(static_cast<int>(std::floor(100 - kScorePerDifference * difference)), 0, 99);
}

bool before(const Neighbour& a, const Neighbour& b) {
    return a.difference != b.difference ? a.difference < b.difference : a.index < b.index;
}

const std::vector<ClothProfile>& collectionProfiles() {
    static const std::vector<ClothProfile> profiles = [] {
        std::vector<ClothProfile> all;
        for (const ListedEntry& listed : referenceCollection()) {
            all.push_back(listed.reading.ok() ? ClothProfile(listed.reading.sett) : ClothProfile());
        }
        return all;
    }();
    return profiles;
}

} // namespace

std::array<double, 3> labOf(Rgb colour) {
    return labOfLight(linear(colour.red), linear(colour.green), linear(colour.blue));
}

std::array<double, 3> labOfLight(double r, double g, double b) {
    const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047;
    const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883;
    const double fy = labCurve(y);
    return {116 * fy - 16, 500 * (labCurve(x) - fy), 200 * (fy - labCurve(z))};
}

ClothProfile::ClothProfile(const Sett& sett) {
    std::vector<std::pair<Rgb, long long>> runs;
    for (const qsizetype i : repeatOrder(sett)) {
        const SettStripe& stripe = sett.stripes[i];
        if (stripe.count <= 0) {
            continue;
        }
        if (!runs.empty() && runs.back().first == stripe.colour) {
            runs.back().second += stripe.count;
        } else {
            runs.emplace_back(stripe.colour, stripe.count);
        }
    }
    // The repeat is a ring: its last run goes on into its first.
    if (runs.size() > 1 && runs.front().first == runs.back().first) {
        runs.front().second += runs.back().second;
        runs.pop_back();
    }
    const std::size_t n = runs.size();
    for (std::size_t period = 1; period < n; ++period) {
        bool repeats = n % period == 0;
        for (std::size_t i = period; repeats && i < n; ++i) {
            repeats = runs[i] == runs[i - period];
        }
        if (repeats) {
            runs.resize(period);
            break;
        }
    }
    long long common = 0;
    for (const auto& run : runs) {
        common = std::gcd(common, run.second);
    }
    for (const auto& [colour, threads] : runs) {
        runs_.push_back({labOf(colour), threads / common});
        threads_ += threads / common;
    }
    for (const Run& run : runs_) {
        const double share = static_cast<double>(run.threads) / static_cast<double>(threads_);
        for (std::size_t c = 0; c < 3; ++c) {
            meanLab_[c] += share * run.lab[c];
            components_[c].push_back({run.lab[c], share});
        }
    }
    for (std::vector<Share>& shares : components_) {
        std::sort(shares.begin(), shares.end(),
                  [](const Share& a, const Share& b) { return a.value < b.value; });
    }
}

double clothDifference(const ClothProfile& a, const ClothProfile& b) {
    if (a.empty() || b.empty()) {
        return std::numeric_limits<double>::infinity();
    }
    const long long sum = leastSum(a, b);
    return static_cast<double>(sum) /
           (kUnitsPerDifference * static_cast<double>(a.threads() * b.threads()));
}

int similarityScore(const ClothProfile& a, const ClothProfile& b) {
    if (a.empty() || b.empty()) {
        return 0;
    }
    return scoreOf(clothDifference(a, b));
}

std::vector<Neighbour> nearestProfiles(const ClothProfile& sett,
                                       std::span<const ClothProfile> among, int count,
                                       qsizetype skip, int leastScore) {
    std::vector<Neighbour> best;
    if (sett.empty() || count <= 0) {
        return best;
    }
    // The score falls as the difference grows, so a least score is a greatest difference.
    const double farthest = leastScore > 0 ? (100 - leastScore) / kScorePerDifference
                                           : std::numeric_limits<double>::infinity();
    // Best first by a bound under the difference: the first compared set the bar, and the search
    // ends at the first whose bound does not pass it.
    std::vector<std::pair<double, qsizetype>> order;
    for (qsizetype j = 0; j < static_cast<qsizetype>(among.size()); ++j) {
        const ClothProfile& other = among[static_cast<std::size_t>(j)];
        if (j != skip && !other.empty() && cheapBound(sett, other) <= farthest + kBoundSlack) {
            const double least = bound(sett, other);
            if (least <= farthest + kBoundSlack) {
                order.emplace_back(least, j);
            }
        }
    }
    std::sort(order.begin(), order.end());

    const auto wanted = static_cast<std::size_t>(count);
    for (const auto& [least, j] : order) {
        const double threshold = best.size() < wanted ? farthest : best.back().difference;
        if (least > threshold + kBoundSlack) {
            break;
        }
        const ClothProfile& other = among[static_cast<std::size_t>(j)];
        const double length = static_cast<double>(sett.threads() * other.threads());
        const long long sum = leastSum(sett, other);
        const double difference = static_cast<double>(sum) / (kUnitsPerDifference * length);
        const Neighbour found{j, scoreOf(difference), difference};
        if (found.score < leastScore || (best.size() == wanted && !before(found, best.back()))) {
            continue;
        }
        best.insert(std::upper_bound(best.begin(), best.end(), found, before), found);
        if (best.size() > wanted) {
            best.pop_back();
        }
    }
    return best;
}

std::vector<Neighbour> nearestOthers(std::span<const ClothProfile> profiles, int threads,
                                     int leastScore) {
    std::vector<Neighbour> nearest(profiles.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < profiles.size(); i = next++) {
            const std::vector<Neighbour> found =
                nearestProfiles(profiles[i], profiles, 1, static_cast<qsizetype>(i), leastScore);
            if (!found.empty()) {
                nearest[i] = found.front();
            }
        }
    };
    std::vector<std::thread> workers;
    for (int t = 1; t < threads; ++t) {
        workers.emplace_back(work);
    }
    work();
    for (std::thread& worker : workers) {
        worker.join();
    }
    return nearest;
}

QList<SimilarEntry> entriesNearest(const Sett& sett, int count, const ListedEntry* from) {
    const QList<ListedEntry>& entries = referenceCollection();
    const qsizetype skip = from ? from - entries.constData() : -1;
    QList<SimilarEntry> similar;
    if (from) {
        similar.append({from, 100});
    }
    for (const Neighbour& n : nearestProfiles(ClothProfile(sett), collectionProfiles(),
                                              count - static_cast<int>(similar.size()), skip)) {
        similar.append({&entries[n.index], n.score});
    }
    return similar;
}

} // namespace loomara
