#pragma once

#include <QImage>

namespace loomara {

// The window icon, 32 x 32 pixels in a 16-colour palette: a small green plaid crossed by black
// and yellow lines, in a white frame.
QImage loomaraIcon();

} // namespace loomara
