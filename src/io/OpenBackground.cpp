#include "io/OpenBackground.h"

#include <QDir>

namespace loomara {

std::optional<QString> openBackground(CommonDialog& cd1, PictureLoader& loader,
                                      WeaveCanvas& canvas) {
    cd1.setCancelError(true);
    cd1.setFilter(QStringLiteral("BitMap (*.bmp)|*.bmp"));
    cd1.setDialogTitle(QStringLiteral("Picture Search"));
    cd1.setInitDir(QDir::homePath());

    QString chosen;
    if (cd1.showOpen() == DialogResult::Confirmed) {
        chosen = cd1.fileName();
    }
    // No name means no picture: this is how the user takes a background away.
    if (chosen.isEmpty()) {
        canvas.clearPicture();
        return std::nullopt;
    }
    const LoadedPicture loaded = loader.load(
        chosen, QSize(WeaveCanvas::kLargestInnerPixels, WeaveCanvas::kLargestInnerPixels));
    if (loaded.picture.isNull()) {
        return QStringLiteral("The picture \"%1\" could not be opened: %2. The background is "
                              "unchanged.")
            .arg(QDir::toNativeSeparators(chosen), loaded.problem);
    }
    canvas.setPicture(loaded.picture);
    return std::nullopt;
}

} // namespace loomara
