#pragma once

#include "palette/PaletteSwatch.h"
#include "sett/Sett.h"

#include <QList>

#include <algorithm>
#include <random>

namespace loomara::testing {

// What the random setts of a test are like: palette colours, from one stripe to mostStripes,
// each of leastCount to mostCount threads, symmetric or straight.
struct RandomSettShape {
    int mostStripes = 12;
    int leastCount = 1;
    int mostCount = 60;
    // About one stripe in this many takes a colour that two codes of the palette share, so that
    // codes of one colour meet; 0 for none.
    int sharedColourEvery = 0;
};

// The palette's codes whose colour another code has too.
inline QList<PaletteSwatch> twinSwatches() {
    QList<PaletteSwatch> found;
    const auto swatches = paletteSwatches();
    for (const PaletteSwatch& a : swatches) {
        if (std::count_if(swatches.begin(), swatches.end(),
                          [&](const PaletteSwatch& b) { return a.colour() == b.colour(); }) > 1) {
            found.append(a);
        }
    }
    return found;
}

inline Sett randomSett(std::mt19937& random, const RandomSettShape& shape = {}) {
    static const QList<PaletteSwatch> twins = twinSwatches();
    const auto swatches = paletteSwatches();
    const auto pick = [&random](long long least, long long most) {
        return std::uniform_int_distribution<long long>(least, most)(random);
    };
    Sett sett;
    sett.repeat = pick(0, 1) == 0 ? Repeat::Symmetric : Repeat::Straight;
    for (long long i = pick(1, shape.mostStripes); i > 0; --i) {
        const bool twin = shape.sharedColourEvery > 0 && !twins.isEmpty() &&
                          pick(1, shape.sharedColourEvery) == 1;
        const PaletteSwatch& swatch =
            twin ? twins[pick(0, twins.size() - 1)]
                 : swatches[static_cast<std::size_t>(pick(0, std::ssize(swatches) - 1))];
        sett.stripes.append({swatch.codeText(), swatch.colour(),
                             static_cast<int>(pick(shape.leastCount, shape.mostCount))});
    }
    return sett;
}

} // namespace loomara::testing
