#include "model/ShownText.h"

#include <algorithm>

namespace loomara {

namespace {

// Characters a terminal or a text layout acts on: the controls, DEL, the line and paragraph
// separators and the marks that turn the direction of the text around it.
bool actedOn(char16_t c) {
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x061c || c == 0x200e || c == 0x200f ||
           (c >= 0x2028 && c <= 0x202e) || (c >= 0x2066 && c <= 0x2069);
}

QString escaped(char16_t c) {
    switch (c) {
    case 0x1b:
        return QStringLiteral("\\e");
    case u'\n':
        return QStringLiteral("\\n");
    case u'\r':
        return QStringLiteral("\\r");
    case u'\t':
        return QStringLiteral("\\t");
    default:
        return c <= 0xff ? QStringLiteral("\\x%1").arg(int(c), 2, 16, QLatin1Char('0'))
                         : QStringLiteral("\\u%1").arg(int(c), 4, 16, QLatin1Char('0'));
    }
}

// Where a line or an echo is cut.
constexpr QStringView kCut = u"\u2026";

} // namespace

QString shownText(QStringView text) {
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (actedOn(c.unicode())) {
            shown += escaped(c.unicode());
        } else {
            shown += c;
        }
    }
    return shown;
}

QStringList caretLines(QStringView text, int character) {
    if (character < 1 || character > text.size() + 1) {
        return {};
    }
    // The caret moves right by what the escapes before the place add to the text.
    qsizetype column = shownText(text.first(character - 1)).size();
    QString shown = shownText(text);
    if (shown.size() > kWidestCaretLine) {
        qsizetype from = std::clamp<qsizetype>(column - kWidestCaretLine / 2, 0,
                                               shown.size() - kWidestCaretLine);
        qsizetype to = from + kWidestCaretLine;
        // A character written as two halves is kept whole or left out whole.
        from += shown[from].isLowSurrogate() ? 1 : 0;
        to -= shown[to - 1].isHighSurrogate() ? 1 : 0;
        const QString cut = kCut.toString();
        column += (from > 0 ? cut.size() : 0) - from;
        shown = (from > 0 ? cut : QString()) + shown.sliced(from, to - from) +
                (to < shown.size() ? cut : QString());
    }
    return {shown, QString(column, u' ') + u'^'};
}

QString echoed(QStringView text) {
    constexpr qsizetype kKept = kLongestEcho - 10;
    if (text.size() <= kLongestEcho) {
        return text.toString();
    }
    const qsizetype kept = text[kKept - 1].isHighSurrogate() ? kKept - 1 : kKept;
    return text.first(kept).toString() + kCut.toString();
}

QString counted(long long count, QStringView one, QStringView many) {
    return QString::number(count) + u' ' + (count == 1 ? one : many).toString();
}

} // namespace loomara
