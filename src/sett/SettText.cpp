#include "sett/SettText.h"

#include "model/ShownText.h"
#include "palette/PaletteSwatch.h"

#include <algorithm>

namespace loomara {

namespace {

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Blanks of every kind, line breaks among them: a sett copied from a page may hold any.
// A byte-order mark, which an editor may put anywhere it joins text, shows as nothing.
bool isBlank(QChar c) {
    return c.isSpace() || c == QChar::ByteOrderMark;
}

bool isSeparator(QChar c) {
    return isBlank(c) || c == u',';
}

constexpr QStringView kStraightMark = u"...";

// One pair as written: where its code, slash and count start, and what they hold. Either the
// code or the count may be empty; checking them is left to the reader, so that every fault is
// named in text order.
struct WrittenPair {
    qsizetype codeAt;
    QStringView code;
    qsizetype slashAt; // -1 without a slash
    qsizetype countAt;
    QStringView count;
};

class SettReader {
public:
    SettReader(QStringView text, int firstCharacter) : text_(text), first_(firstCharacter) {}

    SettReading read() {
        qsizetype begin = 0;
        qsizetype end = text_.size();
        while (begin < end && isBlank(text_[begin])) {
            ++begin;
        }
        while (end > begin && isBlank(text_[end - 1])) {
            --end;
        }
        if (begin == end) {
            return refused({QStringLiteral("there is no sett to read: the text is empty."), 0, {}});
        }

        const QStringView body = text_.sliced(begin, end - begin);
        const bool opens = body.startsWith(kStraightMark);
        const bool closes =
            body.endsWith(kStraightMark) && (!opens || body.size() >= 2 * kStraightMark.size());
        if (opens != closes) {
            const qsizetype mark = opens ? begin : end - kStraightMark.size();
            return refused(refusalAt(mark, opens
                                               ? QStringLiteral("\"...\" opens a straight "
                                                                "repeat that no \"...\" closes.")
                                               : QStringLiteral("\"...\" closes a straight "
                                                                "repeat that no \"...\" opens.")));
        }
        if (opens) {
            reading_.sett.repeat = Repeat::Straight;
            begin += kStraightMark.size();
            end -= kStraightMark.size();
            if (std::all_of(text_.begin() + begin, text_.begin() + end, isSeparator)) {
                return refused(refusalAt(begin - kStraightMark.size(),
                                         QStringLiteral("there is no sett between the \"...\" "
                                                        "marks.")));
            }
        }

        QList<WrittenPair> pairs;
        if (const std::optional<SettRefusal> fault = readPairs(begin, end, pairs)) {
            return refused(*fault);
        }
        if (pairs.size() > kMostSettStripes) {
            const WrittenPair& extra = pairs[kMostSettStripes];
            return refused(refusalAt(extra.codeAt, QStringLiteral("the sett has %1 stripes; a "
                                                                  "sett holds at most %2.")
                                                       .arg(pairs.size())
                                                       .arg(kMostSettStripes)));
        }
        if (const std::optional<SettRefusal> fault = repeatTooLong(pairs)) {
            return refused(*fault);
        }
        const bool marked = opens || std::any_of(pairs.begin(), pairs.end(),
                                                 [](const auto& p) { return p.slashAt >= 0; });
        reading_.unmarkedPairs = !marked && separatedByBlanks_ && !sawComma_ && pairs.size() > 1;
        return std::move(reading_);
    }

private:
    SettReading refused(SettRefusal refusal) {
        SettReading reading;
        reading.refusal = std::move(refusal);
        return reading;
    }

    int character(qsizetype index) const { return first_ + static_cast<int>(index); }

    SettRefusal refusalAt(qsizetype index, const QString& reason) const {
        return {QStringLiteral("at character %1: ").arg(character(index)) + reason,
                character(index), reason};
    }

    // A place that can start no pair: the "]" that splits some recorded setts in two, or any
    // other sign.
    SettRefusal strayAt(qsizetype index) const {
        const QChar c = text_[index];
        if (c == u']') {
            return refusalAt(index, QStringLiteral("\"]\" splits the sett in two; only one run "
                                                   "of colour codes and counts can be woven."));
        }
        if (c == u'/') {
            return refusalAt(index, QStringLiteral("a slash marks a pivot and stands between "
                                                   "its colour code and its count."));
        }
        // A character outside the first plane is written as two; it is named whole.
        const bool pair =
            c.isHighSurrogate() && index + 1 < text_.size() && text_[index + 1].isLowSurrogate();
        const char32_t point = pair ? QChar::surrogateToUcs4(c, text_[index + 1]) : c.unicode();
        const QString shown =
            QChar::isPrint(point)
                ? QStringLiteral("\"%1\"").arg(text_.sliced(index, pair ? 2 : 1))
                : QStringLiteral("the character U+%1")
                      .arg(QString::number(point, 16).toUpper().rightJustified(4, u'0'));
        return refusalAt(index, shown + QStringLiteral(" is neither a colour code nor a thread "
                                                       "count."));
    }

    qsizetype skip(qsizetype from, qsizetype end, bool (*what)(QChar)) const {
        while (from < end && what(text_[from])) {
            ++from;
        }
        return from;
    }

    // Separators before a pair; two commas with nothing between them leave an entry empty.
    std::optional<SettRefusal> separators(qsizetype& i, qsizetype end, bool first) {
        bool comma = false;
        const qsizetype start = i;
        while (i < end && isSeparator(text_[i])) {
            if (text_[i] == u',') {
                if (comma || first) {
                    return refusalAt(i, QStringLiteral("an entry between commas is empty."));
                }
                comma = true;
                sawComma_ = true;
            }
            ++i;
        }
        if (!first && i > start && i < end && !comma) {
            separatedByBlanks_ = true;
        }
        return std::nullopt;
    }

    std::optional<SettRefusal> readPairs(qsizetype begin, qsizetype end,
                                         QList<WrittenPair>& pairs) {
        qsizetype i = begin;
        while (true) {
            if (std::optional<SettRefusal> fault = separators(i, end, pairs.isEmpty())) {
                return fault;
            }
            if (i == end) {
                return std::nullopt;
            }
            WrittenPair pair{i, {}, -1, 0, {}};
            i = skip(i, end, [](QChar c) { return c.isLetter(); });
            pair.code = text_.sliced(pair.codeAt, i - pair.codeAt);
            if (i < end && text_[i] == u'/' && !pair.code.isEmpty()) {
                pair.slashAt = i++;
            }
            pair.countAt = i;
            i = skip(i, end, isDigit);
            // A fraction is a count the user meant, not a stray sign.
            if (i > pair.countAt && i + 1 < end && text_[i] == u'.' && isDigit(text_[i + 1])) {
                i = skip(i + 1, end, [](QChar c) { return isDigit(c) || c == u'.'; });
            }
            pair.count = text_.sliced(pair.countAt, i - pair.countAt);
            if (i == pair.codeAt) {
                return strayAt(i);
            }
            // A known code followed by a sign that is no count: the sign is the fault.
            if (pair.count.isEmpty() && i < end && !isSeparator(text_[i]) && !text_[i].isLetter() &&
                findSwatchByCode(pair.code)) {
                return strayAt(i);
            }
            if (std::optional<SettRefusal> fault = checked(pair, pairs)) {
                return fault;
            }
            pairs.append(pair);
            if (i < end && !isSeparator(text_[i]) && !text_[i].isLetter()) {
                return strayAt(i);
            }
        }
    }

    std::optional<SettRefusal> checked(const WrittenPair& pair, const QList<WrittenPair>& before) {
        const auto quoted = [](QStringView s) { return QStringLiteral("\"%1\"").arg(echoed(s)); };
        // Only the first and the last pair are pivots; a slash before this pair is known to be
        // on neither once this pair is read.
        if (before.size() >= 2 && before.last().slashAt >= 0) {
            return slashInside(before.last().slashAt);
        }
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
        if (!std::all_of(pair.count.begin(), pair.count.end(), isDigit)) {
            return refusalAt(pair.countAt, QStringLiteral("%1 is not a whole thread count; write "
                                                          "the count in digits alone.")
                                               .arg(quoted(pair.count)));
        }
        if (pair.slashAt >= 0 && reading_.sett.repeat == Repeat::Straight) {
            return refusalAt(pair.slashAt, QStringLiteral("a straight repeat has no pivots; "
                                                          "leave out the slash or the \"...\" "
                                                          "marks."));
        }
        // Saturates well above the limit, so that any run of digits compares safely.
        long long count = 0;
        for (const QChar digit : pair.count) {
            count = std::min<long long>(count * 10 + (digit.unicode() - u'0'), INT32_MAX);
        }
        if (count > kLargestSettCount) {
            return refusalAt(pair.countAt, QStringLiteral("the thread count %1 is above %2, the "
                                                          "most a stripe may hold.")
                                               .arg(echoed(pair.count))
                                               .arg(kLargestSettCount));
        }
        reading_.sett.stripes.append(SettStripe{pair.code.toString(), swatch->colour(),
                                                static_cast<int>(count), character(pair.codeAt)});
        return std::nullopt;
    }

    SettRefusal slashInside(qsizetype slashAt) const {
        return refusalAt(slashAt, QStringLiteral("a slash marks a pivot, and only the first and "
                                                 "the last stripe are pivots."));
    }

    // The first stripe at which one repeat would pass the limit. In a symmetric sett every
    // stripe but the pivots counts twice, and the repeat up to stripe k, were k the last pivot,
    // only grows with k.
    std::optional<SettRefusal> repeatTooLong(const QList<WrittenPair>& pairs) const {
        const QList<SettStripe>& stripes = reading_.sett.stripes;
        const bool symmetric = reading_.sett.repeat == Repeat::Symmetric;
        long long inside = 0; // threads before stripe k, inner stripes twice
        for (qsizetype k = 0; k < stripes.size(); ++k) {
            const long long repeat = inside + stripes[k].count;
            if (repeat > kMostRepeatThreads) {
                return refusalAt(pairs[k].codeAt,
                                 QStringLiteral("with this stripe one repeat of the sett would "
                                                "hold %1 threads, more than the %2 a sett may "
                                                "hold.")
                                     .arg(repeat)
                                     .arg(kMostRepeatThreads));
            }
            inside += (symmetric && k > 0 ? 2 : 1) * stripes[k].count;
        }
        return std::nullopt;
    }

    QStringView text_;
    int first_;
    SettReading reading_;
    bool separatedByBlanks_ = false;
    bool sawComma_ = false;
};

} // namespace

SettReading readSett(QStringView text, int firstCharacter) {
    return SettReader(text, firstCharacter).read();
}

QString howItWasRead(const SettReading& reading, const QString& which) {
    if (!reading.unmarkedPairs) {
        return {};
    }
    Sett straight = reading.sett;
    straight.repeat = Repeat::Straight;
    return QStringLiteral("read %1\"%2\" as symmetric, mirrored about its first and last stripe; "
                          "write \"%3\" for a straight repeat.")
        .arg(which, writtenForm(reading.sett), writtenForm(straight));
}

QString emptyStripesNote(const Sett& sett, const QString& which) {
    QStringList empty;
    for (const SettStripe& stripe : sett.stripes) {
        if (stripe.count == 0) {
            empty.append(stripe.code + u'0');
        }
    }
    if (empty.isEmpty()) {
        return {};
    }
    constexpr qsizetype kMostNamed = 5;
    const QString named = empty.size() > kMostNamed
                              ? empty.first(kMostNamed).join(u' ') + QStringLiteral(" and more")
                              : empty.join(u' ');
    return QStringLiteral("%1 of no threads (%2) in %3sett %4 woven as nothing.")
        .arg(counted(empty.size(), u"stripe", u"stripes"), named,
             which.isEmpty() ? QStringLiteral("the ") : which,
             empty.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"));
}

} // namespace loomara
