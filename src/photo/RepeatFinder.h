#pragma once

#include "photo/ClothPlane.h"
#include "sett/Sett.h"

#include <array>
#include <optional>
#include <vector>

namespace loomara::photo {

// How the stripes of a profile repeat: mirrored about pivots, or straight on, every period bins.
struct StripeRepeat {
    Repeat kind = Repeat::Symmetric;
    double period = 0; // bins
    // A pivot of a symmetric repeat, or where a straight one is taken to start (a bin).
    double start = 0;
    // The share of the profile's variation that the repeat explains, 1 for a perfect one.
    double fit = 0;
    // Repeats the profile shows.
    double repeats = 0;
    // The fit of the best repeat of another period that the profile might have instead, 0 when
    // none fits at all.
    double rivalFit = 0;
    // Read from the whole profile as a seamless ring: a picture of exactly one repeat, which
    // might as well be part of a longer one.
    bool ring = false;
};

// The bins of the profile that enough pixels fell into to trust.
struct Trusted {
    int first = 0;
    int end = 0;
};
Trusted trustedBins(const Profile& profile);

// The repeat that best explains the profile's stripes, preferring the shortest and, of two as
// good, a symmetric one; none when nothing repeats over a whole repeat. A profile of exactly one
// symmetric repeat, which joins end to end as a ring, is read as one repeat. Given `like`, only a
// repeat of its kind and about its period is taken: the other way of a plaid repeats alike.
std::optional<StripeRepeat> findRepeat(const Profile& profile, Trusted trusted,
                                       const StripeRepeat* like = nullptr);

// The profile with uneven light taken out: the light that makes the same stripe of two repeats,
// or of the two sides of a pivot, differ, fitted as a smooth slope across the profile.
Profile evenLight(const Profile& profile, Trusted trusted, const StripeRepeat& repeat);

// Every repeat of the profile laid on one: a symmetric repeat from a pivot to the next (period / 2
// + 1 bins), a straight one from its start over a period. Linear light.
std::vector<std::array<double, 3>> foldRepeat(const Profile& profile, Trusted trusted,
                                              const StripeRepeat& repeat);

} // namespace loomara::photo
