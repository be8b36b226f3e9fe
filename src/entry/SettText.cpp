#include "entry/SettText.h"

#include "model/DesignState.h"

#include <algorithm>
#include <variant>

namespace loomara {

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

bool isAround(QChar c) {
    return isBlank(c) || c == u'\r' || c == u'\n';
}

bool allDigits(QStringView text) {
    return std::all_of(text.begin(), text.end(), isDigit);
}

// One pair as written: where its code and its count text start, and what they hold. Either part
// may be empty; checking them is left to the reader, so that every fault is named in text order.
struct WrittenPair {
    qsizetype codeAt;
    QStringView code;
    qsizetype countAt;
    QStringView count;
};

// The pairs up to the first place that is no part of any pair, and that place's refusal.
struct Pairs {
    QList<WrittenPair> pairs;
    std::optional<SettRefusal> stop;
};

class SettReader {
public:
    SettReader(QStringView text, int firstCharacter) : text_(text), first_(firstCharacter) {}

    SettReading read() const {
        qsizetype begin = 0;
        qsizetype end = text_.size();
        while (begin < end && isAround(text_[begin])) {
            ++begin;
        }
        while (end > begin && isAround(text_[end - 1])) {
            --end;
        }
        if (begin == end) {
            return refused({QStringLiteral("there is no sett to read: the text is empty."), 0});
        }

        const bool notation = text_.sliced(begin, end - begin).contains(u',');
        const Pairs found = notation ? notationPairs(begin, end) : listPairs(begin, end);

        SettReading reading;
        long long total = 0;
        for (const WrittenPair& pair : found.pairs) {
            const auto stripe = checked(pair);
            if (const auto* refusal = std::get_if<SettRefusal>(&stripe)) {
                return refused(*refusal);
            }
            reading.stripes.append(std::get<WrittenStripe>(stripe));
        }
        if (found.stop) {
            return refused(*found.stop);
        }

        if (reading.stripes.size() > DesignState::kSlotCount) {
            const WrittenPair& extra = found.pairs[DesignState::kSlotCount];
            return refused({at(extra.codeAt) + QStringLiteral("the sett has %1 stripes; a sett "
                                                              "holds at most %2.")
                                                   .arg(reading.stripes.size())
                                                   .arg(DesignState::kSlotCount),
                            character(extra.codeAt)});
        }
        for (qsizetype i = 0; i < reading.stripes.size(); ++i) {
            total += reading.stripes[i].count;
            if (total > kWidestWrittenSett) {
                const qsizetype place = found.pairs[i].codeAt;
                return refused({at(place) + QStringLiteral("with this stripe the sett would be "
                                                           "wider than %1 threads.")
                                                .arg(kWidestWrittenSett),
                                character(place)});
            }
        }
        return reading;
    }

private:
    static SettReading refused(SettRefusal refusal) {
        SettReading reading;
        reading.refusal = std::move(refusal);
        return reading;
    }

    int character(qsizetype index) const { return first_ + static_cast<int>(index); }

    QString at(qsizetype index) const {
        return QStringLiteral("at character %1: ").arg(character(index));
    }

    SettRefusal refusalAt(qsizetype index, const QString& reason) const {
        return {at(index) + reason, character(index)};
    }

    // A place that can start no pair: a blank, the "]" that splits some recorded setts in two,
    // or any other sign.
    SettRefusal strayAt(qsizetype index) const {
        const QChar c = text_[index];
        if (isBlank(c)) {
            return refusalAt(index, QStringLiteral("a blank cannot stand inside a sett."));
        }
        if (c == u']') {
            return refusalAt(index, QStringLiteral("\"]\" splits the sett in two; only one run "
                                                   "of colour codes and counts can be woven."));
        }
        const QString shown =
            c.isPrint()
                ? QStringLiteral("\"%1\"").arg(c)
                : QStringLiteral("the character U+%1")
                      .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0'));
        return refusalAt(index, shown + QStringLiteral(" is neither a colour code nor a thread "
                                                       "count."));
    }

    qsizetype letterRun(qsizetype from, qsizetype end) const {
        while (from < end && text_[from].isLetter()) {
            ++from;
        }
        return from;
    }

    // Pairs written without separators: letters, then the digits after them.
    Pairs listPairs(qsizetype begin, qsizetype end) const {
        Pairs found;
        qsizetype i = begin;
        while (i < end) {
            const qsizetype codeAt = i;
            i = letterRun(i, end);
            const qsizetype countAt = i;
            while (i < end && isDigit(text_[i])) {
                ++i;
            }
            if (i == codeAt) {
                found.stop = strayAt(i);
                break;
            }
            found.pairs.append({codeAt, text_.sliced(codeAt, countAt - codeAt), countAt,
                                text_.sliced(countAt, i - countAt)});
        }
        return found;
    }

    // Entries as the notation box joins them: the code, the count text as it was typed, ", ".
    // The count text runs to the next comma, so a typed "2.5" or " 7 " is kept whole and refused
    // as a count rather than misread.
    Pairs notationPairs(qsizetype begin, qsizetype end) const {
        Pairs found;
        qsizetype start = begin;
        while (true) {
            const qsizetype next = text_.indexOf(u',', start);
            const qsizetype comma = next < 0 || next > end ? end : next;
            if (start == comma) {
                if (comma < end) {
                    found.stop = refusalAt(comma, QStringLiteral("an entry between commas "
                                                                 "is empty."));
                }
                break;
            }
            const qsizetype countAt = letterRun(start, comma);
            if (countAt == start && !isDigit(text_[start])) {
                found.stop = strayAt(start);
                break;
            }
            found.pairs.append({start, text_.sliced(start, countAt - start), countAt,
                                text_.sliced(countAt, comma - countAt)});
            if (comma == end) {
                break;
            }
            start = comma + 1;
            if (start < end && text_[start] == u' ') {
                ++start;
            }
        }
        return found;
    }

    std::variant<WrittenStripe, SettRefusal> checked(const WrittenPair& pair) const {
        const auto quoted = [](QStringView s) { return QStringLiteral("\"%1\"").arg(s); };
        if (pair.code.isEmpty()) {
            return refusalAt(pair.countAt, QStringLiteral("the thread count %1 has no colour "
                                                          "code before it.")
                                               .arg(quoted(pair.count)));
        }
        const PaletteSwatch* swatch = findSwatchByCode(pair.code);
        if (!swatch) {
            return refusalAt(
                pair.codeAt,
                QStringLiteral("%1 is not a colour code of the palette.").arg(quoted(pair.code)));
        }
        if (pair.count.isEmpty()) {
            return refusalAt(pair.codeAt, QStringLiteral("the colour code %1 has no thread count "
                                                         "after it.")
                                              .arg(quoted(pair.code)));
        }
        if (!allDigits(pair.count)) {
            return refusalAt(pair.countAt, QStringLiteral("%1 is not a whole thread count; write "
                                                          "the count in digits alone.")
                                               .arg(quoted(pair.count)));
        }
        // Saturates well above the limit, so that any run of digits compares safely.
        long long count = 0;
        for (const QChar digit : pair.count) {
            count = std::min<long long>(count * 10 + (digit.unicode() - u'0'), INT32_MAX);
        }
        if (count > kLargestWrittenCount) {
            return refusalAt(pair.countAt, QStringLiteral("the thread count %1 is above %2 and "
                                                          "does not fit the strip.")
                                               .arg(pair.count)
                                               .arg(kLargestWrittenCount));
        }
        return WrittenStripe{pair.code.toString(), static_cast<int>(count), *swatch};
    }

    QStringView text_;
    int first_;
};

} // namespace

SettReading readWrittenSett(QStringView text, int firstCharacter) {
    return SettReader(text, firstCharacter).read();
}

} // namespace loomara
