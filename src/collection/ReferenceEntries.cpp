#include "collection/ReferenceEntries.h"

namespace loomara {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Whether some letter in the text is directly followed by a digit: the least a sett holds.
bool holdsPair(QStringView text) {
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (text[i - 1].isLetter() && isDigit(text[i])) {
            return true;
        }
    }
    return false;
}

// Whether the text is nothing but pairs of letters and digits.
bool onlyPairs(QStringView text) {
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype codeAt = i;
        while (i < text.size() && text[i].isLetter()) {
            ++i;
        }
        const qsizetype countAt = i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
        }
        if (countAt == codeAt || i == countAt) {
            return false;
        }
    }
    return !text.isEmpty();
}

qsizetype endOfText(QStringView line) {
    qsizetype end = line.size();
    while (end > 0 && (isBlank(line[end - 1]) || line[end - 1] == u'\r')) {
        --end;
    }
    return end;
}

// Where the notation starts: after the first run of two or more blanks, else after the last blank;
// the end when there is neither.
qsizetype notationStart(QStringView text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (isBlank(text[i]) && isBlank(text[i + 1])) {
            while (i < text.size() && isBlank(text[i])) {
                ++i;
            }
            return i;
        }
    }
    for (qsizetype i = text.size(); i > 0; --i) {
        if (isBlank(text[i - 1])) {
            return i;
        }
    }
    return text.size();
}

} // namespace

ReferenceEntry readReferenceLine(QStringView line, int lineNumber) {
    const QStringView text = line.first(endOfText(line));
    qsizetype begin = 0;
    while (begin < text.size() && isBlank(text[begin])) {
        ++begin;
    }

    ReferenceEntry entry;
    entry.line = lineNumber;
    entry.notationLine = lineNumber;
    const QStringView written = text.sliced(begin);
    if (onlyPairs(written)) {
        entry.notation = written.toString();
        entry.notationCharacter = static_cast<int>(begin) + 1;
        return entry;
    }

    const qsizetype start = begin + notationStart(written);
    if (!holdsPair(text.sliced(start))) {
        entry.name = written.toString();
        return entry;
    }
    qsizetype nameEnd = start;
    while (nameEnd > begin && isBlank(text[nameEnd - 1])) {
        --nameEnd;
    }
    entry.name = text.sliced(begin, nameEnd - begin).toString();
    entry.notation = text.sliced(start).toString();
    entry.notationCharacter = static_cast<int>(start) + 1;
    return entry;
}

QList<ReferenceEntry> readReferenceList(QStringView text) {
    QList<ReferenceEntry> entries;
    int number = 0;
    for (const QStringView line : text.tokenize(u'\n')) {
        ++number;
        ReferenceEntry entry = readReferenceLine(line, number);
        if (entry.name.isEmpty() && entry.notation.isEmpty()) {
            continue;
        }
        // A name alone takes the notation of the line right after it, when that line is a
        // notation and nothing else.
        if (entry.name.isEmpty() && !entries.isEmpty()) {
            ReferenceEntry& previous = entries.last();
            if (previous.notation.isEmpty() && previous.line == number - 1) {
                previous.notation = entry.notation;
                previous.notationLine = number;
                previous.notationCharacter = entry.notationCharacter;
                continue;
            }
        }
        entries.append(entry);
    }
    return entries;
}

SettReading readReferenceSett(const ReferenceEntry& entry) {
    if (entry.notation.isEmpty()) {
        SettReading none;
        none.refusal = SettRefusal{QStringLiteral("there is no sett after the name."), 0, {}};
        return none;
    }
    return readSett(entry.notation, entry.notationCharacter);
}

} // namespace loomara
