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

// The picture below writes the twill row by row without asking endRaised(); this is the rule it
// follows.
static_assert(endRaised(1, 1) && endRaised(2, 1) && !endRaised(3, 1) && !endRaised(4, 1) &&
              endRaised(2, 2) && !endRaised(1, 2) && endRaised(1, 4) && !endRaised(2, 4));

ClothPlan clothThreads(const Sett& sett, int repeats, int shadeSteps) {
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
    return plan;
}

QImage clothPicture(const ClothThreads& threads) {
    const qsizetype width = threads.warp.size();
    const qsizetype height = threads.weft.size();
    if (width == 0 || height == 0 || width > INT_MAX || height > INT_MAX) {
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
    for (qsizetype y = 0; y < height; ++y) {
        const Rgb& c = threads.weft[y];
        const QRgb weft = qRgb(c.red, c.green, c.blue);
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(static_cast<int>(y)));
        // The ends all show, then the pick covers the two ends in four that stay down: end
        // x + 1 is down on pick y + 1 when x - y is 2 or 3 round the four shafts.
        std::memcpy(row, warp.constData(), static_cast<std::size_t>(width) * sizeof(QRgb));
        for (qsizetype x = (y + 2) % kShafts - kShafts; x < width; x += kShafts) {
            if (x >= 0) {
                row[x] = weft;
            }
            if (x + 1 >= 0 && x + 1 < width) {
                row[x + 1] = weft;
            }
        }
    }
    return picture;
}

} // namespace loomara
