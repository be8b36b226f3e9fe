#include "reference/HelpContent.h"

#include <QColor>

namespace loomara::reference {

namespace {

// The icon as a pixel map: one character per pixel, each naming a colour of the table below.
constexpr std::array<std::string_view, 32> kIconRows{{
    "................................", "..GGGGGGGGGGGGGGGGGGGGGGGGGGGG..",
    "..GggggggggggggggggggggggggggG..", "..GggggggggggggggggggggggggggGk.",
    "..GgggwwwwwwwwwwwwwwwwwwwwgggGk.", "..GgggwwwwwwwwwwwwwwwwwwwwgggGk.",
    "..GgggwwwwwwwwwwwwwwwwwwwwgggGk.", "..GgggwwwwwwbbbbbbbbwwwwwwgggGk.",
    "..GgggwwwwbbbbbbbbbbbbwwwwgggGk.", "..GgggwwwbbbbnnnnnnbbbbwwwgggGk.",
    "..GgggwwbbbbnwwwwwwbbbbnwwgggGk.", "..GgggwwbbbbnwwwwwwbbbbnwwgggGk.",
    "..GgggwwwnnnwwwwwwwbbbbnwwgggGk.", "..GgggwwwwwwwwwwwwbbbbbnwwgggGk.",
    "..GgggwwwwwwwwwwbbbbbbnwwwgggGk.", "..GgggwwwwwwwwwbbbbbnnwwwwgggGk.",
    "..GgggwwwwwwwwbbbbbnwwwwwwgggGk.", "..GgggwwwwwwwwbbbbnwwwwwwwgggGk.",
    "..GgggwwwwwwwwbbbbnwwwwwwwgggGk.", "..GgggwwwwwwwwwnnnnwwwwwwwgggGk.",
    "..GgggwwwwwwwwwwwwwwwwwwwwgggGk.", "..GgggwwwwwwwwbbbbwwwwwwwwgggGk.",
    "..GgggwwwwwwwwbbbbnwwwwwwwgggGk.", "..GgggwwwwwwwwbbbbnwwwwwwwgggGk.",
    "..GgggwwwwwwwwwnnnnwwwwwwwgggGk.", "..GgggwwwwwwwwwwwwwwwwwwwwgggGk.",
    "..GgggwwwwwwwwwwwwwwwwwwwwgggGk.", "..GgggwwwwwwwwwwwwwwwwwwwwgggGk.",
    "..GggggggggggggggggggggggggggGk.", "..GggggggggggggggggggggggggggGk.",
    "..GGGGGGGGGGGGGGGGGGGGGGGGGGGGk.", "....kkkkkkkkkkkkkkkkkkkkkkkkkkk.",
}};

struct IconColour {
    char key;
    QRgb argb;
};

constexpr std::array<IconColour, 7> kIconColours{{
    {'.', 0x00000000},
    {'k', 0xff000000},
    {'G', 0xff008000},
    {'g', 0xffc0ffc0},
    {'w', 0xffffffff},
    {'b', 0xff0000ff},
    {'n', 0xff000080},
}};

QRgb iconColour(char key) {
    for (const IconColour& colour : kIconColours) {
        if (colour.key == key) {
            return colour.argb;
        }
    }
    return 0;
}

} // namespace

QImage helpIcon() {
    QImage icon(32, 32, QImage::Format_ARGB32);
    for (std::size_t y = 0; y < kIconRows.size(); ++y) {
        const std::string_view row = kIconRows[y];
        for (std::size_t x = 0; x < row.size(); ++x) {
            icon.setPixel(static_cast<int>(x), static_cast<int>(y), iconColour(row[x]));
        }
    }
    return icon;
}

} // namespace loomara::reference
