#include "photo/ColourMatch.h"

#include "collection/Collection.h"
#include "collection/Similarity.h"
#include "photo/ClothPlane.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>

namespace loomara::photo {

namespace {

double squaredDistance(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    const double d0 = a[0] - b[0];
    const double d1 = a[1] - b[1];
    const double d2 = a[2] - b[2];
    return d0 * d0 + d1 * d1 + d2 * d2;
}

// Two swatches nearer each other than this (CIE Lab) cannot be told apart in a photograph.
constexpr double kAlike = 2.0;
// A thread's colour read from even a clean picture may be out by this much light (0 to 1, the
// three channels together): what the twill's ripple, the blur of an edge and the split of a
// column between its end and the picks leave. Near black, CIE Lab stretches so little light over
// so many units that such a reading of black may lie nearer the darkest green in Lab, or one of
// navy nearer a dark blue, though no picture can tell those swatches from black or navy.
constexpr double kReadingError = 0.033;

struct Swatches {
    std::vector<std::array<double, 3>> lab;
    std::vector<Light> light;
    std::vector<const PaletteSwatch*> swatch;
    std::vector<int> uses; // stripes of the named setts dyed in it
};

const Swatches& palette() {
    static const Swatches all = [] {
        Swatches s;
        for (const PaletteSwatch& swatch : paletteSwatches()) {
            s.lab.push_back(labOf(swatch.colour()));
            const Rgb c = swatch.colour();
            const std::array<float, 256>& linear = linearLevels();
            s.light.push_back({linear[static_cast<std::size_t>(c.red)],
                               linear[static_cast<std::size_t>(c.green)],
                               linear[static_cast<std::size_t>(c.blue)]});
            s.swatch.push_back(&swatch);
            s.uses.push_back(0);
        }
        for (const ListedEntry& listed : referenceCollection()) {
            for (const SettStripe& stripe : listed.reading.sett.stripes) {
                for (std::size_t i = 0; i < s.swatch.size(); ++i) {
                    if (stripe.code == QLatin1String(s.swatch[i]->code)) {
                        ++s.uses[i];
                    }
                }
            }
        }
        return s;
    }();
    return all;
}

// The colours the named setts of the lists are dyed in, each once.
const std::vector<std::array<double, 3>>& dyes() {
    static const std::vector<std::array<double, 3>> colours = [] {
        std::set<std::int32_t> seen;
        std::vector<std::array<double, 3>> lab;
        for (const ListedEntry& listed : referenceCollection()) {
            for (const SettStripe& stripe : listed.reading.sett.stripes) {
                if (seen.insert(stripe.colour.value()).second) {
                    lab.push_back(labOf(stripe.colour));
                }
            }
        }
        return lab;
    }();
    return colours;
}

double nearestSquared(const std::array<double, 3>& lab,
                      const std::vector<std::array<double, 3>>& among) {
    double best = 1e300;
    for (const auto& other : among) {
        best = std::min(best, squaredDistance(lab, other));
    }
    return best;
}

// How far the colours lie from the dyes with the factors applied, in squared CIE Lab units
// weighted by share, each colour's part capped so that one odd colour cannot pull the rest.
double castCost(const std::vector<Light>& colours, const std::vector<double>& shares,
                const std::array<double, 3>& logGains) {
    constexpr double kCap = 15.0 * 15.0;
    // A cast is believed only as far as the colours ask for it.
    constexpr double kPrior = 400;
    double cost = 0;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        Light c = colours[i];
        for (std::size_t k = 0; k < 3; ++k) {
            c[k] *= std::exp(logGains[k]);
        }
        cost += shares[i] * std::min(kCap, nearestSquared(labOfLight(c), dyes()));
    }
    for (const double g : logGains) {
        cost += kPrior * g * g;
    }
    return cost;
}

} // namespace

std::array<double, 3> labOfLight(const Light& light) {
    return loomara::labOfLight(std::max(light[0], 0.0), std::max(light[1], 0.0),
                               std::max(light[2], 0.0));
}

Light fitCast(const std::vector<Light>& colours, const std::vector<double>& shares) {
    // Colours already near palette colours are taken as they are.
    constexpr double kAlreadyPalette = 2.5 * 2.5;
    double spread = 0;
    double total = 0;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        spread += shares[i] * nearestSquared(labOfLight(colours[i]), palette().lab);
        total += shares[i];
    }
    if (total <= 0 || spread / total <= kAlreadyPalette) {
        return {1, 1, 1};
    }
    std::array<double, 3> logGains{0, 0, 0};
    double cost = castCost(colours, shares, logGains);
    // Steps along each factor and along all three at once (exposure), halved when none helps.
    const std::array<std::array<double, 3>, 4> directions{
        {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}}};
    for (double step = 0.16; step > 0.004;) {
        bool moved = false;
        for (const auto& d : directions) {
            for (const double sign : {1.0, -1.0}) {
                std::array<double, 3> trial = logGains;
                for (std::size_t k = 0; k < 3; ++k) {
                    trial[k] += sign * step * d[k];
                }
                const double c = castCost(colours, shares, trial);
                if (c < cost) {
                    cost = c;
                    logGains = trial;
                    moved = true;
                }
            }
        }
        if (!moved) {
            step /= 2;
        }
    }
    return {std::exp(logGains[0]), std::exp(logGains[1]), std::exp(logGains[2])};
}

double squaredFromDyes(const Light& light) {
    return nearestSquared(labOfLight(light), dyes());
}

double meanSquaredFromDyes(const std::vector<Light>& colours, const std::vector<double>& shares,
                           double leastShare) {
    double sum = 0;
    double whole = 0;
    for (std::size_t i = 0; i < colours.size(); ++i) {
        if (shares[i] >= leastShare) {
            sum += shares[i] * std::min(kFarFromDyes, squaredFromDyes(colours[i]));
            whole += shares[i];
        }
    }
    return whole > 0 ? sum / whole : std::numeric_limits<double>::infinity();
}

const PaletteSwatch& nearestSwatch(const Light& light, bool amongDyes) {
    const std::array<double, 3> lab = labOfLight(light);
    const Swatches& all = palette();
    std::size_t nearestAt = 0;
    double nearest = 1e300;
    for (std::size_t i = 0; i < all.lab.size(); ++i) {
        const double d = squaredDistance(lab, all.lab[i]);
        if (d < nearest) {
            nearest = d;
            nearestAt = i;
        }
    }
    // Of swatches a photograph cannot tell apart, the one weavers dye in most: those about as
    // near as the nearest in Lab and, in a cloth of the dyes when no named sett is dyed in the
    // nearest, those whose light is within what a reading may be out by.
    const double within = std::pow(std::sqrt(nearest) + kAlike, 2);
    const bool undyed = amongDyes && all.uses[nearestAt] == 0;
    std::size_t best = nearestAt;
    int mostUses = -1;
    for (std::size_t i = 0; i < all.lab.size(); ++i) {
        const bool alike =
            squaredDistance(lab, all.lab[i]) <= within ||
            (undyed && squaredDistance(light, all.light[i]) <= kReadingError * kReadingError);
        if (alike && all.uses[i] > mostUses) {
            mostUses = all.uses[i];
            best = i;
        }
    }
    return *all.swatch[best];
}

} // namespace loomara::photo
