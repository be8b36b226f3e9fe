#include "photo/TwillPitch.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

namespace loomara::photo {
namespace {

// A column's mean holds half its end's colour; which picks pass under it turns with the twill,
// adding a ripple of four threads: a constant, and a share of the end's own colour. Stripes of
// two to sixteen threads, dark ones among them, as the clean pictures' are.
TEST(TwillRipple, IsTakenOutOfNarrowAndDarkStripesAlike) {
    for (int seed = 0; seed < 6; ++seed) {
        std::mt19937_64 random(static_cast<std::uint64_t>(seed));
        std::uniform_real_distribution<double> level(0.0, 1.0);
        const double threadWidth = std::uniform_real_distribution<double>(3, 5)(random);
        struct Stripe {
            int from = 0;
            int end = 0;
            std::array<double, 3> colour{};
        };
        std::vector<Stripe> stripes;
        for (int at = 0; at < 600;) {
            const int threads = 2 * std::uniform_int_distribution<int>(1, 8)(random);
            const int end = at + static_cast<int>(std::lround(threads * threadWidth));
            const double dark = stripes.size() % 3 == 0 ? 0.02 : 1.0;
            stripes.push_back({at, end, {dark * level(random), dark * level(random), dark * 0.5}});
            at = end;
        }
        Profile profile;
        for (const Stripe& s : stripes) {
            for (int i = s.from; i < s.end; ++i) {
                const double phase = 2 * std::numbers::pi * i / (4 * threadWidth);
                std::array<double, 3> c{};
                for (std::size_t k = 0; k < 3; ++k) {
                    c[k] = 0.5 * s.colour[k] * (1 + 0.02 * std::cos(phase)) +
                           0.01 * std::sin(phase + static_cast<double>(k));
                }
                profile.colour.push_back(c);
                profile.weight.push_back(1);
            }
        }
        // The root mean square of what the profile misses of half each stripe's colour, away
        // from the edges, where the ripple's fit does not reach.
        const auto missed = [&] {
            double squares = 0;
            int count = 0;
            const int margin = static_cast<int>(std::ceil(threadWidth));
            for (const Stripe& s : stripes) {
                for (int i = s.from + margin; i < s.end - margin; ++i) {
                    for (std::size_t k = 0; k < 3; ++k) {
                        const double miss =
                            profile.colour[static_cast<std::size_t>(i)][k] - 0.5 * s.colour[k];
                        squares += miss * miss;
                        ++count;
                    }
                }
            }
            return std::sqrt(squares / std::max(1, count));
        };
        const double before = missed();
        removeTwillRipple(profile, 0, static_cast<int>(profile.colour.size()), threadWidth);
        EXPECT_LT(missed(), before / 3)
            << "seed " << seed << ", threads " << threadWidth << " bins";
    }
}

} // namespace
} // namespace loomara::photo
