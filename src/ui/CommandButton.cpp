#include "ui/CommandButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace loomara {

void CommandButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    p.drawControl(QStyle::CE_PushButton, option);
    constexpr int kMargin = 2;
    const QRect area = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    // Wrap only where the button is tall enough for more than one line.
    const bool tall = area.height() >= 2 * fontMetrics().lineSpacing();
    const int flags = Qt::AlignCenter | (tall ? Qt::TextWordWrap : 0);
    p.setPen(option.palette.color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                  QPalette::ButtonText));
    p.drawText(area, flags, caption);
}

} // namespace loomara
