#include "studio/window/QtStudioPrompts.h"

#include "palette/PaletteSwatch.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace loomara {

namespace {

const QString kTitle = QStringLiteral("Loomara Studio");

} // namespace

QIcon swatchIcon(Rgb colour, int side) {
    QPixmap swatch(side, side);
    swatch.fill(QColor(colour.red, colour.green, colour.blue));
    QPainter frame(&swatch);
    frame.setPen(QColor(128, 128, 128));
    frame.drawRect(0, 0, side - 1, side - 1);
    return QIcon(swatch);
}

std::optional<QString> QtStudioPrompts::pickColour(const QString& question,
                                                   const QString& current) {
    QDialog dialog(parent_);
    dialog.setWindowTitle(kTitle);
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(question, &dialog);
    auto* palette = new QListWidget(&dialog);
    label->setBuddy(palette);
    palette->setAccessibleName(QStringLiteral("Palette"));
    palette->setViewMode(QListView::IconMode);
    palette->setMovement(QListView::Static);
    palette->setResizeMode(QListView::Adjust);
    palette->setIconSize(QSize(28, 28));
    // Each cell as wide as the widest code, so none is cut short.
    int widest = 0;
    for (const PaletteSwatch& swatch : paletteSwatches()) {
        widest = std::max(widest, palette->fontMetrics().horizontalAdvance(swatch.codeText()));
    }
    const QSize cell(std::max(60, widest + 24), 52);
    palette->setGridSize(cell);
    palette->setUniformItemSizes(true);
    for (const PaletteSwatch& swatch : paletteSwatches()) {
        auto* item =
            new QListWidgetItem(swatchIcon(swatch.colour(), 28), swatch.codeText(), palette);
        // Uniform sizes are taken from the first item, whose code is short: the text of a longer
        // one would be cut to its width.
        item->setSizeHint(cell);
        item->setToolTip(QStringLiteral("%1: %2,%3,%4")
                             .arg(swatch.codeText())
                             .arg(swatch.red)
                             .arg(swatch.green)
                             .arg(swatch.blue));
        if (swatch.codeText() == current) {
            palette->setCurrentItem(item);
        }
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(palette, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    layout->addWidget(label);
    layout->addWidget(palette, 1);
    layout->addWidget(buttons);
    dialog.resize(800, 520);
    palette->setFocus();
    if (dialog.exec() != QDialog::Accepted || palette->currentItem() == nullptr) {
        return std::nullopt;
    }
    return palette->currentItem()->text();
}

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
