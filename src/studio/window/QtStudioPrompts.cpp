#include "studio/window/QtStudioPrompts.h"

#include <QInputDialog>
#include <QMessageBox>

namespace loomara {

namespace {

const QString kTitle = QStringLiteral("Loomara Studio");

} // namespace

std::optional<QString> QtStudioPrompts::askName(const QString& question,
                                                const QString& suggestion) {
    bool ok = false;
    const QString name =
        QInputDialog::getText(parent_, kTitle, question, QLineEdit::Normal, suggestion, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return name;
}

bool QtStudioPrompts::confirm(const QString& question) {
    return QMessageBox::question(parent_, kTitle, question) == QMessageBox::Yes;
}

void QtStudioPrompts::tell(const QString& message) {
    QMessageBox::information(parent_, kTitle, message);
}

} // namespace loomara
