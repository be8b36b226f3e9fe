#include "model/SystemColours.h"

#include <QGuiApplication>

namespace loomara {

Rgb systemColour(QPalette::ColorRole role, Rgb fallback) {
    if (QGuiApplication::instance() == nullptr) {
        return fallback;
    }
    const QColor c = QGuiApplication::palette().color(QPalette::Active, role);
    if (!c.isValid()) {
        return fallback;
    }
    return {static_cast<int16>(c.red()), static_cast<int16>(c.green()),
            static_cast<int16>(c.blue())};
}

Rgb windowColour() {
    return systemColour(QPalette::Base, {255, 255, 255});
}

Rgb buttonFaceColour() {
    return systemColour(QPalette::Button, {240, 240, 240});
}

Rgb menuTextColour() {
    return systemColour(QPalette::WindowText, {0, 0, 0});
}

DesktopColours desktopColours() {
    return {windowColour(), buttonFaceColour(), menuTextColour()};
}

} // namespace loomara
