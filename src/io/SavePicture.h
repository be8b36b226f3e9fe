#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

namespace loomara {

// The picture as a Windows bitmap file: uncompressed (BI_RGB), 24 bits per pixel, rows
// bottom-up and padded to 4 bytes, 96 dots per inch (the screen's 15 twips to a pixel).
QByteArray bitmap24Bytes(const QImage& picture);

// Writes the picture as a 24-bit bitmap under exactly the given name, as saveFile() writes any
// file: what was there is replaced only once every byte is on disk.
std::optional<QString> savePicture(const QImage& picture, const QString& fileName);

} // namespace loomara
