#pragma once

#include "io/PictureLoader.h"

namespace loomara {

// Windows BMP and every format the toolkit's image plugins read (PNG, JPEG, GIF, ...), told
// apart by content rather than by the name's extension.
class QtPictureLoader final : public PictureLoader {
public:
    LoadedPicture load(const QString& fileName, QSize largest) override;
    LoadedPicture loadWhole(const QString& fileName, qint64 mostPixels) override;

private:
    enum class Part { TopLeft, Whole };
    LoadedPicture read(const QString& fileName, Part part, QSize largest, qint64 mostPixels);
};

} // namespace loomara
