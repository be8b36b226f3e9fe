#include "cloth/YarnPlan.h"

#include "model/ShownText.h"
#include "model/WrittenNumber.h"

#include <cmath>

namespace loomara {

namespace {

// Every unit in tenths of a millimetre, a whole number each: a width in inches at a density per
// inch then counts its threads exactly, and 12.5 threads round up as written.
double tenthsOfMm(LengthUnit unit) {
    switch (unit) {
    case LengthUnit::Centimetre:
        return 100;
    case LengthUnit::Metre:
        return 10'000;
    case LengthUnit::Inch:
        return 254;
    case LengthUnit::Yard:
        return 9144;
    }
    return 0;
}

QString unitName(LengthUnit unit) {
    switch (unit) {
    case LengthUnit::Centimetre:
        return QStringLiteral("cm");
    case LengthUnit::Metre:
        return QStringLiteral("m");
    case LengthUnit::Inch:
        return QStringLiteral("in");
    case LengthUnit::Yard:
        return QStringLiteral("yd");
    }
    return {};
}

// What a refusal of a measure says of its form, after naming what it takes.
QString measureForm(const NumberBounds& bounds) {
    return QStringLiteral("the number ") + numberForm(bounds);
}

// The text split into its number and the unit that ends it, the first of `units` that does; no
// unit when none does.
std::pair<QStringView, std::optional<LengthUnit>>
numberAndUnit(QStringView text, std::initializer_list<std::pair<LengthUnit, QStringView>> units) {
    for (const auto& [unit, written] : units) {
        // "m" ends "cm" too: the longer of two endings is listed first. A unit follows the
        // number's last digit or point: "5mm" ends in no unit of these.
        if (text.size() <= written.size() || !text.endsWith(written)) {
            continue;
        }
        const QStringView before = text.chopped(written.size());
        if (before.back().isDigit() || before.back() == u'.') {
            return {before, unit};
        }
    }
    return {text, std::nullopt};
}

QString shownNumber(double amount) {
    return plainNumber(amount, 12);
}

QString metresText(long long cm) {
    return QStringLiteral("%1.%2").arg(cm / 100).arg(cm % 100, 2, 10, QLatin1Char('0'));
}

YarnPlan refused(const QString& why) {
    YarnPlan plan;
    plan.refusal = why;
    return plan;
}

// The threads a length at a density holds, or why it holds none or too many to be a cloth.
std::variant<long long, QString> threadCount(Length length, Density density, const QString& way,
                                             const QString& threads) {
    const double exact = threadsIn(length, density);
    if (!(exact <= static_cast<double>(kMostYarnThreads))) {
        return QStringLiteral("the %1 %2 at %3 makes %4 %5, more than the %6 a plan counts; "
                              "check the %1 and the density.")
            .arg(way, length.written(), density.written(), QString::number(exact, 'f', 0), threads)
            .arg(kMostYarnThreads);
    }
    const long long count = std::llround(exact);
    if (count < 1) {
        return QStringLiteral("the %1 %2 at %3 holds no %4.")
            .arg(way, length.written(), density.written(), threads);
    }
    return count;
}

// Counts the threads of each colour that `threads` threads of the sett hold, adding them through
// `share` to the plan's line of that colour; a colour not yet in the plan joins it at its first
// thread.
template <typename Share>
std::variant<YarnCut, QString> cutThreads(const Sett& sett, long long threads, YarnPlan& plan,
                                          Share share) {
    YarnCut cut;
    cut.threads = threads;
    cut.perRepeat = threadsPerRepeat(sett);
    if (sett.stripes.isEmpty() || cut.perRepeat < 1) {
        return QStringLiteral("it has no threads to count.");
    }
    cut.wholeRepeats = threads / cut.perRepeat;
    cut.lastRepeatThreads = threads % cut.perRepeat;
    long long before = 0; // threads of the repeat ahead of this stripe
    for (const qsizetype i : repeatOrder(sett)) {
        const SettStripe& stripe = sett.stripes[i];
        const long long count = std::max(stripe.count, 0);
        const long long used =
            cut.wholeRepeats * count + std::clamp(cut.lastRepeatThreads - before, 0LL, count);
        before += count;
        if (used == 0) {
            continue;
        }
        auto line = std::find_if(plan.lines.begin(), plan.lines.end(), [&](const YarnLine& l) {
            return l.code == stripe.code && l.colour == stripe.colour;
        });
        if (line == plan.lines.end()) {
            plan.lines.append({stripe.code, stripe.colour});
            line = plan.lines.end() - 1;
        }
        share(*line, used);
    }
    return cut;
}

} // namespace

double Length::metres() const {
    return amount * tenthsOfMm(unit) / 10'000;
}

QString Length::written() const {
    return shownNumber(amount) + unitName(unit);
}

QString Density::written() const {
    return shownNumber(threads) + u'/' + unitName(per);
}

double threadsIn(Length length, Density density) {
    return length.amount * density.threads * tenthsOfMm(length.unit) / tenthsOfMm(density.per);
}

std::variant<Length, QString> readLength(QStringView text) {
    const auto [number, unit] = numberAndUnit(text, {{LengthUnit::Centimetre, u"cm"},
                                                     {LengthUnit::Metre, u"m"},
                                                     {LengthUnit::Inch, u"in"},
                                                     {LengthUnit::Yard, u"yd"}});
    if (!unit) {
        return QStringLiteral("\"%1\" is not a length: write a number and its unit, cm, m, in or "
                              "yd, the number %2, e.g. 28in, 8yd, 150cm or 0.5m.")
            .arg(echoed(text), numberForm({}));
    }
    const NumberBounds bounds{0, kLongestLength * 10'000 / tenthsOfMm(*unit)};
    const std::optional<double> amount = readNumber(number, bounds);
    if (!amount) {
        return QStringLiteral("\"%1\" is not a length %2, %3.")
            .arg(echoed(text), boundsText(bounds, unitName(*unit)), measureForm(bounds));
    }
    return Length{*amount, *unit};
}

double Density::threadsPer(LengthUnit unit) const {
    return threads * tenthsOfMm(unit) / tenthsOfMm(per);
}

std::variant<Density, QString> readDensity(QStringView text) {
    const auto [number, per] =
        numberAndUnit(text, {{LengthUnit::Centimetre, u"/cm"}, {LengthUnit::Inch, u"/in"}});
    if (!per) {
        return QStringLiteral("\"%1\" is not a density: write threads per cm or per inch, the "
                              "number %2, e.g. 12/cm or 56/in.")
            .arg(echoed(text), numberForm({}));
    }
    const NumberBounds bounds{0, Density{kDensestThreads}.threadsPer(*per), true};
    const std::optional<double> threads = readNumber(number, bounds);
    if (!threads) {
        return QStringLiteral("\"%1\" is not a density %2, %3.")
            .arg(echoed(text), boundsText(bounds, u'/' + unitName(*per)), measureForm(bounds));
    }
    return Density{*threads, *per};
}

std::variant<double, QString> readPercentage(QStringView text) {
    const NumberBounds bounds{0, 100};
    const std::optional<double> percent =
        text.endsWith(u'%') ? readNumber(text.chopped(1), bounds) : std::nullopt;
    if (!percent) {
        return QStringLiteral("\"%1\" is not a percentage %2, %3, e.g. 10%.")
            .arg(echoed(text), boundsText(bounds, u"%"), measureForm(bounds));
    }
    return *percent / 100;
}

QStringList yarnNotes(const YarnPlan& plan) {
    const auto note = [](QStringView way, const YarnCut& cut, QStringView one, QStringView many) {
        const QString threads = counted(cut.perRepeat, one, many);
        if (cut.lastRepeatThreads == 0) {
            return QStringLiteral("the %1 holds exactly %2 of %3.")
                .arg(way, counted(cut.wholeRepeats, u"repeat", u"repeats"), threads);
        }
        return QStringLiteral("the %1 holds %2 of %3 and %4 of the next.")
            .arg(way, counted(cut.wholeRepeats, u"whole repeat", u"whole repeats"), threads,
                 counted(cut.lastRepeatThreads, one, many));
    };
    return {note(u"width", plan.warp, u"end", u"ends"),
            note(u"length", plan.weft, u"pick", u"picks")};
}

YarnPlan yarnPlan(const Sett& sett, const ClothOrder& order) {
    const auto ends =
        threadCount(order.width, order.density, QStringLiteral("width"), QStringLiteral("ends"));
    const auto picks = threadCount(order.length, order.weftDensity, QStringLiteral("length"),
                                   QStringLiteral("picks"));
    for (const auto* count : {&ends, &picks}) {
        if (const QString* why = std::get_if<QString>(count)) {
            return refused(*why);
        }
    }
    YarnPlan plan;
    const double warpCmPerEnd = (order.length.metres() + order.waste.metres()) * 100;
    const double weftCmPerPick = order.width.metres() * (1 + order.takeUp) * 100;
    const auto warp =
        cutThreads(sett, std::get<long long>(ends), plan, [&](YarnLine& line, long long used) {
            line.ends += used;
            line.warpCm = std::llround(static_cast<double>(line.ends) * warpCmPerEnd);
        });
    if (const QString* why = std::get_if<QString>(&warp)) {
        return refused(QStringLiteral("the sett: ") + *why);
    }
    const auto weft = cutThreads(
        sett.weft(), std::get<long long>(picks), plan, [&](YarnLine& line, long long used) {
            line.picks += used;
            line.weftCm = std::llround(static_cast<double>(line.picks) * weftCmPerPick);
        });
    if (const QString* why = std::get_if<QString>(&weft)) {
        return refused(QStringLiteral("the weft: ") + *why);
    }
    plan.warp = std::get<YarnCut>(warp);
    plan.weft = std::get<YarnCut>(weft);
    plan.total.code = QStringLiteral("total");
    for (const YarnLine& line : plan.lines) {
        plan.total.ends += line.ends;
        plan.total.picks += line.picks;
        plan.total.warpCm += line.warpCm;
        plan.total.weftCm += line.weftCm;
    }
    return plan;
}

QString yarnHeading(const QString& title, const ClothOrder& order, bool handbookWaste,
                    bool handbookTakeUp) {
    const QString handbook = QStringLiteral(" (handbook default)");
    return QStringLiteral("%1; %2 wide at %3; %4 long at %5; loom waste %6 per end%7; weft "
                          "take-up %8%%9; yarn in metres")
        .arg(title, order.width.written(), order.density.written(), order.length.written(),
             order.weftDensity.written(), order.waste.written(),
             handbookWaste ? handbook : QString(), shownNumber(order.takeUp * 100),
             handbookTakeUp ? handbook : QString());
}

namespace {

QString csvField(const QString& field) {
    if (!field.contains(u',') && !field.contains(u'"') && !field.contains(u'\n')) {
        return field;
    }
    return u'"' + QString(field).replace(u'"', QStringLiteral("\"\"")) + u'"';
}

QString csvRow(const QStringList& row) {
    QStringList quoted;
    for (const QString& field : row) {
        quoted.append(csvField(field));
    }
    return quoted.join(u',') + QStringLiteral("\r\n");
}

// The names of the table's columns, on the terminal and in the CSV alike.
QStringList columnNames() {
    return {QStringLiteral("code"),   QStringLiteral("colour"), QStringLiteral("ends"),
            QStringLiteral("picks"),  QStringLiteral("warp m"), QStringLiteral("weft m"),
            QStringLiteral("total m")};
}

} // namespace

QStringList yarnFields(const YarnLine& line, bool total) {
    return {line.code,
            total ? QString()
                  : QStringLiteral("%1,%2,%3")
                        .arg(line.colour.red)
                        .arg(line.colour.green)
                        .arg(line.colour.blue),
            QString::number(line.ends),
            QString::number(line.picks),
            metresText(line.warpCm),
            metresText(line.weftCm),
            metresText(line.totalCm())};
}

QString yarnTable(const YarnPlan& plan, const QString& heading) {
    QString text = QStringLiteral("# ") + heading + u'\n';
    text += QStringLiteral("# ") + columnNames().join(u'\t') + u'\n';
    for (const YarnLine& line : plan.lines) {
        text += yarnFields(line, false).join(u'\t') + u'\n';
    }
    return text + yarnFields(plan.total, true).join(u'\t') + u'\n';
}

QByteArray yarnCsv(const YarnPlan& plan, const QString& heading) {
    QString text = csvRow({QStringLiteral("# ") + heading});
    text += csvRow(columnNames());
    for (const YarnLine& line : plan.lines) {
        text += csvRow(yarnFields(line, false));
    }
    return (text + csvRow(yarnFields(plan.total, true))).toUtf8();
}

} // namespace loomara
