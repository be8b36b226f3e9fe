#include "cloth/Cloth.h"

#include "model/ShownText.h"
#include "sett/SettText.h"

#include <cstring>

namespace loomara {

namespace {

ClothPlan refused(const QString& message) {
    ClothPlan plan;
    plan.refusal = message;
    return plan;
}

std::optional<QString> tooManyThreads(const Sett& sett, int repeats) {
    for (qsizetype i = 0; i < sett.stripes.size(); ++i) {
        if (sett.stripes[i].count < 0) {
            return QStringLiteral("stripe %1 has a negative thread count.").arg(i + 1);
        }
    }
    const long long perRepeat = threadsPerRepeat(sett);
    if (perRepeat == 0) {
        return QStringLiteral("every stripe has a thread count of 0, so there are no threads to "
                              "weave.");
    }
    // Checked in two steps so that neither sum nor product can overflow, whatever the counts.
    if (perRepeat > kMostRepeatThreads) {
        return QStringLiteral("one repeat of the sett has %1 threads each way, more than the %2 "
                              "a draft may hold.")
            .arg(perRepeat)
            .arg(kMostRepeatThreads);
    }
    const long long threads = perRepeat * repeats;
    if (threads > kMostRepeatThreads) {
        return QStringLiteral("%1 repeats of %2 make %3 threads each way, more than the %4 a "
                              "draft may hold; weave fewer repeats.")
            .arg(repeats)
            .arg(counted(perRepeat, u"thread", u"threads"))
            .arg(threads)
            .arg(kMostRepeatThreads);
    }
    return std::nullopt;
}

// The shaft or treadle of each of `threads` threads following the sett one way.
QList<int> drawnIn(const Weave& weave, const Sett& sett, qsizetype threads) {
    DrawWalk walk(weave, threadsPerRepeat(sett), turningThreads(sett));
    QList<int> drawn;
    drawn.reserve(threads);
    for (qsizetype i = 0; i < threads; ++i) {
        drawn.append(walk.next());
    }
    return drawn;
}

QList<Rgb> threadColours(const Sett& sett, int repeats, int shadeSteps) {
    QList<Rgb> stripeColours;
    for (const SettStripe& stripe : sett.stripes) {
        stripeColours.append(shaded(stripe.colour, shadeSteps));
    }
    QList<Rgb> colours;
    const QList<qsizetype> stripes = threadStripes(sett, repeats);
    colours.reserve(stripes.size());
    for (const qsizetype i : stripes) {
        colours.append(stripeColours[i]);
    }
    return colours;
}

} // namespace

ClothPlan clothThreads(const Sett& sett, int repeats, int shadeSteps, const Weave& weave) {
    if (sett.stripes.isEmpty()) {
        return refused(QStringLiteral("the sett has no stripes to weave."));
    }
    if (repeats < 1) {
        return refused(QStringLiteral("the number of repeats must be at least 1."));
    }
    if (sett.weft().stripes.isEmpty()) {
        return refused(QStringLiteral("the weft has no stripes to weave."));
    }
    for (const Sett* direction : {&sett, &sett.weft()}) {
        if (std::optional<QString> refusal = tooManyThreads(*direction, repeats)) {
            return refused(direction == &sett ? *refusal : QStringLiteral("the weft: ") + *refusal);
        }
    }
    ClothPlan plan;
    plan.threads.warp = threadColours(sett, repeats, shadeSteps);
    plan.threads.weft = threadColours(sett.weft(), repeats, shadeSteps);
    plan.threads.weave = weave;
    plan.threads.threading = drawnIn(weave, sett, plan.threads.warp.size());
    plan.threads.treadling = drawnIn(weave, sett.weft(), plan.threads.weft.size());
    return plan;
}

QList<qsizetype> turningThreads(const Sett& sett) {
    const qsizetype perRepeat = threadsPerRepeat(sett);
    if (sett.stripes.isEmpty() || perRepeat < 2) {
        return {};
    }
    if (sett.repeat == Repeat::Straight) {
        return {perRepeat - 1};
    }
    const qsizetype first = (sett.stripes.constFirst().count - 1) / 2;
    qsizetype lastStart = 0;
    for (qsizetype k = 0; k + 1 < sett.stripes.size(); ++k) {
        lastStart += sett.stripes[k].count;
    }
    const qsizetype last = lastStart + (sett.stripes.constLast().count - 1) / 2;
    const bool neighbours = last - first <= 1 || perRepeat - (last - first) <= 1;
    if (last == first || neighbours) {
        return {first};
    }
    return {first, last};
}

int repeatsThatTile(const Sett& sett, const Weave& weave) {
    constexpr int kMostRepeats = 12;
    const qsizetype warpRepeat = threadsPerRepeat(sett);
    const qsizetype weftRepeat = threadsPerRepeat(sett.weft());
    if (warpRepeat < 1 || weftRepeat < 1) {
        return 1;
    }
    DrawWalk warp(weave, warpRepeat, turningThreads(sett));
    DrawWalk weft(weave, weftRepeat, turningThreads(sett.weft()));
    for (int repeats = 1; repeats < kMostRepeats; ++repeats) {
        for (qsizetype i = 0; i < warpRepeat; ++i) {
            warp.next();
        }
        for (qsizetype i = 0; i < weftRepeat; ++i) {
            weft.next();
        }
        if (warp.atStart() && weft.atStart()) {
            return repeats;
        }
    }
    return kMostRepeats;
}

QImage clothPicture(const ClothThreads& threads) {
    const qsizetype width = threads.warp.size();
    const qsizetype height = threads.weft.size();
    if (width == 0 || height == 0 || width > INT_MAX || height > INT_MAX ||
        threads.threading.size() != width || threads.treadling.size() != height) {
        return {};
    }
    QImage picture(static_cast<int>(width), static_cast<int>(height), QImage::Format_RGB32);
    if (picture.isNull()) {
        return picture;
    }
    QList<QRgb> warp;
    warp.reserve(width);
    for (const Rgb& c : threads.warp) {
        warp.append(qRgb(c.red, c.green, c.blue));
    }
    // The ends each treadle leaves down, where its pick shows: a row is the ends, then the pick
    // over those.
    const Weave& weave = threads.weave;
    QList<QList<qsizetype>> down(weave.treadles());
    for (int treadle = 1; treadle <= weave.treadles(); ++treadle) {
        for (qsizetype x = 0; x < width; ++x) {
            if (!weave.lifts(treadle, threads.threading[x])) {
                down[treadle - 1].append(x);
            }
        }
    }
    for (qsizetype y = 0; y < height; ++y) {
        const Rgb& c = threads.weft[y];
        const QRgb weft = qRgb(c.red, c.green, c.blue);
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(static_cast<int>(y)));
        std::memcpy(row, warp.constData(), static_cast<std::size_t>(width) * sizeof(QRgb));
        for (const qsizetype x : down.value(threads.treadling[y] - 1)) {
            row[x] = weft;
        }
    }
    return picture;
}

} // namespace loomara
