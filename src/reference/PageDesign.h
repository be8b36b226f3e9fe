#pragma once

#include <QString>

#include <string_view>

namespace loomara::reference {

// Window geometry of the secondary pages is designed in twips (see model/Twips.h), measured from
// the top-left corner of the client area; every value is a whole number of pixels.
struct TwipSize {
    int width = 0;
    int height = 0;
};

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The point size of a window's own font ("MS Sans Serif" at its default size), which every box
// without a font of its own uses.
inline constexpr double kFormDefaultPointSize = 8.25;

// The page texts and names are plain ASCII tables; Latin-1 maps each byte to one character.
inline QString toQString(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace loomara::reference
