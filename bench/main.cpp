#include "Bench.h"

#include <QApplication>

#include <array>
#include <cstdio>
#include <string>
#include <utility>

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

    // Each bench prints its own figures; add a bench by adding a row. Names given on the command
    // line run only those benches.
    using Bench = std::pair<const char*, loomara::bench::BenchFunction>;
    constexpr std::array<Bench, 8> kBenches{{
        {"weave", loomara::bench::benchWeave},
        {"window", loomara::bench::benchWindow},
        {"cloth", loomara::bench::benchCloth},
        {"as_woven", loomara::bench::benchAsWoven},
        {"studio", loomara::bench::benchStudio},
        {"gallery", loomara::bench::benchGallery},
        {"similar", loomara::bench::benchSimilar},
        {"photo", loomara::bench::benchPhoto},
    }};
    const QStringList wanted = app.arguments().mid(1);
    const loomara::bench::Report report;
    for (const auto& [name, bench] : kBenches) {
        if (wanted.isEmpty() || wanted.contains(QLatin1String(name))) {
            bench(report);
        }
    }
    return 0;
}
