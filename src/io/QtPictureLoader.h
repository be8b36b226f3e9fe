#pragma once

#include "io/PictureLoader.h"

namespace loomara {

// Windows BMP and every format the toolkit's image plugins read (PNG, JPEG, GIF, ...), told
// apart by content rather than by the name's extension.
class QtPictureLoader final : public PictureLoader {
public:
    LoadedPicture load(const QString& fileName, QSize largest) override;
};

} // namespace loomara
