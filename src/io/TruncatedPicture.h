#pragma once

#include <QIODevice>

namespace loomara {

// What the structure of a BMP, JPEG or GIF file tells before the toolkit's reader is asked. The
// readers show a file that ends early, or whose coded data stops before the picture is filled,
// as a partial picture, the missing part left blank, as if it were whole.
enum class PictureFileCheck {
    // Whole as far as its structure tells, another format, or too damaged to tell.
    LeftToTheReader,
    FileEndsEarly,
    // The file is closed properly, but its coded data stops before the picture's last pixel.
    DataEndsEarly,
    // Whole, but with more pixels than the reader takes.
    TooLargeToRead,
};

// The file is walked front to back a block at a time and left at its start.
PictureFileCheck checkPictureFile(QIODevice& file);

} // namespace loomara
