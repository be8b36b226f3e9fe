#include "ui/HelpPage.h"

#include "model/Twips.h"
#include "reference/HelpContent.h"
#include "ui/PageFont.h"

#include <QFontMetrics>
#include <QIcon>
#include <QLineEdit>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QStyle>
#include <QtMath>

#include <algorithm>

namespace loomara {

namespace {

using reference::HelpBox;
using reference::HelpBoxStyle;
using reference::toQString;

QColor toQColor(Rgb colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

// The page is designed for a narrow face. Where the desktop's font is wider, a box is set in a
// narrower cut of the same face, so that each designed line still stands on one row of its box
// instead of wrapping out of sight.
QFont narrowedToFit(QFont font, const QStringList& lines, int room) {
    const auto widest = [&lines](const QFont& f) {
        const QFontMetrics metrics(f);
        int width = 0;
        for (const QString& line : lines) {
            width = std::max(width, metrics.horizontalAdvance(line));
        }
        return width;
    };
    for (int stretch = QFont::Unstretched; stretch > QFont::UltraCondensed && widest(font) > room;
         --stretch) {
        font.setStretch(stretch - 1);
    }
    return font;
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

// The room a line has in its box: inside the frame and the text margins, and beside the vertical
// scroll bar, which a box shows when its closing empty line does not fit.
int lineRoom(const QWidget* widget) {
    const QStyle* style = widget->style();
    if (const auto* edit = qobject_cast<const QPlainTextEdit*>(widget)) {
        return edit->width() - 2 * edit->frameWidth() -
               2 * qCeil(edit->document()->documentMargin()) -
               style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, edit) - edit->cursorWidth();
    }
    constexpr int kLineEditMargins = 4; // a line edit keeps two pixels free on either side
    return widget->width() - 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, widget) -
           kLineEditMargins;
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
        if (box.style != HelpBoxStyle::StepNumber) {
            widget->setFont(narrowedToFit(widget->font(),
                                          toQString(box.text).split(QStringLiteral("\r\n")),
                                          lineRoom(widget)));
        }
    }
}

} // namespace loomara
