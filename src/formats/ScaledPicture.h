#pragma once

#include <QImage>

namespace loomara {

// The picture with every pixel drawn as a factor x factor block of its colour, so that each
// thread of a weave stays visible when the picture is printed or published large. Nothing is
// smoothed or blended: the weave itself is unchanged. factor must be 1 or more.
QImage scaledPicture(const QImage& picture, int factor);

} // namespace loomara
