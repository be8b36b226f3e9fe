#pragma once

#include "model/Colour.h"
#include "model/Twips.h"

#include <QRect>
#include <QString>

#include <vector>

namespace loomara {

// The main window as designed: one row per control, geometry in twips from the top-left corner
// of the client area. The window is built from this table and nothing else.
inline constexpr int kClientWidthTwips = 11775;
inline constexpr int kClientHeightTwips = 9570;

enum class ControlKind {
    PictureBox,    // a clickable rectangle with a back colour
    TextBox,       // single-line text the user may edit
    CaptionBox,    // a text box that only shows its design text: frameless, read-only
    CommandButton, // caption, click
};

enum class BackColour {
    Default,      // the toolkit's default for the kind: button face (pictures), base (text)
    WindowColour, // the window's own background, so that captions read as labels
    WindowText,   // the desktop's text colour
    Fixed,        // the row's colour
};

enum class Alignment { Left, Centre };

enum class Typeface {
    Default,   // the window's font
    SansSerif, // stands in for "MS Sans Serif"
    Serif,     // stands in for "MS Serif"
};

// What a control is to the window, for the controls that show state; the rest only show their
// design text and colour, or are routed by the wiring table.
enum class Role {
    None,
    CountBox,     // the thread count of the row's slot
    LockBox,      // the lock box of the row's slot
    ColourName,   // "Color " and the current code
    Notation,     // the sett as entered
    SettWidth,    // the total thread count
    WeavePicture, // the woven picture
    Background,   // the weave background colour
};

struct ControlDescription {
    QString name;
    ControlKind kind;
    int left;
    int top;
    int width;
    int height;
    QString text = {};
    BackColour back = BackColour::Default;
    Rgb colour = {};
    Alignment alignment = Alignment::Left;
    Typeface typeface = Typeface::Default;
    double pointSize = 0; // 0: the window's size
    bool bordered = true; // picture boxes only
    Role role = Role::None;
    int slot = 0; // count and lock boxes: 1..21
    // What screen readers and UI-automation tools call the control; empty for the caption boxes,
    // whose text already says what they are.
    QString accessibleName = {};
    QString toolTip = {}; // swatches only: the code and the colour a click sets
};

// Every control of the window, in creation order (which is also the keyboard focus order).
const std::vector<ControlDescription>& mainWindowControls();

// Twips to pixels: each coordinate rounded on its own.
QRect twipsToPixels(const ControlDescription& control);

} // namespace loomara
