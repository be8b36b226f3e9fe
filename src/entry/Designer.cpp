#include "entry/Designer.h"

#include "entry/Background.h"
#include "entry/Clear.h"
#include "entry/SettWidth.h"
#include "entry/StripeLock.h"
#include "palette/PaletteSwatch.h"
#include "palette/SelectSwatch.h"
#include "palette/Shades.h"
#include "weave/Weave.h"

namespace loomara {

Designer::Designer() : Designer(desktopColours()) {}

Designer::Designer(const DesktopColours& desktop) : form(desktop) {
    // Designer is neither copied nor moved, so the rule may keep `this`.
    form.settWidth.onChange = [this] { applySettWidthRule(design, form.settWidth); };
}

void Designer::selectSwatch(int pictureNumber) {
    if (const PaletteSwatch* swatch = findSwatch(pictureNumber)) {
        loomara::selectSwatch(*swatch, design, form.colourName);
    }
}

std::optional<QString> Designer::lockStripe(int slot) {
    return loomara::lockStripe(slot, design, form);
}

void Designer::takeBackgroundColour() {
    loomara::takeBackgroundColour(design, form);
}

void Designer::typeCount(int slot, const QString& text) {
    form.countBox(slot).setText(text);
}

void Designer::typeSettWidth(const QString& text) {
    form.settWidth.setText(text);
}

void Designer::typeNotation(const QString& text) {
    form.notation.setText(text);
}

void Designer::typeColourName(const QString& text) {
    form.colourName.setText(text);
}

void Designer::weave() {
    const auto countTexts = form.countTexts();
    const WeaveInputs inputs{design, countTexts, form.settWidth.text(), form.backgroundColour};
    loomara::weave(inputs, weaveState, form.weavePicture);
}

void Designer::brighten() {
    loomara::brighten(design);
}

void Designer::darken() {
    loomara::darken(design);
}

void Designer::clear() {
    clearDesign(design, form);
}

} // namespace loomara
