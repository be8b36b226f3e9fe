#pragma once

#include "sett/Sett.h"

#include <QImage>

namespace loomara {

// A small square picture of the sett's cloth, `side` pixels each way: the cloth one pixel a
// crossing when its repeat is small, otherwise the first four sides' worth of threads shrunk to
// fit. Null when the sett cannot be woven.
QImage clothThumbnail(const Sett& sett, int side);

} // namespace loomara
