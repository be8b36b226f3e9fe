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
            {s.controlName(), Click, [picture](Loomara& w) { w.Swatch_Click(picture); }});
    }
    const std::vector<Wire> named{
        {"Picture136", Click, &Loomara::Picture136_Click},
        {"Picture137", Click, &Loomara::Picture137_Click},
        {"Picture138", Click, &Loomara::Picture138_Click},
        {"Picture139", Click, &Loomara::Picture139_Click},
        {"Picture140", Click, &Loomara::Picture140_Click},
        {"Picture141", Click, &Loomara::Picture141_Click},
        {"Picture142", Click, &Loomara::Picture142_Click},
        {"Picture143", Click, &Loomara::Picture143_Click},
        {"Picture144", Click, &Loomara::Picture144_Click},
        {"Picture145", Click, &Loomara::Picture145_Click},
        {"Picture146", Click, &Loomara::Picture146_Click},
        {"Picture147", Click, &Loomara::Picture147_Click},
        {"Picture148", Click, &Loomara::Picture148_Click},
        {"Picture149", Click, &Loomara::Picture149_Click},
        {"Picture150", Click, &Loomara::Picture150_Click},
        {"Picture151", Click, &Loomara::Picture151_Click},
        {"Picture152", Click, &Loomara::Picture152_Click},
        {"Picture153", Click, &Loomara::Picture153_Click},
        {"Picture154", Click, &Loomara::Picture154_Click},
        {"Picture155", Click, &Loomara::Picture155_Click},
        {"Picture156", Click, &Loomara::Picture156_Click},
        {"Picture246", Click, &Loomara::Picture246_Click},
        {"Text230", Change, &Loomara::Text230_Change},
        {"WEAVE", Click, &Loomara::WEAVE_Click},
        {"Command1", Click, &Loomara::Command1_Click},
        {"Command2", Click, &Loomara::Command2_Click},
        {"Command3", Click, &Loomara::Command3_Click},
        {"Command4", Click, &Loomara::Command4_Click},
        {"Command5", Click, &Loomara::Command5_Click},
        {"Command6", Click, &Loomara::Command6_Click},
        {"Command7", Click, &Loomara::Command7_Click},
        {"Command8", Click, &Loomara::Command8_Click},
        {"Clear", Click, &Loomara::Clear_Click},
        {"Open", Click, &Loomara::Open_Click},
        {"Save", Click, &Loomara::Save_Click},
        {"Print", Click, &Loomara::Print_Click},
        {"Exit", Click, &Loomara::Exit_Click},
        {"Help", Click, &Loomara::Help_Click},
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
