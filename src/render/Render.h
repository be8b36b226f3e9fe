#pragma once

#include "cloth/AsWoven.h"
#include "cloth/Weave.h"
#include "formats/PictureFiles.h"
#include "formats/WeavingDraft.h"
#include "model/SystemColours.h"
#include "palette/PaletteSwatch.h"
#include "sett/Sett.h"
#include "sett/SettText.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <optional>

namespace loomara {

// What a file shows of a sett: the designer's woven picture, the cloth's drawdown, the cloth as it
// will look, or the draft a loom is set up from.
enum class Drawing { Designer, Cloth, AsWoven, Draft };
enum class PictureFormat { Bitmap, Png };

// The largest cloth picture drawn, in pixels: while it is written as a bitmap, the picture, its
// 24-bit copy and the file's bytes take about 400 MB.
inline constexpr long long kMostClothPixels = 40'000'000;

struct RenderRequest {
    Sett sett;
    QString title; // the entry's name, or the sett as written; a draft's title
    Drawing drawing = Drawing::Designer;
    PictureFormat format = PictureFormat::Png;
    const PaletteSwatch* background = nullptr; // the designer's picture only
    int shadeSteps = 0;                        // Brighten (positive) or Darken (negative) presses
    int scale = 1;                             // every pixel drawn as a scale x scale block
    int repeats = 1;                           // of the sett each way, cloth and draft
    Weave weave = defaultWeave();              // cloth and draft
    double threadsPerMetre = 0;                // the cloth's threads to the metre, 0 when not known
    ClothLook look;                            // the cloth as it will look only
    DraftCredits credits;
    PngCompression compression = PngCompression::Small;
};

// The file's bytes and, for a picture, the picture they hold at scale 1; or why there is none:
// a refusal when the sett cannot be drawn so, a failure when it could but was not.
struct Rendered {
    QByteArray bytes;
    QImage picture;
    std::optional<SettRefusal> refusal;
    std::optional<QString> failure;

    bool ok() const { return !refusal && !failure; }
};

// What a user may choose of the cloth as it will look; what is not chosen follows from the
// density.
struct LookChoice {
    double endsPerMetre = 0;  // 0 when not given
    double picksPerMetre = 0; // 0 when as the ends
    QString yarnSize;         // a count as yarnWidthMm reads it; empty when not given
    std::optional<Rgb> backing;
    double pixelsPerMm = 0; // 0 when not given
};

// The density taken when none is given: a kilt's cloth, 56 threads to the inch.
inline constexpr double kKiltThreadsPerMetre = 56 / 0.0254;
// Unless told, the picture gives the denser way's threads this many pixels each, enough to show a
// yarn's round and its twist.
inline constexpr double kPixelsPerThread = 6;

// The look chosen, every part given or taken, with a note for the user on each part taken; or why
// the yarn size does not read.
struct ChosenLook {
    ClothLook look;
    QStringList notes;
    std::optional<QString> refusal;
};
ChosenLook chosenLook(const LookChoice& choice, const Weave& weave);

// What every draft this program writes says of who wrote it: the program, its version and an
// address, and the given date.
DraftCredits draftCredits(const QString& date);

// As a weaving draft dates itself: "December 8, 2026", whatever the user's language.
QString draftDate();

// The cloth of the request's sett, repeats and shading as render() draws it before encoding, one
// pixel a crossing (scale 1) and no bytes: for a window that shows the cloth it would write.
Rendered renderClothPicture(const RenderRequest& request);

// The one way from a sett to a file's bytes, for the companion program and the gallery alike.
// The designer's picture is woven by a fresh designer started from the given desktop colours,
// through the same clicks a user makes, so it is the window's picture.
Rendered render(const RenderRequest& request, const DesktopColours& desktop);

} // namespace loomara
