#pragma once

#include "model/Colour.h"

#include <QPalette>

namespace loomara {

// A desktop system colour, read from the application palette; the fallback where there is no
// application (plain rule tests) or no palette.
Rgb systemColour(QPalette::ColorRole role, Rgb fallback);

// The text-box default back colour (window).
Rgb windowColour();

// The picture-box default back colour (button face).
Rgb buttonFaceColour();

// The design back colour of the background box: the desktop's menu-text colour.
Rgb menuTextColour();

// The three desktop colours a fresh main window starts with. The application palette may only be
// read on the thread that owns the application, so work on other threads reads these once there
// and hands them on.
struct DesktopColours {
    Rgb window;
    Rgb buttonFace;
    Rgb menuText;
};
DesktopColours desktopColours();

} // namespace loomara
