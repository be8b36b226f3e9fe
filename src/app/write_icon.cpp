// Writes the window icon as a PNG file for the desktop's menus (run by the build), the designer's
// or, with --studio, Loomara Studio's. Today's menus ask for larger icons than the 32 x 32
// drawing, so it can also be written enlarged: every pixel becomes a square block, which keeps the
// threads crisp where smooth scaling would blur them.

#include "ui/LoomaraIcon.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

constexpr int kLargestSize = 512;

// Plain digits only: a sign, blanks, a leading zero or a base prefix would give one size two
// spellings.
std::optional<int> parseSize(const char* text) {
    const std::size_t length = std::strlen(text);
    if (length == 0 || length > 3 || text[0] == '0' || std::strspn(text, "0123456789") != length) {
        return std::nullopt;
    }
    return std::atoi(text);
}

} // namespace

int main(int argc, char** argv) {
    const bool studio = argc > 1 && std::strcmp(argv[1], "--studio") == 0;
    if (studio) {
        --argc;
        ++argv;
    }
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: loomara-write-icon [--studio] OUTPUT.png [SIZE]\n");
        return 2;
    }
    QImage icon = studio ? loomara::studioIcon() : loomara::loomaraIcon();
    if (argc == 3) {
        const std::optional<int> size = parseSize(argv[2]);
        if (!size || *size < icon.width() || *size > kLargestSize || *size % icon.width() != 0) {
            std::fprintf(stderr, "SIZE must be a multiple of %d from %d to %d, not %s\n",
                         icon.width(), icon.width(), kLargestSize, argv[2]);
            return 2;
        }
        icon = icon.scaled(*size, *size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    if (!icon.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
