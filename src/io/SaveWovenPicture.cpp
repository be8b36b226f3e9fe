#include "io/SaveWovenPicture.h"

#include "io/SavePicture.h"
#include "model/ShownText.h"

#include <QDir>

namespace loomara {

std::optional<QString> saveWovenPicture(CommonDialog& cd1, const WeaveCanvas& canvas) {
    cd1.setDialogTitle(QStringLiteral("Choose a filename to save"));
    cd1.setFilter(QStringLiteral("24-bit Bitmap (*.bmp)|*.bmp"));
    cd1.setFilterIndex(1);
    cd1.setFileName(QString());

    if (cd1.showSave() == DialogResult::Cancelled || cd1.fileName().isEmpty()) {
        return std::nullopt;
    }
    const QString name = cd1.fileName();
    if (const std::optional<QString> problem = savePicture(canvas.image(), name)) {
        // The file name and the reason may repeat what the user typed.
        return shownText(QStringLiteral("The picture could not be saved as \"%1\": %2. Nothing "
                                        "was written; a file already there is unchanged.")
                             .arg(QDir::toNativeSeparators(name), *problem));
    }
    return std::nullopt;
}

} // namespace loomara
