#include "io/OpenBackground.h"

#include "model/ShownText.h"

#include <QDir>
#include <QImageReader>
#include <QStringList>

#include <algorithm>
#include <set>

namespace loomara {

namespace {} // namespace

// In alphabetical order so the dialog lists them the same way on every run. A format name that is
// not plain letters and digits would break the filter's syntax, and no real extension looks like
// that.
QStringList readablePicturePatterns() {
    std::set<QString> names{QStringLiteral("bmp")};
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        const QString name = QString::fromLatin1(format).toLower();
        const bool plain = !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) {
            return (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
        });
        if (plain) {
            names.insert(name);
        }
    }
    QStringList patterns;
    for (const QString& name : names) {
        patterns << QStringLiteral("*.") + name;
    }
    return patterns;
}

namespace {

// Bitmaps come first and stay the chosen type, as the help page speaks of loading a bmp; the
// other types are there so that a photograph can be found without typing its name.
QString openFilter() {
    const QStringList patterns = readablePicturePatterns();
    return QStringLiteral("BitMap (*.bmp)|*.bmp|Pictures (%1)|%2|All files (*)|*")
        .arg(patterns.join(QLatin1Char(' ')), patterns.join(QLatin1Char(';')));
}

} // namespace

std::optional<QString> openBackground(CommonDialog& cd1, PictureLoader& loader,
                                      WeaveCanvas& canvas) {
    cd1.setCancelError(true);
    cd1.setFilter(openFilter());
    cd1.setFilterIndex(1);
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
        // The file name and the reason may repeat what the user typed.
        return shownText(
            QStringLiteral("The picture \"%1\" could not be opened: %2. The background is "
                           "unchanged.")
                .arg(QDir::toNativeSeparators(chosen), loaded.problem));
    }
    canvas.setPicture(loaded.picture);
    return std::nullopt;
}

} // namespace loomara
