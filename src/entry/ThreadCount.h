#pragma once

#include <QStringView>

#include <optional>

namespace loomara {

// A count box's text read as a number: blanks (spaces, tabs) around it, an optional sign,
// digits with an optional fraction after ".", rounded to the nearest integer with halves going
// to the even neighbour. Empty when the text is no such number. Magnitudes far beyond any
// usable count come back as +-kHugeCount, so the caller can still tell the sign.
inline constexpr long long kHugeCount = 1'000'000'000;

std::optional<long long> parseThreadCount(QStringView text);

} // namespace loomara
