#include "photo/RepeatFinder.h"

#include "photo/ColourMatch.h"
#include "photo/Fourier.h"

#include <algorithm>
#include <cmath>

namespace loomara::photo {

namespace {

// A repeat shorter than this many bins cannot be told from the twill and the noise.
constexpr int kShortestPeriod = 6;
// A whole repeat is in the picture when the profile is at least this share of it long: the
// period is measured to a few bins.
constexpr double kWholeRepeat = 0.97;
// What a repeat must explain of the profile's variation, at the least.
constexpr double kLeastFit = 0.55;
// What a repeat of the whole picture, read as a ring, may leave unexplained at the most: a
// picture of whole repeats joins seamlessly, as closely as the picture is clean.
constexpr double kRingUnexplained = 0.03;

// Near what the eye sees: stripes of dark colours count as much as light ones.
double encoded(double linear) {
    return std::pow(std::max(linear, 0.0), 1 / 2.2);
}

// Sums of squared differences between pairs of bins, for every shift and every mirror, from the
// transforms of the profile.
struct Sums {
    double differences = 0;
    double energy = 0;
    int pairs = 0;
};

class PairSums {
public:
    PairSums(const Profile& profile, Trusted trusted) : n_(trusted.end - trusted.first) {
        values_.resize(static_cast<std::size_t>(n_));
        std::array<double, 3> mean{};
        for (int i = 0; i < n_; ++i) {
            for (std::size_t c = 0; c < 3; ++c) {
                values_[static_cast<std::size_t>(i)][c] =
                    encoded(profile.colour[static_cast<std::size_t>(trusted.first + i)][c]);
                mean[c] += values_[static_cast<std::size_t>(i)][c] / n_;
            }
        }
        energyBefore_.assign(static_cast<std::size_t>(n_) + 1, 0.0);
        square_.assign(static_cast<std::size_t>(n_), 0.0);
        correlation_.assign(static_cast<std::size_t>(n_), 0.0);
        convolution_.assign(static_cast<std::size_t>(2 * n_ - 1), 0.0);
        for (std::size_t c = 0; c < 3; ++c) {
            std::vector<double> channel(static_cast<std::size_t>(n_));
            for (std::size_t i = 0; i < channel.size(); ++i) {
                channel[i] = values_[i][c] - mean[c];
                square_[i] += channel[i] * channel[i];
            }
            const std::vector<double> shifted = correlationSums(channel);
            const std::vector<double> mirrored = convolutionSums(channel);
            for (std::size_t i = 0; i < shifted.size(); ++i) {
                correlation_[i] += shifted[i];
            }
            for (std::size_t i = 0; i < mirrored.size(); ++i) {
                convolution_[i] += mirrored[i];
            }
        }
        for (std::size_t i = 0; i < square_.size(); ++i) {
            energyBefore_[i + 1] = energyBefore_[i] + square_[i];
        }
    }

    int length() const { return n_; }
    double energy() const { return energyBefore_.back(); }

    // The pairs (i, i + shift).
    Sums shifted(int shift) const {
        const auto s = static_cast<std::size_t>(shift);
        const auto n = static_cast<std::size_t>(n_);
        const double energy = energyBefore_[n - s] + (energyBefore_[n] - energyBefore_[s]);
        return {energy - 2 * correlation_[s], energy, n_ - shift};
    }

    // The pairs (i, j - i) with i < j - i: mirrored about j / 2.
    Sums mirrored(int j) const {
        const int low = std::max(0, j - (n_ - 1));
        const int high = std::min(n_ - 1, j);
        const bool even = j % 2 == 0;
        const double middle = even ? square_[static_cast<std::size_t>(j / 2)] : 0.0;
        const double energy = energyBefore_[static_cast<std::size_t>(high) + 1] -
                              energyBefore_[static_cast<std::size_t>(low)] - middle;
        const double cross = (convolution_[static_cast<std::size_t>(j)] - middle) / 2;
        return {energy - 2 * cross, energy, (high - low + 1 - (even ? 1 : 0)) / 2};
    }

    // The profile taken as a ring, its last bin beside its first: the pairs (i, j - i) mirrored
    // about j / 2 and, across the seam, about (j + n) / 2; every bin is in one pair or two.
    Sums ringMirrored(int j) const {
        const auto at = static_cast<std::size_t>(j);
        const double cross =
            convolution_[at] +
            (j + n_ < 2 * n_ - 1 ? convolution_[at + static_cast<std::size_t>(n_)] : 0);
        return {2 * (energy() - cross), 2 * energy(), n_};
    }

    // How far apart the colours at the two ends are, beside the spread of the profile's colours:
    // next to nothing where the ends lie in one stripe.
    double seamStep() const {
        const int k = std::min(2, n_ / 2);
        double step = 0;
        for (std::size_t c = 0; c < 3; ++c) {
            double first = 0;
            double last = 0;
            for (int i = 0; i < k; ++i) {
                first += values_[static_cast<std::size_t>(i)][c] / k;
                last += values_[static_cast<std::size_t>(n_ - 1 - i)][c] / k;
            }
            step += (first - last) * (first - last);
        }
        return step / (energy() / n_);
    }

private:
    int n_;
    std::vector<std::array<double, 3>> values_;
    std::vector<double> energyBefore_;
    std::vector<double> square_;
    std::vector<double> correlation_;
    std::vector<double> convolution_;
};

struct Hypothesis {
    Repeat kind = Repeat::Symmetric;
    int period = 0;
    int pivot = 0; // in half bins, for a symmetric one
    double unexplained = 1;
    bool ring = false;
    int pairs = 0; // of bins compared: how much the fit rests on
};

// Whether two periods may be one repeat: the same, or one a whole number of times the other, to
// a few bins and a few percent (a picture of nearly two repeats nearly joins into a ring).
bool alikePeriods(int a, int b) {
    const int shorter = std::min(a, b);
    const int longer = std::max(a, b);
    const int times = static_cast<int>(std::lround(static_cast<double>(longer) / shorter));
    return std::abs(longer - times * shorter) <= 2 + 0.04 * longer;
}

double parabolaTop(double left, double middle, double right) {
    const double curve = left - 2 * middle + right;
    return curve > 0 ? std::clamp(0.5 * (left - right) / curve, -0.5, 0.5) : 0.0;
}

std::array<double, 3> colourAt(const Profile& profile, double at) {
    const auto i = static_cast<std::size_t>(std::floor(at));
    const double f = at - std::floor(at);
    const auto& a = profile.colour[i];
    const auto& b = profile.colour[std::min(i + 1, profile.colour.size() - 1)];
    return {a[0] + f * (b[0] - a[0]), a[1] + f * (b[1] - a[1]), a[2] + f * (b[2] - a[2])};
}

// The most that two places a period apart differ, in CIE Lab, each the mean of a window of a
// few bins: where the period lays a stripe on one of another colour. Noise and blur average out
// over a window, and a true repeat leaves little; 0 where the profile is too short to tell.
double mostApart(const Profile& profile, Trusted trusted, int period) {
    const int window = std::max(3, period / 10);
    double most = 0;
    for (int i = trusted.first; i + period + window <= trusted.end; i += std::max(1, window / 2)) {
        Light here{0, 0, 0};
        Light there{0, 0, 0};
        for (int k = 0; k < window; ++k) {
            for (std::size_t c = 0; c < 3; ++c) {
                here[c] += profile.colour[static_cast<std::size_t>(i + k)][c] / window;
                there[c] += profile.colour[static_cast<std::size_t>(i + period + k)][c] / window;
            }
        }
        const auto a = labOfLight(here);
        const auto b = labOfLight(there);
        // Lightness at half weight: light falls unevenly over a photograph, and a repeat's fit
        // weighs stripes that differ in light; it is hue that it weighs too little.
        most = std::max(most, std::hypot((a[0] - b[0]) / 2, a[1] - b[1], a[2] - b[2]));
    }
    return most;
}

double luminance(const std::array<double, 3>& c) {
    return (c[0] + c[1] + c[2]) / 3;
}

} // namespace

Trusted trustedBins(const Profile& profile) {
    const double most = profile.weight.empty()
                            ? 0
                            : *std::max_element(profile.weight.begin(), profile.weight.end());
    Trusted trusted;
    const auto n = static_cast<int>(profile.weight.size());
    while (trusted.first < n &&
           profile.weight[static_cast<std::size_t>(trusted.first)] < most / 2) {
        ++trusted.first;
    }
    trusted.end = n;
    while (trusted.end > trusted.first &&
           profile.weight[static_cast<std::size_t>(trusted.end - 1)] < most / 2) {
        --trusted.end;
    }
    return trusted;
}

std::optional<StripeRepeat> findRepeat(const Profile& profile, Trusted trusted,
                                       const StripeRepeat* like) {
    const int n = trusted.end - trusted.first;
    if (n < 4 * kShortestPeriod) {
        return std::nullopt;
    }
    const PairSums sums(profile, trusted);
    if (!(sums.energy() > 1e-6 * n)) {
        return std::nullopt;
    }
    // Pivots: places about which the profile mirrors as far as it reaches, far enough to count.
    const int leastReach = std::max(4, n / 12);
    std::vector<double> mirror(static_cast<std::size_t>(2 * n - 1), -1.0);
    for (int j = 0; j < 2 * n - 1; ++j) {
        const Sums s = sums.mirrored(j);
        if (s.pairs >= leastReach && s.energy > 0) {
            mirror[static_cast<std::size_t>(j)] = 1 - s.differences / s.energy;
        }
    }
    std::vector<int> pivots;
    for (int j = 0; j < 2 * n - 1; ++j) {
        const double m = mirror[static_cast<std::size_t>(j)];
        bool top = m >= 0.3;
        for (int k = std::max(0, j - 2); top && k <= std::min(2 * n - 2, j + 2); ++k) {
            top = k == j || mirror[static_cast<std::size_t>(k)] < m ||
                  (mirror[static_cast<std::size_t>(k)] == m && k > j);
        }
        if (top) {
            pivots.push_back(j);
        }
    }
    std::vector<Hypothesis> hypotheses;
    for (std::size_t a = 0; a < pivots.size(); ++a) {
        for (std::size_t b = a + 1; b < pivots.size(); ++b) {
            const int period = pivots[b] - pivots[a];
            if (period < kShortestPeriod || n < kWholeRepeat * period) {
                continue;
            }
            double differences = 0;
            double energy = 0;
            int pairs = 0;
            for (int j = pivots[a] % period; j < 2 * n - 1; j += period) {
                const Sums s = sums.mirrored(j);
                differences += s.differences;
                energy += s.energy;
                pairs += s.pairs;
            }
            if (period < n) {
                const Sums s = sums.shifted(period);
                differences += s.differences;
                energy += s.energy;
                pairs += s.pairs;
            }
            if (energy > 0) {
                hypotheses.push_back(
                    {Repeat::Symmetric, period, pivots[a], differences / energy, false, pairs});
            }
        }
    }
    // A picture of whole repeats, as this program draws them, is a seamless ring, and a symmetric
    // repeat of the whole picture mirrors about both its pivots across the seam, though one of
    // them lies on the picture's edges, too near them to be seen as a pivot above.
    Hypothesis ring{Repeat::Symmetric, n, 0, 1, true, n};
    for (int j = 0; j < n; ++j) {
        const Sums s = sums.ringMirrored(j);
        if (s.differences / s.energy < ring.unexplained) {
            ring.pivot = j;
            ring.unexplained = s.differences / s.energy;
        }
    }
    // A photograph whose ends show one stripe, mirrored about a pivot near its middle, joins into
    // a ring as well; a picture drawn of a whole repeat ends between two stripes.
    constexpr double kSeamStep = 0.05;
    if (ring.unexplained <= kRingUnexplained && sums.seamStep() >= kSeamStep) {
        hypotheses.push_back(ring);
    }
    const int leastOverlap = std::max(kShortestPeriod, n / 12);
    std::vector<double> unexplained(static_cast<std::size_t>(n), 1.0);
    for (int period = kShortestPeriod; period <= n - leastOverlap; ++period) {
        const Sums s = sums.shifted(period);
        unexplained[static_cast<std::size_t>(period)] = s.energy > 0 ? s.differences / s.energy : 1;
    }
    for (int period = kShortestPeriod + 1; period < n - leastOverlap; ++period) {
        const auto p = static_cast<std::size_t>(period);
        if (unexplained[p] < unexplained[p - 1] && unexplained[p] <= unexplained[p + 1]) {
            hypotheses.push_back({Repeat::Straight, period, 0, unexplained[p], false, n - period});
        }
    }
    if (hypotheses.empty()) {
        return std::nullopt;
    }
    // Every repeat the profile might have, for the rivals of the one taken.
    const std::vector<Hypothesis> all = hypotheses;
    // The other way's period, to a few percent: its threads may be a little wider or narrower.
    constexpr double kAlikePeriods = 0.04;
    if (like != nullptr) {
        std::erase_if(hypotheses, [like](const Hypothesis& h) {
            return h.kind != like->kind ||
                   std::abs(h.period - like->period) > kAlikePeriods * like->period + 2;
        });
        if (hypotheses.empty()) {
            return std::nullopt;
        }
        const auto best =
            std::ranges::min_element(hypotheses, [](const Hypothesis& a, const Hypothesis& b) {
                return a.unexplained < b.unexplained;
            });
        hypotheses = {*best};
    }
    // A ring that fits as well leaves no room for a shorter repeat that the whole picture is not
    // made of: a picture cut from a cloth of that repeat seldom joins into a ring.
    if (const auto whole = std::ranges::find_if(hypotheses, &Hypothesis::ring);
        whole != hypotheses.end()) {
        // As well: a clean picture's shorter false repeat fits next to perfectly too.
        std::erase_if(hypotheses, [tile = *whole](const Hypothesis& h) {
            return !h.ring && !alikePeriods(h.period, tile.period) &&
                   tile.unexplained <= 2 * h.unexplained + 0.004;
        });
    }
    double least = 1;
    for (const Hypothesis& h : hypotheses) {
        least = std::min(least, h.unexplained);
    }
    if (1 - least < kLeastFit) {
        return std::nullopt;
    }
    // The shortest of those nearly as good as the best: a repeat twice over fits as well.
    const double goodEnough = least + 0.05 + 0.5 * least;
    // Nearly as good is not good enough where the shorter repeat lays a stripe on one of another
    // colour: two stripes alike in light but not in hue (black and red) fit nearly as well as one.
    constexpr double kOtherStripe = 8.5; // CIE Lab, lightness at half weight
    const auto mixesStripes = [&](const Hypothesis& h) {
        return h.unexplained > least && mostApart(profile, trusted, h.period) > kOtherStripe;
    };
    const Hypothesis* chosen = nullptr;
    for (const Hypothesis& h : hypotheses) {
        if (h.unexplained > goodEnough || mixesStripes(h)) {
            continue;
        }
        const bool shorter = chosen == nullptr || h.period < chosen->period - 2;
        const bool asShort = chosen != nullptr && std::abs(h.period - chosen->period) <= 2;
        // Of two of one length, the symmetric unless the straight is clearly better: by a
        // twentieth of the variation, or, where the straight explains nearly all of it (a clean
        // picture), by more than it leaves unexplained itself.
        const auto symmetricAsGood = [](const Hypothesis& symmetric, const Hypothesis& straight) {
            return symmetric.unexplained <=
                   straight.unexplained + std::min(0.05, straight.unexplained + 0.005);
        };
        const bool better =
            asShort && ((h.kind == chosen->kind && h.unexplained < chosen->unexplained) ||
                        (h.kind == Repeat::Symmetric && chosen->kind == Repeat::Straight &&
                         symmetricAsGood(h, *chosen)) ||
                        (h.kind == Repeat::Straight && chosen->kind == Repeat::Symmetric &&
                         !symmetricAsGood(*chosen, h)));
        if (shorter || better) {
            chosen = &h;
        }
    }
    StripeRepeat repeat;
    repeat.kind = chosen->kind;
    repeat.fit = 1 - chosen->unexplained;
    repeat.ring = chosen->ring;
    // A rival that rests on few pairs of bins (a shift that overlaps little, a pivot that
    // reaches little) fits well by chance; a ring not taken fits only as the picture happens to
    // be cut about a pivot of the repeat taken, which fits it clearly better.
    for (const Hypothesis& h : all) {
        if (!alikePeriods(h.period, chosen->period) && 2 * h.pairs >= chosen->pairs && !h.ring) {
            repeat.rivalFit = std::max(repeat.rivalFit, 1 - h.unexplained);
        }
    }
    if (chosen->kind == Repeat::Straight) {
        const auto p = static_cast<std::size_t>(chosen->period);
        repeat.period =
            chosen->period + parabolaTop(unexplained[p - 1], unexplained[p], unexplained[p + 1]);
        repeat.start = trusted.first;
    } else {
        // Each pivot's place to a fraction of a bin, then the line through them.
        double sw = 0;
        double sk = 0;
        double sc = 0;
        double skk = 0;
        double skc = 0;
        const int period = chosen->period;
        const int firstPivot = chosen->pivot % period;
        for (int j = firstPivot; j < 2 * n - 1; j += period) {
            const auto at = static_cast<std::size_t>(j);
            if (mirror[at] < 0 || j == 0 || j == 2 * n - 2 || mirror[at - 1] < 0 ||
                mirror[at + 1] < 0) {
                continue;
            }
            const double c = (j + parabolaTop(-mirror[at - 1], -mirror[at], -mirror[at + 1])) / 2.0;
            const double k = (j - firstPivot) / static_cast<double>(period);
            const double w = sums.mirrored(j).pairs;
            sw += w;
            sk += w * k;
            sc += w * c;
            skk += w * k * k;
            skc += w * k * c;
        }
        const double det = sw * skk - sk * sk;
        const double half = det > 1e-9 ? (sw * skc - sk * sc) / det : period / 2.0;
        const double first = sw > 0 ? (sc - half * sk) / sw : firstPivot / 2.0;
        repeat.period = std::abs(half - period / 2.0) < 2 ? 2 * half : period;
        repeat.start =
            trusted.first + (std::abs(half - period / 2.0) < 2 ? first : firstPivot / 2.0);
    }
    repeat.repeats = n / repeat.period;
    return repeat;
}

Profile evenLight(const Profile& profile, Trusted trusted, const StripeRepeat& repeat) {
    const int n = trusted.end - trusted.first;
    const double middle = trusted.first + n / 2.0;
    auto place = [&](double at) { return (at - middle) / n; };
    // Pairs of places that show the same stripe; their light differs by the slope between them.
    double s11 = 0;
    double s12 = 0;
    double s22 = 0;
    double s1y = 0;
    double s2y = 0;
    auto addPair = [&](double a, double b) {
        if (a < trusted.first || b < trusted.first || a > trusted.end - 1 || b > trusted.end - 1) {
            return;
        }
        const double la = luminance(colourAt(profile, a));
        const double lb = luminance(colourAt(profile, b));
        const double y = std::log(la + 0.003) - std::log(lb + 0.003);
        // Past a stripe's edge the two may not be one stripe at all.
        if (std::abs(y) > 0.25) {
            return;
        }
        const double w = std::min(la, lb);
        const double x1 = place(a) - place(b);
        const double x2 = place(a) * place(a) - place(b) * place(b);
        s11 += w * x1 * x1;
        s12 += w * x1 * x2;
        s22 += w * x2 * x2;
        s1y += w * x1 * y;
        s2y += w * x2 * y;
    };
    for (int i = trusted.first; i < trusted.end; ++i) {
        addPair(i + repeat.period, i);
    }
    if (repeat.kind == Repeat::Symmetric) {
        const double half = repeat.period / 2;
        double pivot = repeat.start - std::floor((repeat.start - trusted.first) / half) * half;
        for (; pivot < trusted.end; pivot += half) {
            for (int t = 1; t < n; ++t) {
                addPair(pivot + t, pivot - t);
            }
        }
    }
    // The curve (corners darker than the middle) only where the pairs tell it from the slope.
    const double ridge = 0.05 * s22 + 1e-9;
    const double det = s11 * (s22 + ridge) - s12 * s12;
    Profile even = profile;
    if (!(s11 > 0) || !(det > 0)) {
        return even;
    }
    const double slope = (s1y * (s22 + ridge) - s12 * s2y) / det;
    const double curve = (s11 * s2y - s12 * s1y) / det;
    for (std::size_t i = 0; i < even.colour.size(); ++i) {
        const double x = place(static_cast<double>(i));
        const double light = std::exp(std::clamp(slope * x + curve * x * x, -1.0, 1.0));
        for (double& c : even.colour[i]) {
            c /= light;
        }
    }
    return even;
}

std::vector<std::array<double, 3>> foldRepeat(const Profile& profile, Trusted trusted,
                                              const StripeRepeat& repeat) {
    const bool symmetric = repeat.kind == Repeat::Symmetric;
    const int samples = symmetric ? static_cast<int>(std::floor(repeat.period / 2)) + 1
                                  : static_cast<int>(std::floor(repeat.period));
    std::vector<std::array<double, 3>> folded(static_cast<std::size_t>(samples), {0, 0, 0});
    std::vector<double> weights(static_cast<std::size_t>(samples), 0.0);
    const double low = trusted.first;
    const double high = trusted.end - 1;
    const double firstStart =
        repeat.start - std::ceil((repeat.start - low) / repeat.period) * repeat.period;
    for (double start = firstStart; start <= high + repeat.period; start += repeat.period) {
        for (int t = 0; t < samples; ++t) {
            const double scale = symmetric ? repeat.period / 2 / (samples - 1) : 1.0;
            for (const double at : {start + t * scale, start - t * scale}) {
                if (at >= low && at <= high) {
                    const auto c = colourAt(profile, at);
                    auto& f = folded[static_cast<std::size_t>(t)];
                    for (std::size_t k = 0; k < 3; ++k) {
                        f[k] += c[k];
                    }
                    weights[static_cast<std::size_t>(t)] += 1;
                }
                if (!symmetric || t == 0) {
                    break;
                }
            }
        }
    }
    for (std::size_t t = 0; t < folded.size(); ++t) {
        if (weights[t] > 0) {
            for (double& c : folded[t]) {
                c /= weights[t];
            }
        }
    }
    return folded;
}

} // namespace loomara::photo
