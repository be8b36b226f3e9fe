#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

namespace loomara {

// Writes the picture as a 24-bit bitmap under exactly the given name, as saveFile() writes any
// file: what was there is replaced only once every byte is on disk.
std::optional<QString> savePicture(const QImage& picture, const QString& fileName);

} // namespace loomara
