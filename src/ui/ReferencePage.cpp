#include "ui/ReferencePage.h"

#include "model/Twips.h"
#include "reference/ReferencePages.h"
#include "ui/PageFont.h"

#include <QPlainTextEdit>

namespace loomara {

ReferencePage::ReferencePage(int page)
    : QWidget(nullptr, Qt::Window), page_(page), text1_(new QPlainTextEdit(this)) {
    const reference::ReferencePageDescription& description = reference::referencePage(page);
    setObjectName(reference::toQString(description.form));
    setWindowTitle(reference::toQString(description.caption));
    setFont(pageFont(reference::kFormDefaultPointSize));
    // A page left open does not keep the program alive once the main window has gone.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(twipsToPixels(description.inner.width), twipsToPixels(description.inner.height));

    text1_->setObjectName(QStringLiteral("Text1"));
    text1_->setGeometry(twipsToPixels(description.text1.left), twipsToPixels(description.text1.top),
                        twipsToPixels(description.text1.width),
                        twipsToPixels(description.text1.height));
    // Each list line is one entry: wrapping would split a notation across screen lines, so long
    // lines scroll sideways instead.
    text1_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    text1_->setPlainText(reference::storedList(page));
}

} // namespace loomara
