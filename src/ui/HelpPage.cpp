#include "ui/HelpPage.h"

#include "reference/HelpContent.h"
#include "ui/PageFont.h"

#include <QIcon>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>

namespace loomara {

namespace {

using reference::HelpBox;
using reference::HelpBoxStyle;
using reference::toQString;
using reference::twipsToPixels;

QColor toQColor(Rgb colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

QWidget* makeLineBox(const HelpBox& box, QWidget* window) {
    auto* edit = new QLineEdit(toQString(box.text), window);
    if (box.style == HelpBoxStyle::StepNumber) {
        edit->setFont(pageFont(reference::kHelpStepPointSize));
    } else {
        edit->setFont(pageFont(reference::kHelpBannerPointSize));
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, toQColor(reference::kHelpBannerBackColour));
        palette.setColor(QPalette::Text, toQColor(reference::kHelpBannerForeColour));
        edit->setPalette(palette);
    }
    // The designed box heights are tight for these point sizes; the text gets the whole box.
    edit->setTextMargins(0, 0, 0, 0);
    edit->setCursorPosition(0);
    return edit;
}

QWidget* makeTextBox(const HelpBox& box, QWidget* window) {
    auto* edit = new QPlainTextEdit(window);
    edit->setPlainText(toQString(box.text));
    return edit;
}

} // namespace

HelpPage::HelpPage() : QWidget(nullptr, Qt::Window) {
    setObjectName(toQString(reference::kHelpForm));
    setWindowTitle(toQString(reference::kHelpCaption));
    setWindowIcon(QIcon(QPixmap::fromImage(reference::helpIcon())));
    setFont(pageFont(reference::kFormDefaultPointSize));
    // A page left open does not keep the program alive once the main window has gone.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(twipsToPixels(reference::kHelpInner.width), twipsToPixels(reference::kHelpInner.height));

    QPalette windowPalette = palette();
    windowPalette.setColor(QPalette::Window, toQColor(reference::kHelpBackColour));
    setPalette(windowPalette);
    setAutoFillBackground(true);

    for (const HelpBox& box : reference::kHelpBoxes) {
        QWidget* widget =
            box.style == HelpBoxStyle::Body ? makeTextBox(box, this) : makeLineBox(box, this);
        widget->setObjectName(toQString(box.name));
        widget->setGeometry(twipsToPixels(box.rect.left), twipsToPixels(box.rect.top),
                            twipsToPixels(box.rect.width), twipsToPixels(box.rect.height));
    }
}

} // namespace loomara
