#include "ui/LoomaraIcon.h"

#include <array>

namespace loomara {

namespace {

constexpr int kSize = 32;
constexpr int kFrame = 2;

// A ground in two shades (the warp's and the weft's, so the twill shows), a band and a line.
enum Ink : unsigned char { White, Ground, DarkGround, Band, Line, InkCount };
using Inks = std::array<QRgb, InkCount>;

// One repeat of the sett, 14 threads, used both ways: the ground, a band of three and a line.
constexpr std::array<Ink, 14> kSett{Ground, Ground, Ground, Band, Band,   Band,   Ground,
                                    Ground, Ground, Ground, Line, Ground, Ground, Ground};

Ink thread(int position, bool warp) {
    const Ink ink = kSett[static_cast<std::size_t>(position) % kSett.size()];
    return (ink == Ground && !warp) ? DarkGround : ink;
}

QImage plaidIcon(const Inks& inks) {
    QImage icon(kSize, kSize, QImage::Format_Indexed8);
    icon.setColorCount(16);
    for (int i = 0; i < 16; ++i) {
        icon.setColor(i, i < InkCount ? inks[static_cast<std::size_t>(i)] : qRgb(255, 255, 255));
    }
    icon.fill(White);
    for (int y = kFrame; y < kSize - kFrame; ++y) {
        for (int x = kFrame; x < kSize - kFrame; ++x) {
            // A 2/2 twill: the warp shows on two of every four pixels along each diagonal.
            const bool warpUp = (x + y) % 4 < 2;
            const Ink ink = warpUp ? thread(x - kFrame, true) : thread(y - kFrame, false);
            icon.setPixel(x, y, ink);
        }
    }
    return icon;
}

} // namespace

QImage loomaraIcon() {
    return plaidIcon(
        {qRgb(255, 255, 255), qRgb(0, 160, 0), qRgb(0, 96, 0), qRgb(0, 0, 0), qRgb(255, 255, 0)});
}

QImage studioIcon() {
    return plaidIcon({qRgb(255, 255, 255), qRgb(200, 16, 16), qRgb(136, 0, 0), qRgb(16, 32, 96),
                      qRgb(255, 255, 255)});
}

} // namespace loomara
