#pragma once

#include "model/Colour.h"
#include "model/Int16.h"

#include <QString>
#include <QStringView>

#include <span>

namespace loomara {

// One swatch of the palette: the picture box it is (Picture<pictureNumber>), its colour code
// (case-sensitive), the colour a click sets, its grid place and the colour it displays. A few
// swatches display a slightly different colour from the one they set; a click always sets the
// red, green and blue fields.
struct PaletteSwatch {
    int pictureNumber;
    const char* code;
    int16 red;
    int16 green;
    int16 blue;
    int row;    // 1..4
    int column; // 0..46
    Rgb shownColour;

    Rgb colour() const { return {red, green, blue}; }
    QString codeText() const { return QString::fromLatin1(code); }
    QString controlName() const { return QStringLiteral("Picture%1").arg(pictureNumber); }

    // Geometry in twips: a 255-twip square on a 240-twip grid, so neighbours overlap.
    static constexpr int kSize = 255;
    static constexpr int kPitch = 240;
    int left() const { return 120 + kPitch * column; }
    int top() const { return 120 + kPitch * (row - 1); }
};

// The legend under the base colours: their codes in swatch order, each under its swatch.
inline constexpr const char* kBaseColourLegend =
    "  lr   p    r    o    k   lg   x   g    i    d   lb   q    b   h   n    v   s    y    f    "
    "e   a    t   c    l    w   z    u   m   j";

// The 163 swatches, row by row, left to right.
std::span<const PaletteSwatch> paletteSwatches();

// The swatch that is Picture<pictureNumber>, or null when that picture is no swatch.
const PaletteSwatch* findSwatch(int pictureNumber);

// The swatch of a colour code, matched case-sensitively, or null when no swatch has that code.
const PaletteSwatch* findSwatchByCode(QStringView code);

} // namespace loomara
