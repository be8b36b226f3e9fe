#pragma once

#include "io/CommonDialog.h"
#include "io/Printer.h"
#include "weave/WeaveCanvas.h"

#include <QString>

#include <optional>

namespace loomara {

// File > Print: after the printer dialog, one page with the weave picture stretched to the
// canvas's outer size in twips at the printable area's top-left corner (portrait), or to
// one and a half times that size (landscape). A cancel prints nothing. Empty when there is
// nothing to tell the user, otherwise the message: the printer is missing or failed.
std::optional<QString> printWovenPicture(CommonDialog& cd1, Printer& printer,
                                         const WeaveCanvas& canvas);

} // namespace loomara
