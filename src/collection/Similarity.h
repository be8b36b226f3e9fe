#pragma once

#include "collection/Collection.h"
#include "sett/Lab.h"
#include "sett/Sett.h"

#include <QList>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace loomara {

// What a sett's cloth looks like, and nothing else: the colours of one repeat, in CIE Lab, as runs
// of threads. Neighbouring stripes of one colour are one run, and a repeat that repeats itself is
// cut to its shortest period, so that codes of equal colour and a repeat written twice read alike.
// The weft, when the sett has its own, is not part of it.
class ClothProfile {
public:
    ClothProfile() = default;
    explicit ClothProfile(const Sett& sett);

    // A sett without threads has no cloth to compare.
    bool empty() const { return runs_.empty(); }

    struct Run {
        std::array<double, 3> lab{};
        long long threads = 0;
        std::size_t colour = 0; // into colours()
    };
    const std::vector<Run>& runs() const { return runs_; }
    // Each colour of the repeat once.
    const std::vector<std::array<double, 3>>& colours() const { return colours_; }
    long long threads() const { return threads_; }
    // Whether the repeat read backwards is the same ring of runs, as a mirrored sett's is.
    bool sameBackwards() const { return sameBackwards_; }

    // One component of Lab over the repeat: each colour once, in ascending order of the
    // component, with its share of the threads.
    struct Share {
        double value = 0;
        double share = 0;
    };
    const std::vector<Share>& component(int c) const {
        return components_[static_cast<std::size_t>(c)];
    }
    const std::array<double, 3>& meanLab() const { return meanLab_; }

private:
    std::vector<Run> runs_;
    std::vector<std::array<double, 3>> colours_;
    long long threads_ = 0;
    bool sameBackwards_ = false;
    std::array<std::vector<Share>, 3> components_;
    std::array<double, 3> meanLab_{};
};

// The colour difference of two cloths: the CIE 1976 difference between their colours, averaged
// thread by thread over one repeat once both repeats are stretched to one length, laid side by
// side at the start and the direction where they differ least. 0 for the same cloth.
double clothDifference(const ClothProfile& a, const ClothProfile& b);

// 100 for the same cloth, falling by kScorePerDifference for each unit of clothDifference, to 0.
int similarityScore(const ClothProfile& a, const ClothProfile& b);
inline constexpr double kScorePerDifference = 2;

struct Neighbour {
    qsizetype index = -1; // into the profiles searched; -1 when there is none
    int score = 0;
    double difference = 0;
};

// The `count` profiles of `among` nearest the sett that score at least `leastScore`, best first
// (ties in list order); empty profiles and the one at `skip` are left out. The higher the least
// score, the sooner the others fall to a bound.
std::vector<Neighbour> nearestProfiles(const ClothProfile& sett,
                                       std::span<const ClothProfile> among, int count,
                                       qsizetype skip = -1, int leastScore = 0);

// For every profile, the nearest other one if it scores at least `leastScore`, searched on
// `threads` threads.
std::vector<Neighbour> nearestOthers(std::span<const ClothProfile> profiles, int threads,
                                     int leastScore);

// An entry of the reference lists and how like the sett it is.
struct SimilarEntry {
    const ListedEntry* listed = nullptr;
    int score = 0;
};

// The `count` entries of the lists nearest the sett, best first. A search from `from`, an entry of
// referenceCollection(), finds that entry first, at 100: it is the same cloth.
QList<SimilarEntry> entriesNearest(const Sett& sett, int count, const ListedEntry* from = nullptr);

} // namespace loomara
