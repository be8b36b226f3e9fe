#pragma once

#include <QFont>

namespace loomara {

// The secondary pages are designed in "MS Sans Serif"; the desktop's general sans-serif font
// stands in for it at the designed point size.
QFont pageFont(double pointSize);

} // namespace loomara
