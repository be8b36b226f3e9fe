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

Designer::Designer() {
    // Designer is neither copied nor moved, so the rule may keep `this`.
    form.text230.onChange = [this] { applySettWidthRule(design, form.text230); };
}

void Designer::selectSwatch(int pictureNumber) {
    if (const PaletteSwatch* swatch = findSwatch(pictureNumber)) {
        loomara::selectSwatch(*swatch, design, form.text110);
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
    form.text230.setText(text);
}

void Designer::typeNotation(const QString& text) {
    form.text150.setText(text);
}

void Designer::typeColourName(const QString& text) {
    form.text110.setText(text);
}

void Designer::weave() {
    const auto countTexts = form.countTexts();
    const WeaveInputs inputs{design, countTexts, form.text230.text(), form.picture246BackColour};
    loomara::weave(inputs, weaveState, form.picture135);
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
