#include "Bench.h"

#include "photo/Photographer.h"
#include "photo/PictureReading.h"
#include "sett/SettText.h"

#include <QImage>

#include <array>
#include <cstdint>

namespace loomara::bench {

namespace {

// The floor for reading a picture: every pixel looked at once, its three colours summed.
std::array<std::uint64_t, 3> bareLook(const QImage& picture) {
    std::array<std::uint64_t, 3> sums{};
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            sums[0] += static_cast<std::uint64_t>(qRed(row[x]));
            sums[1] += static_cast<std::uint64_t>(qGreen(row[x]));
            sums[2] += static_cast<std::uint64_t>(qBlue(row[x]));
        }
    }
    return sums;
}

} // namespace

void benchPhoto(const Report& report) {
    // A phone's 12-megapixel photograph, 4000 x 3000, of a sett of the lists.
    const Sett sett = readSett(u"B/24 W4 B24 R2 K24 G24 W/2").sett;
    photo::Shot shot;
    shot.pixelsPerThread = 4000.0 / (2.6 * static_cast<double>(threadsPerRepeat(sett)));
    shot.repeatsAcross = 2.6;
    shot.repeatsDown = 3000 / (shot.pixelsPerThread * static_cast<double>(threadsPerRepeat(sett)));
    shot.rotationDegrees = 2.5;
    shot.blur = 0.7;
    shot.light = 0.2;
    shot.cast = {1.06, 1.0, 0.93};
    shot.noise = 2;
    shot.jpegQuality = 85;
    const QImage picture = photo::photograph(sett, shot);

    bool read = false;
    const double readMs = bestMsPerRun(3, 1, [&] { read = readSettFromPicture(picture).ok(); });
    std::array<std::uint64_t, 3> sums{};
    const double bareMs = bestMsPerRun(5, 3, [&] { sums = bareLook(picture); });
    if (!read || sums[0] == 0) {
        report.figure("picture_read_failed", "yes");
    }
    report.figure("picture_size",
                  std::to_string(picture.width()) + "x" + std::to_string(picture.height()));
    report.figure("picture_read_ms", readMs, 1);
    report.figure("picture_bare_look_ms", bareMs, 2);
    report.figure("picture_read_vs_bare", readMs / bareMs, 1);
}

} // namespace loomara::bench
