#pragma once

#include "sett/Sett.h"

#include <QString>

namespace loomara {

// What the yarn table's heading calls the sett it counts: a written sett as written, on one line;
// an entry of the lists by its name and its sett, as one name may stand for several; and the
// weft's own sett after a semicolon.
QString yarnTitle(const QString& written, const Sett& sett, bool named);

} // namespace loomara
