#pragma once

#include "entry/FormState.h"
#include "model/DesignState.h"

#include <QString>

#include <optional>

namespace loomara {

// The largest count whose bar (10 twips a thread) still fits a 16-bit width.
inline constexpr int kMaxThreadCount = 3276;

// A click on the lock box of slot 1..21: stores the typed count and the current colour in the
// slot, turns the box into a bar docked against its left neighbour (slot 1 at the strip's start),
// adds the stripe to the notation (slot 1 starts it afresh) and writes the sett width, which
// raises the sett-width rule when the text changes.
//
// A count that cannot be locked is refused before anything changes: the result is then the
// message for the user, naming the slot and the reason.
std::optional<QString> lockStripe(int slot, DesignState& design, FormState& form);

} // namespace loomara
