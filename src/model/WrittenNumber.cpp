#include "model/WrittenNumber.h"

#include <algorithm>
#include <cmath>

namespace loomara {

namespace {

// Enough that no bound of ours loses a digit that matters, few enough to read at a glance.
constexpr int kBoundDigits = 6;

bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The bound as it is shown, read back, so that what is enforced is what the message says.
double shownBound(double bound) {
    return plainNumber(bound, kBoundDigits).toDouble();
}

} // namespace

std::optional<double> readNumber(QStringView text, const NumberBounds& bounds) {
    const qsizetype point = text.indexOf(u'.');
    const bool digits = std::count_if(text.begin(), text.end(), isDigit) > 0;
    const bool plain =
        std::all_of(text.begin(), text.end(), [](QChar c) { return isDigit(c) || c == u'.'; }) &&
        text.count(u'.') <= 1;
    if (!digits || !plain || (bounds.whole && point >= 0)) {
        return std::nullopt;
    }
    bool read = false;
    const double number = text.toString().toDouble(&read);
    const double least = shownBound(bounds.least);
    if (!read || !std::isfinite(number) || number < least ||
        (bounds.aboveLeast && number == least) || number > shownBound(bounds.most)) {
        return std::nullopt;
    }
    return number;
}

QString boundsText(const NumberBounds& bounds, QStringView unit) {
    const QString least = plainNumber(bounds.least, kBoundDigits) + unit.toString();
    const QString most = plainNumber(bounds.most, kBoundDigits) + unit.toString();
    return bounds.aboveLeast ? QStringLiteral("above %1 and at most %2").arg(least, most)
                             : QStringLiteral("from %1 to %2").arg(least, most);
}

QString numberForm(const NumberBounds& bounds) {
    return bounds.whole ? QStringLiteral("in digits only")
                        : QStringLiteral("in plain digits with no sign or exponent");
}

QString plainNumber(double number, int significant) {
    if (number == 0 || !std::isfinite(number)) {
        return QStringLiteral("0");
    }
    // Rounded to its significant digits first, then written out in full.
    const double rounded = QString::number(number, 'g', significant).toDouble();
    const int magnitude = static_cast<int>(std::floor(std::log10(std::abs(rounded))));
    QString text = QString::number(rounded, 'f', std::max(0, significant - 1 - magnitude));
    if (text.contains(u'.')) {
        while (text.endsWith(u'0')) {
            text.chop(1);
        }
        if (text.endsWith(u'.')) {
            text.chop(1);
        }
    }
    return text;
}

} // namespace loomara
