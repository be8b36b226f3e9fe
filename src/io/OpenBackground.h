#pragma once

#include "io/CommonDialog.h"
#include "io/PictureLoader.h"
#include "weave/WeaveCanvas.h"

#include <QString>

#include <optional>

namespace loomara {

// File > Open: the user picks a picture that becomes the weave picture's background, under
// the drawing; a cancel takes the background away. The canvas is not woven again. Empty when
// there is nothing to tell the user, otherwise the message: the file could not be read, and
// the background stayed as it was.
std::optional<QString> openBackground(CommonDialog& cd1, PictureLoader& loader,
                                      WeaveCanvas& canvas);

// "*.bmp", "*.gif", ... for every picture format the toolkit reads, in alphabetical order.
QStringList readablePicturePatterns();

} // namespace loomara
