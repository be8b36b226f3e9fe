#include "io/SavePicture.h"

#include "formats/PictureFiles.h"
#include "io/SaveFile.h"

namespace loomara {

std::optional<QString> savePicture(const QImage& picture, const QString& fileName) {
    return saveFile(bitmap24Bytes(picture), fileName, QStringLiteral("picture"));
}

} // namespace loomara
