#include "ui/LoomaraIcon.h"

#include <array>

namespace loomara {

namespace {

constexpr int kSize = 32;
constexpr int kFrame = 2;

enum Ink : unsigned char { White, Green, DarkGreen, Black, Yellow, InkCount };

// One repeat of the sett, 14 threads, used both ways: green ground, a black band and a yellow
// line. A thread's ground is drawn in two greens by direction so the twill shows.
constexpr std::array<Ink, 14> kSett{Green, Green, Green, Black,  Black, Black, Green,
                                    Green, Green, Green, Yellow, Green, Green, Green};

Ink thread(int position, bool warp) {
    const Ink ink = kSett[static_cast<std::size_t>(position) % kSett.size()];
    return (ink == Green && !warp) ? DarkGreen : ink;
}

} // namespace

QImage loomaraIcon() {
    QImage icon(kSize, kSize, QImage::Format_Indexed8);
    icon.setColorCount(16);
    const std::array<QRgb, InkCount> inks{qRgb(255, 255, 255), qRgb(0, 160, 0), qRgb(0, 96, 0),
                                          qRgb(0, 0, 0), qRgb(255, 255, 0)};
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

} // namespace loomara
