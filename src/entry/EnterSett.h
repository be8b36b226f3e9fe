#pragma once

#include "entry/Designer.h"
#include "entry/SettText.h"
#include "palette/PaletteSwatch.h"

#include <QList>
#include <QString>

#include <optional>

namespace loomara {

// What a user does to see a written sett woven, as data: the stripes to lock in order, an
// optional background colour, and how many times to press Brighten (positive) or Darken
// (negative) before weaving.
struct SettEntry {
    QList<WrittenStripe> stripes;
    const PaletteSwatch* background = nullptr;
    int shadeSteps = 0;
};

// Enters the sett through the designer's own rules, click by click as a user would: for stripe k
// the swatch of its code, its count typed into box k, lock box k; then the background swatch and
// the background box; the shade button shadeSteps times; then WEAVE. The picture is therefore the
// one the window shows after the same clicks. Empty on success, otherwise the designer's refusal
// of a lock, and nothing was woven.
std::optional<QString> enterAndWeave(Designer& designer, const SettEntry& entry);

} // namespace loomara
