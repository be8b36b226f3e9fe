#include "ui/Wiring.h"

#include "palette/PaletteSwatch.h"
#include "ui/Loomara.h"

namespace loomara {

namespace {

std::vector<Wire> buildWiring() {
    using enum Event;
    std::vector<Wire> wires;
    // The swatches share one handler; the table routes each control to its palette row.
    for (const PaletteSwatch& s : paletteSwatches()) {
        const int picture = s.pictureNumber;
        wires.push_back(
            {s.controlName(), Click, [picture](Loomara& w) { w.selectSwatch(picture); }});
    }
    // Lock box k is Picture(135 + k).
    for (int slot = 1; slot <= DesignState::kSlotCount; ++slot) {
        wires.push_back({QStringLiteral("Picture%1").arg(135 + slot), Click,
                         [slot](Loomara& w) { w.lockStripe(slot); }});
    }
    // The six page buttons, Command3 .. Command8, open pages 1 .. 6.
    for (int page = 1; page <= 6; ++page) {
        wires.push_back({QStringLiteral("Command%1").arg(page + 2), Click,
                         [page](Loomara& w) { w.showReferencePage(page); }});
    }
    const std::vector<Wire> named{
        {"Picture246", Click, &Loomara::takeBackgroundColour},
        {"Text230", Change, &Loomara::settWidthEdited},
        {"WEAVE", Click, &Loomara::weave},
        {"Command1", Click, &Loomara::brighten},
        {"Command2", Click, &Loomara::darken},
        {"Clear", Click, &Loomara::clear},
        {"Open", Click, &Loomara::openBackground},
        {"Save", Click, &Loomara::savePicture},
        {"Print", Click, &Loomara::printPicture},
        {"Exit", Click, &Loomara::exit},
        {"Help", Click, &Loomara::showHelp},
    };
    wires.insert(wires.end(), named.begin(), named.end());
    return wires;
}

} // namespace

const std::vector<Wire>& wiringTable() {
    static const std::vector<Wire> table = buildWiring();
    return table;
}

} // namespace loomara
