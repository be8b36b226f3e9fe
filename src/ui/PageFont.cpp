#include "ui/PageFont.h"

#include <QFontDatabase>

namespace loomara {

QFont pageFont(double pointSize) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace loomara
