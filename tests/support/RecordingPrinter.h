#pragma once

#include "io/Printer.h"

#include <QImage>
#include <QStringList>

#include <optional>
#include <vector>

namespace loomara {

// A printer that keeps what it was asked to do: every call in order ("Orientation=2",
// "PaintPicture", "EndDoc"), each picture with its rectangle in twips, and the pages ended.
// It can be told to fail at painting or at ending the document.
class RecordingPrinter final : public Printer {
public:
    struct Painting {
        QImage picture;
        int orientation; // the printer's orientation when it was drawn
        double left;
        double top;
        double width;
        double height;
    };

    std::optional<QString> failPainting;
    std::optional<QString> failEnding;

    const QStringList& calls() const { return calls_; }
    const std::vector<Painting>& paintings() const { return paintings_; }
    int pagesPrinted() const { return pagesPrinted_; }

    void setOrientation(int code) override;
    std::optional<QString> paintPicture(const QImage& picture, float left, float top, double width,
                                        double height) override;
    std::optional<QString> endDoc() override;

private:
    QStringList calls_;
    std::vector<Painting> paintings_;
    int orientation_ = kPortrait;
    bool pageOpen_ = false;
    int pagesPrinted_ = 0;
};

} // namespace loomara
