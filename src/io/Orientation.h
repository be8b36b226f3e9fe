#pragma once

namespace loomara {

// Page orientation codes, the same in the printer dialog and on the printer.
inline constexpr int kPortrait = 1;
inline constexpr int kLandscape = 2;

} // namespace loomara
