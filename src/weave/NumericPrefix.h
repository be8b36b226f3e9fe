#pragma once

#include <QString>

namespace loomara {

// The number at the start of a text: leading blanks skipped, an optional sign, digits and an
// optional fraction; whatever follows is ignored. A text without a number reads as 0.
double numericPrefix(const QString& text);

} // namespace loomara
