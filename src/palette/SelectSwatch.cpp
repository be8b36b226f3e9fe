#include "palette/SelectSwatch.h"

namespace loomara {

void selectSwatch(const PaletteSwatch& swatch, DesignState& design, TextBox& colourName) {
    design.setCurrentColour(swatch.red, swatch.green, swatch.blue, swatch.codeText());
    colourName.setText(QStringLiteral("Color ") + design.currentCode);
}

} // namespace loomara
