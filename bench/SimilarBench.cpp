#include "Bench.h"

#include "collection/Similarity.h"
#include "sett/SettText.h"

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace loomara::bench {

namespace {

// As the gallery names a very like entry on a card.
constexpr int kVeryLike = 90;

} // namespace

void benchSimilar(const Report& report) {
    const Sett sett = readSett(u"K/4 R24 K24 Y/4").sett;
    // The lists are read once per run, before any question is asked of them.
    const auto start = std::chrono::steady_clock::now();
    referenceCollection();
    entriesNearest(sett, 1);
    const std::chrono::duration<double, std::milli> reading =
        std::chrono::steady_clock::now() - start;
    report.figure("similar_lists_read_ms", reading.count(), 1);

    qsizetype found = 0;
    const double queryMs = bestMsPerRun(5, 10, [&] { found = entriesNearest(sett, 10).size(); });
    if (found != 10) {
        report.figure("similar_failed", "yes");
    }
    report.figure("similar_ms", queryMs, 2);

    std::vector<ClothProfile> profiles;
    for (const ListedEntry& listed : referenceCollection()) {
        profiles.push_back(listed.reading.ok() ? ClothProfile(listed.reading.sett)
                                               : ClothProfile());
    }
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const double allMs = bestMsPerRun(3, 1, [&] { nearestOthers(profiles, cores, kVeryLike); });
    report.figure("similar_all_very_like_ms", allMs, 1);
}

} // namespace loomara::bench
