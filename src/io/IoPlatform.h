#pragma once

#include "io/CommonDialog.h"
#include "io/PictureLoader.h"
#include "io/Printer.h"

namespace loomara {

// The platform pieces that File > Open, Save and Print work through: Cd1, the picture loader
// and the printer. Whoever hands them to the main window keeps them alive as long as it.
struct IoPlatform {
    CommonDialog& cd1;
    PictureLoader& loader;
    Printer& printer;
};

} // namespace loomara
