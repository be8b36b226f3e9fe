#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace loomara {

// What reading a picture file gave: the picture, or why there is none.
struct LoadedPicture {
    QImage picture;  // null when the file could not be read as a picture
    QString problem; // for the user, e.g. "the file does not exist"; empty on success
    // The picture's pixels per pixel of the file: below 1 when it was scaled down as it was read.
    // The picture records the file's own resolution, whatever its scale.
    double scale = 1;
};

// Reads a picture file for the weave picture's background. Only the picture's top-left part
// up to the given size is read: the canvas never shows more, and a photograph read whole may
// not fit in memory.
class PictureLoader {
public:
    PictureLoader() = default;
    PictureLoader(const PictureLoader&) = delete;
    PictureLoader& operator=(const PictureLoader&) = delete;
    virtual ~PictureLoader() = default;

    virtual LoadedPicture load(const QString& fileName, QSize largest) = 0;

    // Reads the whole picture, scaled down to at most mostPixels pixels when it has more, its
    // shape kept: a photograph read to be looked at as a whole.
    virtual LoadedPicture loadWhole(const QString& fileName, qint64 mostPixels) = 0;
};

} // namespace loomara
