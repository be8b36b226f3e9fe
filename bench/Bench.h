#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string_view>
#include <vector>

namespace loomara::bench {

// Prints the figures of a bench run, one per line as `key: value`.
class Report {
public:
    void figure(std::string_view key, double value, int decimals = 3) const;
    void figure(std::string_view key, std::string_view value) const;
};

// The best of several rounds, each timing runsPerRound runs of the work: milliseconds per run.
// The best round is the one least disturbed by the rest of the machine.
template <typename Work> double bestMsPerRun(int rounds, int runsPerRound, Work&& work) {
    using Clock = std::chrono::steady_clock;
    double best = 1e300;
    for (int round = 0; round < rounds; ++round) {
        const auto start = Clock::now();
        for (int i = 0; i < runsPerRound; ++i) {
            work();
        }
        const std::chrono::duration<double, std::milli> took = Clock::now() - start;
        best = std::min(best, took.count() / runsPerRound);
    }
    return best;
}

double median(std::vector<double> values);

// One run of a real program, from starting the process to its first window shown and painted,
// in milliseconds: a probe plugin loaded into it prints that moment and ends the program there.
// Nothing when it did not report.
std::optional<double> startupMs(const QString& binary, const QStringList& arguments = {},
                                const QProcessEnvironment& extra = {});

// A bench adds its figures to the report. main runs every bench of its table in turn.
using BenchFunction = void (*)(const Report&);

// Weaving on the design canvas, against a QPainter baseline drawing the same dashes.
void benchWeave(const Report& report);

// The main window: the real program's start-up, and a WEAVE click until the picture is repainted.
void benchWindow(const Report& report);

// A cloth picture of 2,000 x 2,000 threads, against a bare loop writing as many pixels.
void benchCloth(const Report& report);

// The cloth as it will look, 2,000 x 2,000 threads at 4 pixels a thread, against the cloth's
// drawdown of the same threads at scale 4.
void benchAsWoven(const Report& report);

// One named sett from its text to a woven picture, the weave against a bare loop writing as many
// pixels, and the gallery of every named sett written to disk on every core.
void benchGallery(const Report& report);

// Loomara Studio: its start-up against the designer's, and a keystroke in the sett field until
// the cloth is repainted against weaving the same cloth.
void benchStudio(const Report& report);

// The entries of the lists nearest one sett, and the nearest other entry of every entry.
void benchSimilar(const Report& report);

// A 12-megapixel photograph of cloth read to its sett, against a bare look at every pixel.
void benchPhoto(const Report& report);

} // namespace loomara::bench
