#include "Bench.h"

#include "cloth/AsWoven.h"
#include "cloth/Cloth.h"
#include "cloth/YarnSize.h"
#include "formats/ScaledPicture.h"
#include "sett/SettText.h"

#include <QImage>

#include <cstdint>
#include <vector>

namespace loomara::bench {

namespace {

constexpr int kThreads = 2000;

// The floor for a cloth picture: every pixel written once, from one of two colours per row, with
// nothing to work out per pixel beyond the choice.
void bareFillWrite(std::vector<std::uint32_t>& pixels, const std::vector<std::uint32_t>& warp,
                   const std::vector<std::uint32_t>& weft) {
    for (std::size_t y = 0; y < weft.size(); ++y) {
        std::uint32_t* row = pixels.data() + y * warp.size();
        for (std::size_t x = 0; x < warp.size(); ++x) {
            row[x] = (x ^ y) & 2 ? weft[y] : warp[x];
        }
    }
}

// A sett of the lists, repeated to at least 2,000 threads each way and cut there.
ClothThreads benchThreads() {
    const Sett sett = readSett(u"B/24 W4 B24 R2 K24 G24 W/2").sett;
    ClothThreads threads = clothThreads(sett, 20, 0).threads;
    threads.cut(kThreads, kThreads);
    return threads;
}

} // namespace

void benchCloth(const Report& report) {
    const ClothThreads threads = benchThreads();

    QImage picture;
    const double clothMs = bestMsPerRun(5, 3, [&] { picture = clothPicture(threads); });
    std::vector<std::uint32_t> warp;
    std::vector<std::uint32_t> weft;
    for (const Rgb& c : threads.warp) {
        warp.push_back(qRgb(c.red, c.green, c.blue));
    }
    for (const Rgb& c : threads.weft) {
        weft.push_back(qRgb(c.red, c.green, c.blue));
    }
    std::vector<std::uint32_t> pixels(warp.size() * weft.size());
    const double bareMs = bestMsPerRun(5, 3, [&] { bareFillWrite(pixels, warp, weft); });
    report.figure("cloth_size",
                  std::to_string(picture.width()) + "x" + std::to_string(picture.height()));
    report.figure("cloth_ms", clothMs, 2);
    report.figure("cloth_bare_fill_write_ms", bareMs, 2);
    report.figure("cloth_vs_bare", clothMs / bareMs, 2);
}

void benchAsWoven(const Report& report) {
    const ClothThreads threads = benchThreads();
    constexpr int kPixelsPerThread = 4;
    ClothLook look;
    look.endsPerMm = 56 / 25.4;
    look.picksPerMm = look.endsPerMm;
    look.pixelsPerMm = kPixelsPerThread * look.endsPerMm;
    look.warpWidthMm = firmYarnWidthMm(look.endsPerMm, threads.weave);
    look.weftWidthMm = look.warpWidthMm;
    QImage asWoven;
    const double asWovenMs = bestMsPerRun(3, 1, [&] { asWoven = asWovenPicture(threads, look); });
    QImage cloth;
    const double clothMs =
        bestMsPerRun(3, 1, [&] { cloth = scaledPicture(clothPicture(threads), kPixelsPerThread); });
    // The floor both stand on: a fresh picture of that size, every pixel written once.
    const double freshMs = bestMsPerRun(3, 1, [&] {
        cloth = QImage(asWoven.size(), QImage::Format_RGB32);
        cloth.fill(Qt::white);
    });
    report.figure("as_woven_size",
                  std::to_string(asWoven.width()) + "x" + std::to_string(asWoven.height()));
    report.figure("as_woven_ms", asWovenMs, 1);
    report.figure("as_woven_cloth_at_scale_4_ms", clothMs, 1);
    report.figure("as_woven_fresh_picture_ms", freshMs, 1);
    report.figure("as_woven_vs_cloth", asWovenMs / clothMs, 2);
}

} // namespace loomara::bench
