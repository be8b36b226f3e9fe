#include "Bench.h"

#include <QApplication>

#include <array>
#include <cstdio>
#include <string>

namespace loomara::bench {

void Report::figure(std::string_view key, double value, int decimals) const {
    std::printf("%.*s: %.*f\n", static_cast<int>(key.size()), key.data(), decimals, value);
    std::fflush(stdout);
}

void Report::figure(std::string_view key, std::string_view value) const {
    std::printf("%.*s: %.*s\n", static_cast<int>(key.size()), key.data(),
                static_cast<int>(value.size()), value.data());
    std::fflush(stdout);
}

} // namespace loomara::bench

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);

    // Each bench prints its own figures; add a bench by adding a row.
    constexpr std::array<loomara::bench::BenchFunction, 7> kBenches{
        loomara::bench::benchWeave,  loomara::bench::benchWindow,  loomara::bench::benchCloth,
        loomara::bench::benchStudio, loomara::bench::benchGallery, loomara::bench::benchSimilar,
        loomara::bench::benchPhoto,
    };
    const loomara::bench::Report report;
    for (const auto bench : kBenches) {
        bench(report);
    }
    return 0;
}
