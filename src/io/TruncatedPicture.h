#pragma once

#include <QIODevice>

namespace loomara {

// Whether a BMP, JPEG or GIF file ends before the end of its picture. The toolkit's readers
// show such a file as a partial picture, the missing part left blank, as if it were whole.
// Other formats, and files too damaged to tell, are left to the reader to judge. The file is
// walked front to back a block at a time and left at its start.
bool endsBeforeItsPicture(QIODevice& file);

} // namespace loomara
