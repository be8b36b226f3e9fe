#pragma once

#include "io/Printer.h"

#include <QPainter>
#include <QPrinter>

#include <optional>

namespace loomara {

// Prints on a QPrinter that the caller keeps for the whole run, the same one the printer
// dialog configures, so the printer, file and orientation chosen there are the ones used.
class QtPrinter final : public Printer {
public:
    explicit QtPrinter(QPrinter& device) : device_(device) {}

    void setOrientation(int code) override;
    std::optional<QString> paintPicture(const QImage& picture, float left, float top, double width,
                                        double height) override;
    std::optional<QString> endDoc() override;

private:
    std::optional<QString> missingPrinter() const;

    QPrinter& device_;
    std::optional<QPainter> painter_; // engaged while a page is open
};

} // namespace loomara
