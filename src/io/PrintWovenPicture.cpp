#include "io/PrintWovenPicture.h"

namespace loomara {

std::optional<QString> printWovenPicture(CommonDialog& cd1, Printer& printer,
                                         const WeaveCanvas& canvas) {
    if (cd1.showPrinter() == DialogResult::Cancelled) {
        return std::nullopt;
    }
    std::optional<QString> problem;
    if (cd1.orientation() == kPortrait) {
        printer.setOrientation(kPortrait);
        const QImage& picture = canvas.image();
        const float width = canvas.width();
        const float height = canvas.height();
        problem = printer.paintPicture(picture, 0.0f, 0.0f, width, height);
    } else {
        printer.setOrientation(kLandscape);
        const QImage& picture = canvas.image();
        const double width = 1.5 * static_cast<double>(canvas.width());
        const double height = 1.5 * static_cast<double>(canvas.height());
        problem = printer.paintPicture(picture, 0.0f, 0.0f, width, height);
    }
    if (!problem) {
        problem = printer.endDoc();
    }
    if (problem) {
        return QStringLiteral("The picture could not be printed: %1.").arg(*problem);
    }
    return std::nullopt;
}

} // namespace loomara
