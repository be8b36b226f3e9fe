#pragma once

#include "io/Orientation.h"

#include <QImage>
#include <QString>

#include <optional>

namespace loomara {

// The platform's printer. Positions and sizes are in twips (1440 to the inch) from the
// top-left corner of the page's printable area. Failures come back as the reason for the
// user, e.g. "no printer is set up"; empty means it worked.
class Printer {
public:
    Printer() = default;
    Printer(const Printer&) = delete;
    Printer& operator=(const Printer&) = delete;
    virtual ~Printer() = default;

    // kPortrait or kLandscape; takes effect for a page not yet begun.
    virtual void setOrientation(int code) = 0;

    // Draws the picture stretched into the rectangle, beginning the page if need be.
    virtual std::optional<QString> paintPicture(const QImage& picture, float left, float top,
                                                double width, double height) = 0;

    // Ends the document and hands the page to the printer.
    virtual std::optional<QString> endDoc() = 0;
};

} // namespace loomara
