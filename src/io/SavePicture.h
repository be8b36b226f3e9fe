#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <optional>

namespace loomara {

// The picture as a Windows bitmap file: uncompressed (BI_RGB), 24 bits per pixel, rows
// bottom-up and padded to 4 bytes, 96 dots per inch (the screen's 15 twips to a pixel).
QByteArray bitmap24Bytes(const QImage& picture);

// Writes the picture as a 24-bit bitmap under exactly the given name, replacing a regular file of
// that name (through a symbolic link, the file it leads to; the link stays). Anything else there
// (a folder, a FIFO, a device, a link that leads nowhere) is refused. The bytes go to a temporary
// file beside it that is renamed over the target only when every byte is on disk, so a failed
// save leaves a file already there as it was. Empty on success, otherwise the reason for the
// user, e.g. "the folder \"/x\" does not exist".
std::optional<QString> savePicture(const QImage& picture, const QString& fileName);

} // namespace loomara
