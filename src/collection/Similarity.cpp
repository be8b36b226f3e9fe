#include "collection/Similarity.h"

#include "model/Workers.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <iterator>
#include <limits>
#include <map>
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
// How many ranges of shifts a quick proof that an entry is far may look at before the entry is
// compared in full.
constexpr long long kFarTestRanges = 4096;
// How many ranges of shifts the first look takes for each run of the entry.
constexpr long long kFirstRangesPerRun = 8;
// For each place wanted, how many of the likeliest entries a first bar is taken from.
constexpr std::size_t kFirstLooksPerPlace = 4;
// How many times as many runs as an entry the sett must have for every entry to be looked at.
constexpr std::size_t kFarLonger = 8;

double distance(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

// The difference of two colours in whole units: every path that sums differences takes them from
// here, so that the quick ones and the full one agree to the last unit.
long long unitsApart(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return std::llround(distance(a, b) * kUnitsPerDifference);
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

// The colour differences of every colour of one repeat from every colour of another, in units.
class Apart {
public:
    Apart(const ClothProfile& a, const ClothProfile& b) : width_(b.colours().size()) {
        units_.reserve(a.colours().size() * width_);
        for (const std::array<double, 3>& x : a.colours()) {
            for (const std::array<double, 3>& y : b.colours()) {
                units_.push_back(unitsApart(x, y));
            }
        }
    }
    long long operator()(std::size_t colourOfA, std::size_t colourOfB) const {
        return units_[colourOfA * width_ + colourOfB];
    }

private:
    std::size_t width_;
    std::vector<long long> units_;
};

using Runs = std::vector<ClothProfile::Run>;

// Where each run starts when every thread of the repeat takes `placesPerThread` places.
std::vector<long long> runStarts(const Runs& runs, long long placesPerThread) {
    std::vector<long long> starts(runs.size());
    for (std::size_t i = 1; i < runs.size(); ++i) {
        starts[i] = starts[i - 1] + runs[i - 1].threads * placesPerThread;
    }
    return starts;
}

// Both repeats stretched to a.threads() x b.threads() places, so that every run ends on a whole
// place, with b laid one way along a: the difference summed over the places at every alignment.
//
// Shifting b one place along changes the sum only at b's edges: at an edge, the place of a there
// leaves b's run after the edge for the run before it. So the change from one shift to the next
// stays the same until an edge of b passes an edge of a, and the sum is known at every shift
// from the sum at shift 0 and the passings in order: a·b of them, rather than a walk over both
// repeats for every one.
class Alignments {
public:
    Alignments(const ClothProfile& a, const Runs& rb, long long bThreads, const Apart& apart)
        : ra_(a.runs()), rb_(rb), apart_(apart), length_(a.threads() * bThreads),
          startA_(runStarts(ra_, bThreads)), startB_(runStarts(rb_, a.threads())) {}

    long long least() const {
        long long sum = sumAtStart();
        long long least = sum;
        long long change = 0;
        for (std::size_t j = 0; j < rb_.size(); ++j) {
            change += edgeChange(runOfA(startB_[j]), j);
        }
        long long shift = 0;
        for (const Passing& p : passings()) {
            sum += change * (p.shift - shift);
            shift = p.shift;
            least = std::min(least, sum);
            change += edgeChange(p.i, p.j) - edgeChange((p.i + ra_.size() - 1) % ra_.size(), p.j);
        }
        return least;
    }

private:
    long long d(std::size_t i, std::size_t j) const { return apart_(ra_[i].colour, rb_[j].colour); }

    // What one more shift adds at the edge starting b's run j, where the place of a in run i
    // leaves run j for run j - 1 (round the ring).
    long long edgeChange(std::size_t i, std::size_t j) const {
        return d(i, (j + rb_.size() - 1) % rb_.size()) - d(i, j);
    }

    std::size_t runOfA(long long place) const {
        const auto after = std::upper_bound(startA_.begin(), startA_.end(), place);
        return static_cast<std::size_t>(after - startA_.begin()) - 1;
    }

    // The sum at shift 0, both repeats walked together.
    long long sumAtStart() const {
        long long sum = 0;
        std::size_t i = 0;
        std::size_t j = 0;
        for (long long at = 0; at < length_;) {
            const long long endA = i + 1 < ra_.size() ? startA_[i + 1] : length_;
            const long long endB = j + 1 < rb_.size() ? startB_[j + 1] : length_;
            const long long end = std::min(endA, endB);
            sum += (end - at) * d(i, j);
            at = end;
            i += end == endA ? 1 : 0;
            j += end == endB ? 1 : 0;
        }
        return sum;
    }

    struct Passing {
        long long shift;
        std::size_t i; // the run of a the edge enters
        std::size_t j; // the edge: the start of b's run j
    };

    // Every shift at which an edge of b meets an edge of a, in order.
    std::vector<Passing> passings() const {
        std::vector<Passing> passings;
        passings.reserve(ra_.size() * rb_.size());
        for (std::size_t j = 0; j < rb_.size(); ++j) {
            for (std::size_t i = 0; i < ra_.size(); ++i) {
                const long long shift = ((startA_[i] - startB_[j]) % length_ + length_) % length_;
                if (shift != 0) {
                    passings.push_back({shift, i, j});
                }
            }
        }
        std::sort(passings.begin(), passings.end(),
                  [](const Passing& x, const Passing& y) { return x.shift < y.shift; });
        return passings;
    }

    const Runs& ra_;
    const Runs& rb_;
    const Apart& apart_;
    long long length_;
    std::vector<long long> startA_;
    std::vector<long long> startB_;
};

// The least sum over every alignment of b along a, laid either way. When either reads the same
// backwards, b laid backwards along a is b laid forwards along a read backwards: one way is all.
long long leastSum(const ClothProfile& a, const ClothProfile& b) {
    const Apart apart(a, b);
    const long long forwards = Alignments(a, b.runs(), b.threads(), apart).least();
    if (a.sameBackwards() || b.sameBackwards()) {
        return forwards;
    }
    Runs reversed = b.runs();
    std::reverse(reversed.begin(), reversed.end());
    return std::min(forwards, Alignments(a, reversed, b.threads(), apart).least());
}

// Colour c of an entry against run r of the sett searched from: the difference summed over the
// sett's threads before the run, and for each thread of the run.
struct Step {
    long long before = 0;
    long long each = 0;
};

// The sett searched from, thread by thread: the run each of its threads is in, and what its
// threads cost against each colour met, so that what a stretch of it costs is found without a
// search. Holds nothing when the repeat is too long to hold so.
class Threads {
public:
    explicit Threads(const ClothProfile& a) : profile_(a) {
        constexpr long long kMostThreads = 1 << 22;
        if (a.empty() || a.threads() > kMostThreads) {
            return;
        }
        runOfThread_.reserve(static_cast<std::size_t>(a.threads()));
        for (std::size_t i = 0; i < a.runs().size(); ++i) {
            firstThread_.push_back(static_cast<long long>(runOfThread_.size()));
            runOfThread_.insert(runOfThread_.end(), static_cast<std::size_t>(a.runs()[i].threads),
                                static_cast<std::uint32_t>(i));
        }
    }

    // Whether b may be laid along these threads: the places of both repeats stretched are few
    // enough to be counted exactly in a double.
    bool holds(const ClothProfile& b) const {
        constexpr long long kMostPlaces = 1LL << 50;
        return !runOfThread_.empty() && b.threads() <= kMostPlaces / profile_.threads();
    }

    // Makes ready what the threads cost against every colour of b.
    void meet(const ClothProfile& b) {
        for (const std::array<double, 3>& colour : b.colours()) {
            if (steps_.contains(colour)) {
                continue;
            }
            std::vector<long long> apart;
            for (const std::array<double, 3>& own : profile_.colours()) {
                apart.push_back(unitsApart(own, colour));
            }
            std::vector<Step>& steps = steps_[colour];
            long long sum = 0;
            for (const ClothProfile::Run& run : profile_.runs()) {
                steps.push_back({sum, apart[run.colour]});
                sum += run.threads * steps.back().each;
            }
            steps.push_back({sum, 0});
        }
    }

    const ClothProfile& profile() const { return profile_; }
    std::size_t runOf(long long thread) const {
        return runOfThread_[static_cast<std::size_t>(thread)];
    }
    long long firstThread(std::size_t run) const { return firstThread_[run]; }
    // For each run and past the last; the colour must have been met.
    const Step* steps(const std::array<double, 3>& colour) const {
        return steps_.at(colour).data();
    }

private:
    const ClothProfile& profile_;
    std::vector<std::uint32_t> runOfThread_;
    std::vector<long long> firstThread_;
    std::map<std::array<double, 3>, std::vector<Step>> steps_;
};

// A quick proof that b is far from a: over a range of shifts, the sum of an alignment is at least
// the sum at which each of b's runs covers only what it covers at every shift of the range.
//
// With cost(c, x) the difference of colour c from a's first x places summed, which grows with x,
// the sum at shift t is the sum over b's runs (from s to e) of cost(c, t + e) - cost(c, t + s);
// for every t from t0 to t1 that is at least cost(c, t0 + e) - cost(c, t1 + s).
class FarTest {
public:
    FarTest(const Threads& a, const ClothProfile& b)
        : a_(a), places_(b.threads()), perPlace_(1 / static_cast<double>(places_)),
          length_(a.profile().threads() * b.threads()), runs_(a.profile().runs().size()) {
        for (const std::array<double, 3>& colour : b.colours()) {
            steps_.push_back(a.steps(colour));
        }
        const bool oneWay = a.profile().sameBackwards() || b.sameBackwards();
        for (const bool forwards : {true, false}) {
            if (!forwards && oneWay) {
                break;
            }
            Runs rb = b.runs();
            if (!forwards) {
                std::reverse(rb.begin(), rb.end());
            }
            Laid laid;
            for (const long long start : runStarts(rb, a.profile().threads())) {
                laid.starts.push_back(start);
            }
            laid.ends.assign(laid.starts.begin() + 1, laid.starts.end());
            laid.ends.push_back(length_);
            for (const ClothProfile::Run& run : rb) {
                laid.colours.push_back(run.colour);
            }
            ways_.push_back(std::move(laid));
        }
    }

    // A first look over a few wide ranges of shifts, either way round: a sum no alignment goes
    // below, and the least sum met at the ranges' edges, which some alignment reaches.
    std::pair<long long, long long> firstLook() const {
        const std::vector<long long> edges = firstEdges();
        long long least = std::numeric_limits<long long>::max();
        long long met = least;
        for (const Laid& laid : ways_) {
            // What each run of b covers with its start, and with its end, at each edge.
            std::vector<long long> starts(laid.starts.size() * edges.size());
            std::vector<long long> ends(starts.size());
            for (std::size_t k = 0; k < edges.size(); ++k) {
                for (std::size_t j = 0; j < laid.starts.size(); ++j) {
                    const std::size_t at = k * laid.starts.size() + j;
                    starts[at] = cost(laid.colours[j], edges[k] + laid.starts[j]);
                    ends[at] = cost(laid.colours[j], edges[k] + laid.ends[j]);
                }
            }
            for (std::size_t k = 0; k + 1 < edges.size(); ++k) {
                long long under = 0;
                long long sum = 0;
                for (std::size_t j = 0; j < laid.starts.size(); ++j) {
                    const std::size_t at = k * laid.starts.size() + j;
                    under += std::max(0LL, ends[at] - starts[at + laid.starts.size()]);
                    sum += ends[at] - starts[at];
                }
                least = std::min(least, under);
                met = std::min(met, sum);
            }
        }
        return {least, met};
    }

    // Whether every alignment, either way round, sums to what `above` accepts, shown within
    // `budget` ranges; false when it is not so or could not be shown.
    template <typename Above> bool allAbove(const Above& above, long long budget) const {
        for (const Laid& laid : ways_) {
            std::vector<std::pair<long long, long long>> ranges = firstRanges();
            while (!ranges.empty()) {
                const auto [from, to] = ranges.back();
                ranges.pop_back();
                if (--budget < 0) {
                    return false;
                }
                if (above(leastIn(laid, from, to))) {
                    continue;
                }
                if (!above(sumAt(laid, from)) || !above(sumAt(laid, to))) {
                    return false;
                }
                // Between two neighbouring places no edge passes another: the sum is straight.
                if (to - from > 1) {
                    ranges.emplace_back(from + (to - from) / 2, to);
                    ranges.emplace_back(from, from + (to - from) / 2);
                }
            }
        }
        return true;
    }

private:
    struct Laid {
        std::vector<long long> starts;
        std::vector<long long> ends;
        std::vector<std::size_t> colours;
    };

    // The edges of wide ranges covering every shift, a few for each run of b.
    std::vector<long long> firstEdges() const {
        const long long count = std::min<long long>(
            length_, kFirstRangesPerRun * static_cast<long long>(ways_.front().starts.size()));
        std::vector<long long> edges;
        for (long long k = 0; k <= count; ++k) {
            edges.push_back(length_ / count * k + length_ % count * k / count);
        }
        return edges;
    }

    // The same as ranges, the last first.
    std::vector<std::pair<long long, long long>> firstRanges() const {
        const std::vector<long long> edges = firstEdges();
        std::vector<std::pair<long long, long long>> ranges;
        for (std::size_t k = edges.size() - 1; k > 0; --k) {
            ranges.emplace_back(edges[k - 1], edges[k]);
        }
        return ranges;
    }

    // The difference of colour c of b from a's first x places, a's repeat going round again
    // past its end.
    long long cost(std::size_t c, long long x) const {
        const Step* const steps = steps_[c];
        long long whole = 0;
        if (x > length_) {
            x -= length_;
            whole = steps[runs_].before * places_;
        }
        // A product rather than a division, which may land one thread off.
        auto thread = static_cast<long long>(static_cast<double>(x) * perPlace_);
        thread -= thread * places_ > x ? 1 : 0;
        thread += (thread + 1) * places_ <= x ? 1 : 0;
        if (thread == a_.profile().threads()) {
            return whole + steps[runs_].before * places_;
        }
        const std::size_t run = a_.runOf(thread);
        return whole + places_ * steps[run].before +
               (x - a_.firstThread(run) * places_) * steps[run].each;
    }

    long long sumAt(const Laid& laid, long long shift) const {
        long long sum = 0;
        for (std::size_t j = 0; j < laid.starts.size(); ++j) {
            sum += cost(laid.colours[j], shift + laid.ends[j]) -
                   cost(laid.colours[j], shift + laid.starts[j]);
        }
        return sum;
    }

    long long leastIn(const Laid& laid, long long from, long long to) const {
        long long sum = 0;
        for (std::size_t j = 0; j < laid.starts.size(); ++j) {
            sum += std::max(0LL, cost(laid.colours[j], from + laid.ends[j]) -
                                     cost(laid.colours[j], to + laid.starts[j]));
        }
        return sum;
    }

    const Threads& a_;
    long long places_; // per thread of a
    double perPlace_;
    long long length_;
    std::size_t runs_;               // of a
    std::vector<const Step*> steps_; // per colour of b
    std::vector<Laid> ways_;
};

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

struct Candidate {
    double least = 0; // no alignment differs less
    qsizetype index = -1;
    // What some alignment differs by, when it was looked at.
    double met = std::numeric_limits<double>::infinity();
    bool operator<(const Candidate& other) const {
        return least != other.least ? least < other.least : index < other.index;
    }
};

struct Candidates {
    std::vector<Candidate> order; // least first
    double bar = 0;               // no entry that differs more can take a place
};

// A first look at an entry: a closer bound under its difference, and what one alignment differs.
std::pair<double, double> firstLook(const Threads& threads, const ClothProfile& other) {
    const double units = kUnitsPerDifference * static_cast<double>(threads.profile().threads()) *
                         static_cast<double>(other.threads());
    const auto [least, met] = FarTest(threads, other).firstLook();
    return {static_cast<double>(least) / units, static_cast<double>(met) / units};
}

// Every entry that may take a place, least first by a bound under its difference, and a first
// bar: the wanted entries differ no more than at some alignment of theirs, so an entry whose
// bound passes the wanted-th least such difference can take no place. Beyond `farthest` none
// may take a place.
//
// The bound from the colours alone is loose where the sett is far longer than the entry; there
// a first look at the alignments costs little beside the comparison it may spare. Otherwise only
// the likeliest few are looked at, for the bar.
Candidates firstLooks(Threads& threads, std::span<const ClothProfile> among, qsizetype skip,
                      double farthest, std::size_t wanted) {
    const ClothProfile& sett = threads.profile();
    Candidates found{{}, farthest};
    for (qsizetype j = 0; j < static_cast<qsizetype>(among.size()); ++j) {
        const ClothProfile& other = among[static_cast<std::size_t>(j)];
        if (j == skip || other.empty() || cheapBound(sett, other) > farthest + kBoundSlack) {
            continue;
        }
        Candidate candidate{bound(sett, other), j};
        if (threads.holds(other) && candidate.least <= farthest + kBoundSlack) {
            threads.meet(other);
        }
        if (threads.holds(other) && candidate.least <= farthest + kBoundSlack &&
            sett.runs().size() >= kFarLonger * other.runs().size()) {
            const auto [least, met] = firstLook(threads, other);
            candidate.least = std::max(candidate.least, least);
            candidate.met = met;
        }
        if (candidate.least <= farthest + kBoundSlack) {
            found.order.push_back(candidate);
        }
    }
    std::sort(found.order.begin(), found.order.end());
    std::vector<double> met;
    for (std::size_t k = 0; k < found.order.size(); ++k) {
        Candidate& candidate = found.order[k];
        const ClothProfile& other = among[static_cast<std::size_t>(candidate.index)];
        if (std::isinf(candidate.met) && k < kFirstLooksPerPlace * wanted && threads.holds(other)) {
            // The order stands: only the bar is taken from this look.
            candidate.met = firstLook(threads, other).second;
        }
        if (!std::isinf(candidate.met)) {
            met.push_back(candidate.met);
        }
    }
    if (met.size() >= wanted) {
        std::nth_element(met.begin(), met.begin() + static_cast<std::ptrdiff_t>(wanted - 1),
                         met.end());
        found.bar = std::min(found.bar, met[wanted - 1]);
    }
    return found;
}

// Whether the ring of runs read backwards is the same ring, started at some run.
bool readsBackwards(const std::vector<ClothProfile::Run>& runs) {
    const std::size_t n = runs.size();
    const auto same = [](const ClothProfile::Run& x, const ClothProfile::Run& y) {
        return x.colour == y.colour && x.threads == y.threads;
    };
    for (std::size_t start = 0; start < n; ++start) {
        std::size_t k = 0;
        while (k < n && same(runs[(start + k) % n], runs[n - 1 - k])) {
            ++k;
        }
        if (k == n) {
            return true;
        }
    }
    return false;
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
        const std::array<double, 3> lab = labOf(colour);
        const auto known = std::find(colours_.begin(), colours_.end(), lab);
        runs_.push_back(
            {lab, threads / common, static_cast<std::size_t>(known - colours_.begin())});
        if (known == colours_.end()) {
            colours_.push_back(lab);
        }
        threads_ += threads / common;
    }
    sameBackwards_ = readsBackwards(runs_);
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
    Threads threads(sett);
    const auto wanted = static_cast<std::size_t>(count);
    const auto [order, bar] = firstLooks(threads, among, skip, farthest, wanted);
    for (const Candidate& candidate : order) {
        const double threshold = best.size() < wanted ? bar : std::min(bar, best.back().difference);
        if (candidate.least > threshold + kBoundSlack) {
            break;
        }
        const ClothProfile& other = among[static_cast<std::size_t>(candidate.index)];
        const double length = static_cast<double>(sett.threads() * other.threads());
        // An entry shown to differ more than the bar cannot take a place: its sum is not needed.
        const auto beyond = [&](long long sum) {
            return static_cast<double>(sum) / (kUnitsPerDifference * length) >
                   threshold + kBoundSlack;
        };
        if (threads.holds(other) && std::isfinite(threshold) &&
            FarTest(threads, other).allAbove(beyond, kFarTestRanges)) {
            continue;
        }
        const double difference =
            static_cast<double>(leastSum(sett, other)) / (kUnitsPerDifference * length);
        const Neighbour found{candidate.index, scoreOf(difference), difference};
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
    onWorkers(profiles.size(), threads, [&](std::size_t i) {
        const std::vector<Neighbour> found =
            nearestProfiles(profiles[i], profiles, 1, static_cast<qsizetype>(i), leastScore);
        if (!found.empty()) {
            nearest[i] = found.front();
        }
        return true;
    });
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
