#pragma once

#include "entry/Designer.h"
#include "palette/PaletteSwatch.h"
#include "sett/Sett.h"
#include "sett/SettText.h"

#include <optional>

namespace loomara {

// What a user does to see a sett woven, as data: the sett to lock stripe by stripe, an optional
// background colour, and how many times to press Brighten (positive) or Darken (negative) before
// weaving.
struct SettEntry {
    Sett sett;
    const PaletteSwatch* background = nullptr;
    int shadeSteps = 0;
};

// Why the window cannot hold a sett: more than its 21 stripe slots, a count wider than its strip,
// a sett wider than its 16-bit sett width, a straight repeat (the window mirrors every sett) or a
// weft of its own; a stripe's place where the sett was written, or 0. Nothing else limits a Sett,
// so this is the one place these limits apply.
std::optional<SettRefusal> beyondTheWindow(const Sett& sett);

// Enters the sett through the designer's own rules, click by click as a user would: for stripe k
// the swatch of its code, its count typed into box k, lock box k; then the background swatch and
// the background box; the shade button shadeSteps times; then WEAVE. The picture is therefore the
// one the window shows after the same clicks. Empty on success, otherwise why the window cannot
// hold the sett, and nothing was clicked.
std::optional<SettRefusal> enterAndWeave(Designer& designer, const SettEntry& entry);

} // namespace loomara
