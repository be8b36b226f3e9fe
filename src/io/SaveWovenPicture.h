#pragma once

#include "io/CommonDialog.h"
#include "weave/WeaveCanvas.h"

#include <QString>

#include <optional>

namespace loomara {

// File > Save: writes the weave picture as shown (inner size: background colour or picture
// with the threads over it) as a 24-bit bitmap under exactly the name the user gives. A
// cancel or an empty name writes nothing. Empty when there is nothing to tell the user,
// otherwise the message: the file could not be written, and a file already there is
// unchanged.
std::optional<QString> saveWovenPicture(CommonDialog& cd1, const WeaveCanvas& canvas);

} // namespace loomara
