#pragma once

#include "gallery/Gallery.h"

#include <QStringList>
#include <QTextStream>

namespace loomara {

// How loomara-render ends.
inline constexpr int kRenderDone = 0;
inline constexpr int kRenderWriteFailed = 1;
inline constexpr int kRenderRefused = 2;

// The whole of loomara-render: arguments as main() receives them, the program's name first.
// Writes a woven picture (.bmp, .png) or a weaving draft (.wif) of a written or named sett, lists
// the named setts, weaves them all into a gallery, or prints help or the version. Listings go to
// out; a refusal or a failed write is one line on err, followed by the sett with a caret under the
// place when there is one. Needs a QGuiApplication, whose palette gives the desktop colours the
// window would use. With showProgress, a gallery's progress is kept on one line of err (for a
// terminal).
int runRender(const QStringList& arguments, QTextStream& out, QTextStream& err,
              bool showProgress = false);

// --gallery DIR over the given pages instead of the reference lists': the gallery written, its
// summary on out, each file it removed named on err, or the one line that says why it was not
// written. The status is runRender's.
int renderGallery(const QString& dir, const QList<GalleryPage>& pages, QTextStream& out,
                  QTextStream& err, bool showProgress = false);

} // namespace loomara
