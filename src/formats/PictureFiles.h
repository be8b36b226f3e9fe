#pragma once

#include <QByteArray>
#include <QImage>

namespace loomara {

// 96 dots per inch: the screen's 15 twips to a pixel.
inline constexpr int kScreenPixelsPerMetre = 3780;

// The picture as a Windows bitmap file: uncompressed (BI_RGB), 24 bits per pixel, rows bottom-up
// and padded to 4 bytes. The pixels per metre tell a printer how large to print it.
QByteArray bitmap24Bytes(const QImage& picture, int pixelsPerMetre = kScreenPixelsPerMetre);

// The picture as a PNG file, lossless, with its pixels per metre. A picture of at most 256
// colours, as every weave and cloth is, is stored a byte a pixel with a colour table, about a
// third of the size. Quick compression takes a third of the time for about twice the bytes, for
// thousands of pictures at once. Empty when it cannot be encoded.
enum class PngCompression { Small, Quick };
QByteArray pngBytes(const QImage& picture, int pixelsPerMetre = kScreenPixelsPerMetre,
                    PngCompression compression = PngCompression::Small);

// The same picture with a colour table when it has at most 256 colours; as it is otherwise.
QImage withColourTable(const QImage& picture);

} // namespace loomara
