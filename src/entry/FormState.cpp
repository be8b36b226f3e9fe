#include "entry/FormState.h"

#include <cassert>

namespace loomara {

namespace {

std::size_t slotIndex(int k) {
    assert(k >= 1 && k <= DesignState::kSlotCount);
    return static_cast<std::size_t>(k - 1);
}

} // namespace

FormState::FormState() : FormState(desktopColours()) {}

FormState::FormState(const DesktopColours& desktop)
    : weavePicture(desktop.buttonFace), textBoxColour_(desktop.window),
      pictureBoxColour_(desktop.buttonFace), backgroundDesignColour_(desktop.menuText) {
    resetToDesign();
}

TextBox& FormState::countBox(int k) {
    return countBoxes[slotIndex(k)];
}

const TextBox& FormState::countBox(int k) const {
    return countBoxes[slotIndex(k)];
}

LockBox& FormState::lockBox(int k) {
    return lockBoxes[slotIndex(k)];
}

const LockBox& FormState::lockBox(int k) const {
    return lockBoxes[slotIndex(k)];
}

LockBox FormState::designLockBox(int k) {
    // The strip was laid out by hand: slot 18 sits 30 twips left of the 300-twip pitch.
    const float left = k == 18 ? 10470.0f : 5400.0f + 300.0f * static_cast<float>(k - 1);
    return LockBox{left, 2160.0f, 255.0f, 375.0f, std::nullopt, true};
}

std::array<QString, DesignState::kSlotCount> FormState::countTexts() const {
    std::array<QString, DesignState::kSlotCount> texts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        texts[i] = countBoxes[i].text();
    }
    return texts;
}

void FormState::resetToDesign() {
    const QString zero = QStringLiteral("0");
    for (int k = 1; k <= DesignState::kSlotCount; ++k) {
        countBox(k).reset(zero, textBoxColour_);
        lockBox(k) = designLockBox(k);
    }
    notation.reset({}, textBoxColour_);
    settWidth.reset(zero, kSettWidthYellow);
    colourName.reset({}, textBoxColour_);
    backgroundColour = backgroundDesignColour_;
    weavePicture.reset(pictureBoxColour_);
}

} // namespace loomara
