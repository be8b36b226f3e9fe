#include "ui/MessageBoxes.h"

#include <QMessageBox>

namespace loomara {

void QtMessageBoxes::warning(QWidget* parent, const QString& title, const QString& text) {
    QMessageBox::warning(parent, title, text);
}

} // namespace loomara
