#include "entry/ThreadCount.h"

#include <algorithm>

namespace loomara {

namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

} // namespace

std::optional<long long> parseThreadCount(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    const QStringView number = text.sliced(begin, end - begin);

    qsizetype at = 0;
    bool negative = false;
    if (at < number.size() && (number[at] == u'+' || number[at] == u'-')) {
        negative = number[at] == u'-';
        ++at;
    }

    // The integral part, saturated well above any count that can be locked.
    long long magnitude = 0;
    qsizetype digits = 0;
    for (; at < number.size() && isDigit(number[at]); ++at, ++digits) {
        magnitude = std::min(kHugeCount, magnitude * 10 + (number[at].unicode() - u'0'));
    }

    // The fraction decides the rounding from its digits, so that 2.5 is an exact half and
    // 2.5000001 is not, without the error of a binary fraction.
    enum class Fraction { Zero, BelowHalf, Half, AboveHalf } fraction = Fraction::Zero;
    if (at < number.size() && number[at] == u'.') {
        ++at;
        bool first = true;
        for (; at < number.size() && isDigit(number[at]); ++at, ++digits) {
            const int d = number[at].unicode() - u'0';
            if (first) {
                fraction = d > 5    ? Fraction::AboveHalf
                           : d == 5 ? Fraction::Half
                           : d > 0  ? Fraction::BelowHalf
                                    : Fraction::Zero;
                first = false;
            } else if (d != 0) {
                if (fraction == Fraction::Half) {
                    fraction = Fraction::AboveHalf;
                } else if (fraction == Fraction::Zero) {
                    fraction = Fraction::BelowHalf;
                }
            }
        }
    }
    if (digits == 0 || at != number.size()) {
        return std::nullopt;
    }

    const bool roundUp =
        fraction == Fraction::AboveHalf || (fraction == Fraction::Half && magnitude % 2 == 1);
    if (roundUp) {
        magnitude = std::min(kHugeCount, magnitude + 1);
    }
    return negative ? -magnitude : magnitude;
}

} // namespace loomara
