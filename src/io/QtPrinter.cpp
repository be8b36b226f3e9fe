#include "io/QtPrinter.h"

#include "io/Orientation.h"

#include <QRectF>

namespace loomara {

namespace {

constexpr double kTwipsPerInch = 1440.0;

} // namespace

void QtPrinter::setOrientation(int code) {
    device_.setPageOrientation(code == kLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

std::optional<QString> QtPrinter::missingPrinter() const {
    if (device_.outputFormat() == QPrinter::NativeFormat) {
        if (device_.printerName().isEmpty() || !device_.isValid()) {
            return QStringLiteral("no printer is set up");
        }
        return std::nullopt;
    }
    // Without any printer the toolkit falls back to writing PDF, which needs a file name.
    if (device_.outputFileName().isEmpty()) {
        return QStringLiteral("no printer is set up and no file to print into was chosen");
    }
    return std::nullopt;
}

std::optional<QString> QtPrinter::paintPicture(const QImage& picture, float left, float top,
                                               double width, double height) {
    if (!painter_) {
        if (std::optional<QString> missing = missingPrinter()) {
            return missing;
        }
        painter_.emplace();
        if (!painter_->begin(&device_)) {
            painter_.reset();
            return QStringLiteral("the printer could not begin the page");
        }
        // A print is how a design is judged before weaving: every thread's colour and every
        // one-pixel dash must reach the page, so the picture is never stored as a lossy JPEG.
        painter_->setRenderHint(QPainter::LosslessImageRendering);
    }
    // The painter's origin is the printable area's corner, in device dots.
    const double x = device_.logicalDpiX() / kTwipsPerInch;
    const double y = device_.logicalDpiY() / kTwipsPerInch;
    painter_->drawImage(QRectF(left * x, top * y, width * x, height * y), picture);
    return std::nullopt;
}

std::optional<QString> QtPrinter::endDoc() {
    if (!painter_) {
        return std::nullopt;
    }
    const bool ended = painter_->end();
    painter_.reset();
    if (!ended || device_.printerState() == QPrinter::Error ||
        device_.printerState() == QPrinter::Aborted) {
        return QStringLiteral("the printer reported an error while finishing the page");
    }
    return std::nullopt;
}

} // namespace loomara
