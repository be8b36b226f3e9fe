#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace loomara {

// The user's text as a message may repeat it: every character that a terminal would act on
// instead of showing (the C0 and C1 controls, DEL, line and paragraph separators, the marks that
// reorder text) becomes a visible escape, "\e", "\n", "\r", "\t" or "\x7f", "\x9b", "\u202e", so
// that a message stays one line and cannot drive the terminal. Any other character, a backslash
// included, is kept, so the text reads as the user wrote it.
QString shownText(QStringView text);

// The text as shownText shows it and a caret under its character-th character (counted from 1,
// and one past the end for the place after the last); nothing when the place lies outside it.
// A line wider than kWidestCaretLine shows only that much about the caret, "…" where it is cut.
QStringList caretLines(QStringView text, int character);
inline constexpr qsizetype kWidestCaretLine = 120;

// Text the user gave, as a message repeats it: cut to its first characters and "…" when it is
// longer than kLongestEcho, so that a message stays a line however much was given.
QString echoed(QStringView text);
inline constexpr qsizetype kLongestEcho = 40;

// "1 thread", "2 threads": a count with its noun.
QString counted(long long count, QStringView one, QStringView many);

} // namespace loomara
