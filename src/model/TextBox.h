#pragma once

#include "model/Colour.h"

#include <QString>

#include <functional>
#include <utility>

namespace loomara {

// The state of a single-line text box: its text and back colour. Writing a text raises the
// change callback only when the text really changes, as the real control does; the sett-width
// rule depends on this to stop after its nested run.
class TextBox {
public:
    explicit TextBox(QString designText = {}, Rgb designBackColour = {})
        : text_(std::move(designText)), backColour_(designBackColour) {}

    const QString& text() const { return text_; }
    void setText(const QString& text) {
        if (text == text_) {
            return;
        }
        text_ = text;
        if (onChange) {
            onChange();
        }
    }

    // Back to a design state without raising the change callback (used when the window is
    // re-created from its design).
    void reset(const QString& text, Rgb backColour) {
        text_ = text;
        backColour_ = backColour;
    }

    Rgb backColour() const { return backColour_; }
    void setBackColour(Rgb colour) { backColour_ = colour; }

    std::function<void()> onChange;

private:
    QString text_;
    Rgb backColour_;
};

} // namespace loomara
