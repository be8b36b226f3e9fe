#pragma once

#include <QImage>

namespace loomara {

// The designer's icon, 32 x 32 pixels in a 16-colour palette: a small green plaid crossed by
// black and yellow lines, in a white frame.
QImage loomaraIcon();

// Loomara Studio's icon, drawn the same way in red crossed by navy and white, so that the two
// programs tell apart in a menu.
QImage studioIcon();

} // namespace loomara
