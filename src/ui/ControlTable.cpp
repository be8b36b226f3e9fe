#include "ui/ControlTable.h"

#include "entry/FormState.h"
#include "palette/PaletteSwatch.h"

#include <array>

namespace loomara {

namespace {

using enum ControlKind;

constexpr Rgb kSettWidthBack = FormState::kSettWidthYellow;
constexpr double kStepNumberPoints = 13.5;
constexpr double kSmallSerifPoints = 6.75;

ControlDescription caption(const char* name, int left, int top, int width, int height,
                           const QString& text, Alignment alignment = Alignment::Left) {
    return {.name = QString::fromLatin1(name),
            .kind = CaptionBox,
            .left = left,
            .top = top,
            .width = width,
            .height = height,
            .text = text,
            .back = BackColour::WindowColour,
            .alignment = alignment};
}

// The big numbers 1, 2, 3 that mark the steps of entering a sett.
ControlDescription stepNumber(const char* name, int top, const char* number) {
    return {.name = QString::fromLatin1(name),
            .kind = CaptionBox,
            .left = 11280,
            .top = top,
            .width = 375,
            .height = 375,
            .text = QString::fromLatin1(number),
            .alignment = Alignment::Centre,
            .typeface = Typeface::SansSerif,
            .pointSize = kStepNumberPoints};
}

ControlDescription textBox(const QString& name, int left, int top, int width, int height,
                           const QString& text = {}) {
    return {.name = name,
            .kind = TextBox,
            .left = left,
            .top = top,
            .width = width,
            .height = height,
            .text = text};
}

ControlDescription button(const QString& name, int left, int top, int width, int height,
                          const char* text) {
    return {.name = name,
            .kind = CommandButton,
            .left = left,
            .top = top,
            .width = width,
            .height = height,
            .text = QString::fromLatin1(text),
            .accessibleName = QString::fromLatin1(text)};
}

ControlDescription picture(const QString& name, int left, int top, int width, int height,
                           const QString& accessibleName) {
    return {.name = name,
            .kind = PictureBox,
            .left = left,
            .top = top,
            .width = width,
            .height = height,
            .accessibleName = accessibleName};
}

// The code, then the colour a click sets: for the swatches whose shown colour differs slightly,
// the pointer tells the user which one the stripe will get.
QString swatchToolTip(const PaletteSwatch& s) {
    return QStringLiteral("%1  %2, %3, %4").arg(s.codeText()).arg(s.red).arg(s.green).arg(s.blue);
}

void addPalette(std::vector<ControlDescription>& rows) {
    rows.push_back(caption("Text22", 10080, 600, 1095, 285, QStringLiteral("ALL SHADES")));
    rows.push_back(
        caption("Text23", 120, 960, 2295, 285, QStringLiteral("Loomara Authority BASE COLORS")));
    rows.push_back(
        caption("Text25", 2520, 1080, 6975, 285, QString::fromLatin1(kBaseColourLegend)));
    rows.push_back(stepNumber("Text160", 480, "1"));
    // Swatches come after the captions so that the one-pixel overlap of the legend under the
    // fourth row leaves the swatches whole.
    for (const PaletteSwatch& s : paletteSwatches()) {
        ControlDescription swatch =
            picture(s.controlName(), s.left(), s.top(), PaletteSwatch::kSize, PaletteSwatch::kSize,
                    QStringLiteral("Swatch ") + s.codeText());
        swatch.back = BackColour::Fixed;
        swatch.colour = s.shownColour;
        swatch.toolTip = swatchToolTip(s);
        rows.push_back(swatch);
    }
}

void addCountEntry(std::vector<ControlDescription>& rows) {
    ControlDescription colourName = textBox(QStringLiteral("Text110"), 120, 1440, 855, 285);
    colourName.role = Role::ColourName;
    colourName.accessibleName = QStringLiteral("Current colour");
    rows.push_back(colourName);
    for (int n = 1; n <= DesignState::kSlotCount; ++n) {
        ControlDescription count =
            textBox(QStringLiteral("Text%1").arg(n), 1080 + 480 * (n - 1), 1440, 375, 285, "0");
        count.role = Role::CountBox;
        count.slot = n;
        count.accessibleName = QStringLiteral("Thread count of stripe %1").arg(n);
        rows.push_back(count);
    }
    rows.push_back(caption("Text130", 9720, 1200, 1335, 165, QStringLiteral("THREAD COUNT")));
    rows.push_back(stepNumber("Text170", 1320, "2"));
}

void addNotationAndLockBoxes(std::vector<ControlDescription>& rows) {
    rows.push_back(
        caption("Text140", 0, 1800, 855, 285, QStringLiteral("PATTERN"), Alignment::Centre));
    ControlDescription notation = textBox(QStringLiteral("Text150"), 840, 1800, 10695, 285);
    notation.role = Role::Notation;
    notation.accessibleName = QStringLiteral("Sett notation");
    rows.push_back(notation);
    for (int k = 1; k <= DesignState::kSlotCount; ++k) {
        const LockBox box = FormState::designLockBox(k);
        ControlDescription lock =
            picture(QStringLiteral("Picture%1").arg(135 + k), static_cast<int>(box.left),
                    static_cast<int>(box.top), static_cast<int>(box.width),
                    static_cast<int>(box.height), QStringLiteral("Lock stripe %1").arg(k));
        lock.role = Role::LockBox;
        lock.slot = k;
        rows.push_back(lock);
    }
    rows.push_back(stepNumber("Text180", 2640, "3"));
}

void addWeaveArea(std::vector<ControlDescription>& rows) {
    ControlDescription weavePicture = picture(QStringLiteral("Picture135"), 120, 2640, 10455, 6735,
                                              QStringLiteral("Weave picture"));
    weavePicture.role = Role::WeavePicture;
    rows.push_back(weavePicture);
    rows.push_back(caption("Text220", 10680, 3120, 1095, 255, QStringLiteral("SETT WIDTH")));
    ControlDescription settWidth = textBox(QStringLiteral("Text230"), 10800, 3360, 855, 285, "0");
    settWidth.back = BackColour::Fixed;
    settWidth.colour = kSettWidthBack;
    settWidth.alignment = Alignment::Centre;
    settWidth.role = Role::SettWidth;
    settWidth.accessibleName = QStringLiteral("Sett width");
    rows.push_back(settWidth);
    rows.push_back(button(QStringLiteral("WEAVE"), 10800, 3720, 855, 735, "WEAVE"));
    ControlDescription background = picture(QStringLiteral("Picture246"), 10920, 4560, 615, 615,
                                            QStringLiteral("Background colour"));
    background.back = BackColour::WindowText;
    background.role = Role::Background;
    rows.push_back(background);
    ControlDescription label =
        caption("Text120", 10600, 5160, 1215, 285, QStringLiteral("BACKGROUND"), Alignment::Centre);
    label.typeface = Typeface::Serif;
    label.pointSize = kSmallSerifPoints;
    rows.push_back(label);
    rows.push_back(
        button(QStringLiteral("Command1"), 10800, 5400, 855, 735, "Brighten then reweave"));
    rows.push_back(
        button(QStringLiteral("Command2"), 10800, 6240, 855, 615, "Darken then reweave"));
}

void addReferenceButtons(std::vector<ControlDescription>& rows) {
    rows.push_back(
        caption("Text26", 10800, 6960, 855, 165, QStringLiteral("SEARCH"), Alignment::Centre));
    constexpr std::array kCaptions{"A To Di",    "Do To J", "K to MacO",
                                   "MacP to Sa", "Sc to U", "V to Z"};
    for (int n = 3; n <= 8; ++n) {
        ControlDescription page =
            button(QStringLiteral("Command%1").arg(n), 10680, 7320 + 360 * (n - 3), 975, 255,
                   kCaptions[static_cast<std::size_t>(n - 3)]);
        page.accessibleName = QStringLiteral("Reference page ") + page.text;
        rows.push_back(page);
    }
}

std::vector<ControlDescription> buildTable() {
    std::vector<ControlDescription> rows;
    addPalette(rows);
    addCountEntry(rows);
    addNotationAndLockBoxes(rows);
    addWeaveArea(rows);
    addReferenceButtons(rows);
    return rows;
}

} // namespace

const std::vector<ControlDescription>& mainWindowControls() {
    static const std::vector<ControlDescription> table = buildTable();
    return table;
}

QRect twipsToPixels(const ControlDescription& control) {
    return {twipsToPixels(control.left), twipsToPixels(control.top), twipsToPixels(control.width),
            twipsToPixels(control.height)};
}

} // namespace loomara
