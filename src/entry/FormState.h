#pragma once

#include "model/Colour.h"
#include "model/DesignState.h"
#include "model/SystemColours.h"
#include "model/TextBox.h"
#include "weave/WeaveCanvas.h"

#include <array>
#include <optional>

namespace loomara {

// A lock box of the strip: position and size in twips (single precision), its back colour
// (empty: the design colour, the button face) and whether it still has its border.
struct LockBox {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    std::optional<Rgb> backColour;
    bool bordered = true;

    friend bool operator==(const LockBox&, const LockBox&) = default;
};

// The main window's state-carrying controls as plain data, each starting at its design value.
struct FormState {
    static constexpr Rgb kSettWidthYellow{255, 255, 128};
    static constexpr Rgb kSettWidthGreen{50, 250, 50};

    FormState();
    explicit FormState(const DesktopColours& desktop);

    // The count box and the lock box of slot k = 1..21.
    TextBox& countBox(int k);
    const TextBox& countBox(int k) const;
    LockBox& lockBox(int k);
    const LockBox& lockBox(int k) const;
    static LockBox designLockBox(int k);

    // The texts of the 21 count boxes, in slot order, as the weave reads them.
    std::array<QString, DesignState::kSlotCount> countTexts() const;

    // Every control back to its design state, in place. Change callbacks stay installed and do
    // not run.
    void resetToDesign();

    std::array<TextBox, DesignState::kSlotCount> countBoxes;
    std::array<LockBox, DesignState::kSlotCount> lockBoxes;
    TextBox notation;
    TextBox settWidth;
    TextBox colourName; // "Color " and the current code
    Rgb backgroundColour;
    WeaveCanvas weavePicture;

private:
    // The desktop colours of the design, read once when the form is made so that a Clear
    // restores exactly what the window started with.
    Rgb textBoxColour_;
    Rgb pictureBoxColour_;
    Rgb backgroundDesignColour_;
};

} // namespace loomara
