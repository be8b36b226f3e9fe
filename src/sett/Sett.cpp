#include "sett/Sett.h"

#include <algorithm>

namespace loomara {

namespace {

constexpr int kShadeStep = 30;

} // namespace

QList<qsizetype> repeatOrder(const Sett& sett) {
    const qsizetype n = sett.stripes.size();
    QList<qsizetype> order;
    order.reserve(n > 2 && sett.repeat == Repeat::Symmetric ? 2 * n - 2 : n);
    for (qsizetype i = 0; i < n; ++i) {
        order.append(i);
    }
    if (sett.repeat == Repeat::Symmetric) {
        for (qsizetype i = n - 2; i >= 1; --i) {
            order.append(i);
        }
    }
    return order;
}

long long threadsPerRepeat(const Sett& sett) {
    long long threads = 0;
    for (const qsizetype i : repeatOrder(sett)) {
        threads += sett.stripes[i].count;
    }
    return threads;
}

QList<qsizetype> threadStripes(const Sett& sett, int repeats) {
    const QList<qsizetype> order = repeatOrder(sett);
    QList<qsizetype> stripes;
    stripes.reserve(static_cast<qsizetype>(threadsPerRepeat(sett) * std::max(repeats, 0)));
    for (int r = 0; r < repeats; ++r) {
        for (const qsizetype i : order) {
            stripes.insert(stripes.end(), sett.stripes[i].count, i);
        }
    }
    return stripes;
}

Rgb shaded(Rgb colour, int steps) {
    // Every component is 0..255, so kMostShadeSteps presses take it to a bound whatever it was;
    // clamping the steps first keeps the product far from overflow.
    const int shift = std::clamp(steps, -kMostShadeSteps, kMostShadeSteps) * kShadeStep;
    const auto moved = [shift](int16 component) {
        return static_cast<int16>(std::clamp(component + shift, 0, 255));
    };
    return {moved(colour.red), moved(colour.green), moved(colour.blue)};
}

QString writtenForm(const Sett& sett) {
    QStringList pairs;
    const qsizetype n = sett.stripes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const SettStripe& stripe = sett.stripes[i];
        const bool pivot = sett.repeat == Repeat::Symmetric && (i == 0 || i == n - 1);
        pairs.append(stripe.code + (pivot ? QStringLiteral("/") : QString()) +
                     QString::number(stripe.count));
    }
    const QString joined = pairs.join(u' ');
    return sett.repeat == Repeat::Straight ? QStringLiteral("...") + joined + QStringLiteral("...")
                                           : joined;
}

} // namespace loomara
