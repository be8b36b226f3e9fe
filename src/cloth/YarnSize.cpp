#include "cloth/YarnSize.h"

#include "model/ShownText.h"
#include "model/WrittenNumber.h"

#include <QRegularExpression>

#include <algorithm>
#include <array>
#include <cmath>

namespace loomara {

namespace {

// A yarn's width across in inches is 1 / (k sqrt(yards to the pound)): the yarn's cross-section
// grows with its weight per length, and k holds how densely its fibres pack, looser in a woollen
// yarn than in a worsted one.
constexpr double kWorstedPacking = 0.9;
constexpr double kWoollenPacking = 0.84;
constexpr double kMmPerInch = 25.4;
// Metres to the gram in yards to the pound: 453.59237 g / 0.9144 m.
constexpr double kYardsPerPoundPerMetric = 453.59237 / 0.9144;

struct CountSystem {
    const char* name;
    double yardsPerPound; // for a count of 1
    double packing;
};

constexpr std::array<CountSystem, 3> kSystems{{
    {"Nm", kYardsPerPoundPerMetric, kWorstedPacking},
    {"NeW", 560, kWorstedPacking},
    {"YSW", 256, kWoollenPacking},
}};

constexpr int kMostPlies = 20;
constexpr double kFinestCount = 1000;

double widthMm(double yardsPerPound, double packing) {
    return kMmPerInch / (packing * std::sqrt(yardsPerPound));
}

} // namespace

std::variant<double, QString> yarnWidthMm(QStringView count) {
    static const QRegularExpression form(
        QStringLiteral(R"(^\s*([A-Za-z]+)(?![A-Za-z])\s*(?:([^\s/]+)\s*/\s*)?([^\s/]+)\s*$)"));
    const QRegularExpressionMatch match = form.match(count.toString());
    const QString how = QStringLiteral("write a yarn size as a count such as Nm 2/28 (metric), "
                                       "NeW 2/48 (worsted) or YSW 12 (Yorkshire woollen)");
    if (!match.hasMatch()) {
        return QStringLiteral("the yarn size \"%1\" does not read; %2.").arg(echoed(count), how);
    }
    const CountSystem* system = nullptr;
    for (const CountSystem& s : kSystems) {
        if (match.capturedView(1).compare(QLatin1String(s.name), Qt::CaseInsensitive) == 0) {
            system = &s;
        }
    }
    if (!system) {
        return QStringLiteral("the yarn count system \"%1\" is not known; %2.")
            .arg(echoed(match.capturedView(1)), how);
    }
    const NumberBounds plyBounds{1, kMostPlies, false, true};
    const std::optional<double> plies =
        match.hasCaptured(2) ? readNumber(match.capturedView(2), plyBounds) : 1.0;
    if (!plies) {
        return QStringLiteral("the plies of a yarn are a whole number %1, %2, not \"%3\".")
            .arg(boundsText(plyBounds), numberForm(plyBounds), echoed(match.capturedView(2)));
    }
    const NumberBounds countBounds{0, kFinestCount, true};
    const std::optional<double> single = readNumber(match.capturedView(3), countBounds);
    if (!single) {
        return QStringLiteral("the counts spun are %1, %2, not \"%3\".")
            .arg(boundsText(countBounds), numberForm(countBounds), echoed(match.capturedView(3)));
    }
    return widthMm(system->yardsPerPound * *single / *plies, system->packing);
}

double firmYarnWidthMm(double threadsPerMm, const Weave& weave) {
    // An end of one round of the draw crosses where it is up on one pick and down on the next,
    // round the picks, treadled as drawn.
    const QList<int>& draw = weave.draw;
    const qsizetype round = draw.size();
    qsizetype crossings = 0;
    for (const int shaft : draw) {
        for (qsizetype pick = 0; pick < round; ++pick) {
            crossings +=
                weave.lifts(draw[pick], shaft) != weave.lifts(draw[(pick + 1) % round], shaft);
        }
    }
    const double threads = static_cast<double>(round * round);
    return round == 0 ? 1 / threadsPerMm : threads / ((threads + crossings) * threadsPerMm);
}

QString metricTwoPlyCount(double widthMm) {
    const double yardsPerPound = std::pow(kMmPerInch / (kWorstedPacking * widthMm), 2);
    const double metric = yardsPerPound / kYardsPerPoundPerMetric;
    // A coarse yarn's count to two figures, as the steps between whole counts are wide there
    // (a rope's count is a small fraction, which a tenth would round to nothing).
    const double single = 2 * metric;
    if (single >= 10) {
        return QStringLiteral("Nm 2/%1").arg(std::lround(single));
    }
    const int decimals = std::max(1, 1 - static_cast<int>(std::floor(std::log10(single))));
    QString count = QString::number(single, 'f', decimals);
    while (count.endsWith(u'0')) {
        count.chop(1);
    }
    if (count.endsWith(u'.')) {
        count.chop(1);
    }
    return QStringLiteral("Nm 2/") + count;
}

} // namespace loomara
