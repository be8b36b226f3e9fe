#include "entry/EnterSett.h"

namespace loomara {

std::optional<QString> enterAndWeave(Designer& designer, const SettEntry& entry) {
    int slot = 0;
    for (const WrittenStripe& stripe : entry.stripes) {
        ++slot;
        designer.selectSwatch(stripe.swatch.pictureNumber);
        designer.typeCount(slot, QString::number(stripe.count));
        if (std::optional<QString> refusal = designer.lockStripe(slot)) {
            return refusal;
        }
    }
    if (entry.background != nullptr) {
        designer.selectSwatch(entry.background->pictureNumber);
        designer.takeBackgroundColour();
    }
    for (int step = 0; step < entry.shadeSteps; ++step) {
        designer.brighten();
    }
    for (int step = 0; step > entry.shadeSteps; --step) {
        designer.darken();
    }
    designer.weave();
    return std::nullopt;
}

} // namespace loomara
