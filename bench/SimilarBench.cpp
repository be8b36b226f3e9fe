#include "Bench.h"

#include "collection/Similarity.h"
#include "palette/PaletteSwatch.h"
#include "sett/SettText.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>
#include <vector>

namespace loomara::bench {

namespace {

// As the gallery names a very like entry on a card.
constexpr int kVeryLike = 90;

// A long sett of random colours and counts, the same in every run.
Sett longSett(int stripes) {
    std::mt19937 random(1000);
    const auto swatches = paletteSwatches();
    Sett sett;
    for (int i = 0; i < stripes; ++i) {
        const PaletteSwatch& swatch = swatches[random() % swatches.size()];
        sett.stripes.append(
            {swatch.codeText(), swatch.colour(), 2 + 2 * static_cast<int>(random() % 30)});
    }
    return sett;
}

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

    // A sett far longer than any in the lists, against the short one above.
    const Sett long1000 = longSett(1000);
    const double longMs = bestMsPerRun(3, 1, [&] { found = entriesNearest(long1000, 10).size(); });
    if (found != 10) {
        report.figure("similar_failed", "yes");
    }
    report.figure("similar_long_ms", longMs, 1);
    report.figure("similar_long_vs_short", longMs / queryMs, 1);

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
