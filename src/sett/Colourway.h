#pragma once

#include "sett/Lab.h"
#include "sett/Sett.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <optional>
#include <variant>

namespace loomara {

// A colourway: the same sett with other colours. Each is a colour function on the Sett value,
// like shading, applied before anything is drawn, so that the cloth, the draft, the yarn plan and
// the nearest search all see the same colours.

// Every thread of one code woven in another palette code instead.
struct Recolouring {
    QString from;
    QString to;

    friend bool operator==(const Recolouring&, const Recolouring&) = default;
};

// "K=NB,R=DR": pairs of codes, as the sett writes them, each with the code it becomes, separated
// by commas; blanks around a code are ignored. Either the pairs or why the text holds none. A code
// given twice is refused, as it could only mean one of the two.
std::variant<QList<Recolouring>, QString> readRecolourings(QStringView text);

// Why the sett cannot be recoloured so (a code it does not weave, or one the palette does not
// have), in one sentence; none when it can.
std::optional<QString> whyNotRecoloured(const Sett& sett, const QList<Recolouring>& recolourings);

// The sett, its weft included, with every stripe of each `from` code in its `to` code and that
// code's colour. The pairs change the sett at once, so that "K=R,R=K" swaps two colours.
Sett recoloured(Sett sett, const QList<Recolouring>& recolourings);

// The codes the sett weaves, each once, in the order its warp and then its weft first write them.
QStringList settCodes(const Sett& sett);

// The whole sett in other shades: each scheme is one transform of a colour's CIE Lab (below).
enum class Scheme { Modern, Lighter, Muted, Faded };
inline constexpr std::array kSchemes{Scheme::Modern, Scheme::Lighter, Scheme::Muted, Scheme::Faded};

// "modern", "lighter", "muted", "faded".
QString schemeName(Scheme scheme);
// The scheme of that name, whatever its case.
std::optional<Scheme> schemeNamed(QStringView name);
// "modern, lighter, muted or faded", for a message.
QString schemeNames();

// How a scheme moves a colour in Lab. The lightness goes the given share of the way to white,
// L' = L + towardWhite (100 - L), so a lighter colour stays lighter. The colour (a, b) comes
// nearer the scheme's grey, keeping `keep` of its distance from it; a colour whose hue is cool
// keeps less, down to `keepCool` at a hue of kCoolestHue degrees (between the greens and the
// blues), as dyes that fade in light lose their greens and blues first.
struct SchemeTransform {
    double towardWhite = 0;
    double keep = 1;
    double keepCool = 1;
    std::array<double, 2> grey{}; // a and b of the colour things fade toward
};
inline constexpr double kCoolestHue = 230;
SchemeTransform schemeTransform(Scheme scheme);

Lab inScheme(const Lab& lab, Scheme scheme);
Rgb inScheme(Rgb colour, Scheme scheme);
// Every stripe of the sett and its weft in the scheme's shade of its colour; the codes stay.
Sett inScheme(Sett sett, Scheme scheme);

} // namespace loomara
