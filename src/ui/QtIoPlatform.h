#pragma once

#include "io/IoPlatform.h"
#include "io/QtPictureLoader.h"
#include "io/QtPrinter.h"
#include "ui/QtCommonDialog.h"

#include <QPrinter>

class QWidget;

namespace loomara {

// The platform pieces behind File > Open, Save and Print, owned by the main window for the
// whole run: Cd1, the picture loader and the printer, which prints on the same QPrinter that
// Cd1's printer dialog sets up.
struct QtIoPlatform {
    explicit QtIoPlatform(QWidget* window) : cd1(window, device) {}

    IoPlatform parts() { return {cd1, loader, printer}; }

    QPrinter device{QPrinter::HighResolution};
    QtCommonDialog cd1;
    QtPictureLoader loader;
    QtPrinter printer{device};
};

} // namespace loomara
