#include "support/RecordingPrinter.h"

namespace loomara {

void RecordingPrinter::setOrientation(int code) {
    calls_ << QStringLiteral("Orientation=%1").arg(code);
    orientation_ = code;
}

std::optional<QString> RecordingPrinter::paintPicture(const QImage& picture, float left, float top,
                                                      double width, double height) {
    calls_ << QStringLiteral("PaintPicture");
    if (failPainting) {
        return failPainting;
    }
    paintings_.push_back({picture, orientation_, left, top, width, height});
    pageOpen_ = true;
    return std::nullopt;
}

std::optional<QString> RecordingPrinter::endDoc() {
    calls_ << QStringLiteral("EndDoc");
    if (failEnding) {
        pageOpen_ = false;
        return failEnding;
    }
    if (pageOpen_) {
        ++pagesPrinted_;
        pageOpen_ = false;
    }
    return std::nullopt;
}

} // namespace loomara
