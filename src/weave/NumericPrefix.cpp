#include "weave/NumericPrefix.h"

namespace loomara {

double numericPrefix(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == QLatin1Char(' ') || text[i] == QLatin1Char('\t'))) {
        ++i;
    }
    const qsizetype start = i;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        ++i;
    }
    const auto isDigit = [&](qsizetype at) {
        return at < n && text[at] >= QLatin1Char('0') && text[at] <= QLatin1Char('9');
    };
    bool digits = false;
    while (isDigit(i)) {
        ++i;
        digits = true;
    }
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (isDigit(i)) {
            ++i;
            digits = true;
        }
    }
    if (!digits) {
        return 0.0;
    }
    // Too many digits for a double read as infinity, which still compares the right way.
    return text.mid(start, i - start).toDouble();
}

} // namespace loomara
