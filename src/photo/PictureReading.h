#pragma once

#include "io/PictureLoader.h"
#include "sett/Sett.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <optional>

namespace loomara {

// What a photograph or a scan of plaid cloth gave: the sett read from it, or one line saying why
// there is none, and what was found on the way.
struct PictureReading {
    std::optional<Sett> sett; // none when refused
    QString refusal;          // why, when refused

    // The width of a thread in the picture as it was read (after any scaling down).
    double pixelsPerThread = 0;
    // The turn that lines the stripes up with the picture's edges, in degrees.
    double rotationDegrees = 0;
    // Threads per inch of the cloth, when the file records its resolution and threads were seen.
    std::optional<double> threadsPerInch;
    // How sure the reading is, 0 to 1, and whether that is too little to trust it without a look.
    double confidence = 0;
    bool unsure = false;
    // Single threads could not be told apart, so the counts keep the stripes' proportions only:
    // even numbers, the narrowest stripe 2 or 4 threads.
    bool countsInProportion = false;
    // How many repeats the picture showed across and down.
    double repeatsAcross = 0;
    double repeatsDown = 0;

    bool ok() const { return sett.has_value(); }
    // One line per note, for the user: threads per inch, pixels per thread, the turn, how sure.
    QStringList notes() const;
};

// Reads the sett of the plaid in the picture. dotsPerInch is the resolution the picture's file
// records, if it records one.
PictureReading readSettFromPicture(const QImage& picture,
                                   std::optional<double> dotsPerInch = std::nullopt);

// Reads the picture file through the loader (with its checks against damaged and half pictures;
// a picture of more than kMostReadPixels pixels is scaled down as it is read), then its sett.
PictureReading readSettFromFile(const QString& fileName, PictureLoader& loader);
PictureReading readSettFromFile(const QString& fileName);

// A picture larger than this is scaled down before it is read: the stripes need no more.
inline constexpr long long kMostReadPixels = 16'000'000;

} // namespace loomara
