#pragma once

#include "entry/FormState.h"
#include "model/DesignState.h"
#include "weave/WeaveState.h"

#include <QString>

#include <optional>

namespace loomara {

// The design being built together with the main window's state and the renderer's state, and
// one entry point per rule. The window calls exactly one of these per event and then refreshes
// its widgets from `form`.
class Designer {
public:
    Designer();
    // Starting from desktop colours read earlier, so that a designer can be made on any thread.
    explicit Designer(const DesktopColours& desktop);
    Designer(const Designer&) = delete;
    Designer& operator=(const Designer&) = delete;

    DesignState design;
    FormState form;
    WeaveState weaveState;

    // A click on a palette swatch, by its picture number (1..134, 157..185).
    void selectSwatch(int pictureNumber);

    // A click on lock box of slot 1..21. Empty on success; on refusal the message for the user,
    // and nothing has changed.
    std::optional<QString> lockStripe(int slot);

    // A click on the background box.
    void takeBackgroundColour();

    // The user's edits of the text boxes (the sett-width box raises its change rule).
    void typeCount(int slot, const QString& text);
    void typeSettWidth(const QString& text);
    void typeNotation(const QString& text);
    void typeColourName(const QString& text);

    void weave();
    void brighten();
    void darken();
    void clear();
};

} // namespace loomara
