#include "render/Render.h"

#include "cloth/AsWoven.h"
#include "cloth/Cloth.h"
#include "cloth/YarnSize.h"
#include "entry/Designer.h"
#include "entry/EnterSett.h"
#include "formats/PictureFiles.h"
#include "formats/ScaledPicture.h"
#include "model/ShownText.h"

#include <QDate>
#include <QLocale>

#include <cmath>
#include <variant>

namespace loomara {

namespace {

Rendered refused(const QString& message, int character = 0, const QString& reason = {}) {
    Rendered rendered;
    rendered.refusal = SettRefusal{message, character, reason};
    return rendered;
}

Rendered failed(const QString& problem) {
    Rendered rendered;
    rendered.failure = problem;
    return rendered;
}

std::variant<QImage, Rendered> designerPicture(const RenderRequest& request,
                                               const DesktopColours& desktop) {
    Designer designer(desktop);
    if (const std::optional<SettRefusal> refusal =
            enterAndWeave(designer, {request.sett, request.background, request.shadeSteps})) {
        return refused(QStringLiteral("the sett cannot be entered: ") + refusal->message,
                       refusal->character, refusal->reasonAlone());
    }
    const QImage woven = designer.form.weavePicture.image();
    if (woven.isNull()) {
        long long width = 0;
        for (const SettStripe& stripe : request.sett.stripes) {
            width += stripe.count;
        }
        return refused(QStringLiteral("the sett is %1 wide, too narrow for its woven picture to "
                                      "hold a pixel; widen the sett.")
                           .arg(counted(width, u"thread", u"threads")));
    }
    return woven;
}

QString tooLarge(long long width, long long height, const QString& smaller) {
    return QStringLiteral("the cloth picture would be %1 x %2 pixels, more than the %3 a picture "
                          "may hold; weave fewer repeats or %4.")
        .arg(width)
        .arg(height)
        .arg(kMostClothPixels)
        .arg(smaller);
}

std::variant<QImage, Rendered> asWovenImage(const ClothThreads& threads, const ClothLook& look) {
    const double width = std::round(threads.warp.size() * look.pixelsPerMm / look.endsPerMm);
    const double height = std::round(threads.weft.size() * look.pixelsPerMm / look.picksPerMm);
    if (width * height > kMostClothPixels) {
        return refused(tooLarge(std::llround(width), std::llround(height),
                                QStringLiteral("fewer pixels to the millimetre")));
    }
    if (asWovenSize(threads, look).isEmpty()) {
        return refused(QStringLiteral("the cloth picture would be less than a pixel wide or high; "
                                      "give more pixels to the millimetre."));
    }
    QImage picture = asWovenPicture(threads, look);
    if (picture.isNull()) {
        return failed(QStringLiteral("there is not enough memory to draw it"));
    }
    return picture;
}

std::variant<QImage, Rendered> clothImage(const ClothThreads& threads, int scale) {
    const long long pixels =
        static_cast<long long>(threads.warp.size()) * threads.weft.size() * scale * scale;
    if (pixels > kMostClothPixels) {
        return refused(tooLarge(threads.warp.size() * scale, threads.weft.size() * scale,
                                QStringLiteral("a smaller scale")));
    }
    QImage picture = clothPicture(threads);
    if (picture.isNull()) {
        return failed(QStringLiteral("there is not enough memory to draw it"));
    }
    return picture;
}

} // namespace

DraftCredits draftCredits(const QString& date) {
    // A draft names who to ask about the program that wrote it; the project publishes no
    // address.
    return {date, QStringLiteral("loomara@example.invalid"), QStringLiteral("loomara-render"),
            QStringLiteral(LOOMARA_VERSION)};
}

QString draftDate() {
    return QLocale::c().toString(QDate::currentDate(), QStringLiteral("MMMM d, yyyy"));
}

ChosenLook chosenLook(const LookChoice& choice, const Weave& weave) {
    ChosenLook chosen;
    ClothLook& look = chosen.look;
    // To a tenth, or to three figures below one thread to the inch, which a tenth rounds to 0.
    const auto perInch = [](double perMetre) {
        const double inch = perMetre * 0.0254;
        return inch >= 1 ? QString::number(std::round(inch * 10) / 10)
                         : QString::number(inch, 'g', 3);
    };
    double endsPerMetre = choice.endsPerMetre;
    if (endsPerMetre <= 0) {
        endsPerMetre = kKiltThreadsPerMetre;
        chosen.notes << QStringLiteral("the cloth is taken at %1 threads to the inch, a kilt's; "
                                       "--threads-per-inch sets it.")
                            .arg(perInch(endsPerMetre));
    }
    const double picksPerMetre = choice.picksPerMetre > 0 ? choice.picksPerMetre : endsPerMetre;
    look.endsPerMm = endsPerMetre / 1000;
    look.picksPerMm = picksPerMetre / 1000;
    const double denser = std::max(endsPerMetre, picksPerMetre);
    double round = 0;
    if (choice.yarnSize.isEmpty()) {
        // One yarn for both ways, the thickest that weaves firm at the denser.
        round = firmYarnWidthMm(denser / 1000, weave);
    } else {
        const std::variant<double, QString> width = yarnWidthMm(choice.yarnSize);
        if (const QString* why = std::get_if<QString>(&width)) {
            chosen.refusal = QStringLiteral("--yarn-size: ") + *why;
            return chosen;
        }
        round = std::get<double>(width);
    }
    look.warpWidthMm = look.weftWidthMm = round * kFlattenedInCloth;
    const QString across =
        QStringLiteral("%1 mm across and %2 mm as it lies flattened in the cloth")
            .arg(round, 0, 'f', 2)
            .arg(look.warpWidthMm, 0, 'f', 2);
    chosen.notes
        << (choice.yarnSize.isEmpty()
                ? QStringLiteral("the yarn is taken as %1, %2, the thickest that weaves a "
                                 "firm %3 at %4 threads to the inch; --yarn-size sets it.")
                      .arg(metricTwoPlyCount(round), across, weave.title, perInch(denser))
                : QStringLiteral("the yarn %1 is %2.").arg(choice.yarnSize.simplified(), across));
    look.backing = choice.backing.value_or(kLightBacking);
    look.pixelsPerMm =
        choice.pixelsPerMm > 0
            ? choice.pixelsPerMm
            : std::ceil(kPixelsPerThread * std::max(look.endsPerMm, look.picksPerMm));
    return chosen;
}

Rendered renderClothPicture(const RenderRequest& request) {
    const ClothPlan plan =
        clothThreads(request.sett, request.repeats, request.shadeSteps, request.weave);
    if (!plan.ok()) {
        return refused(QStringLiteral("the sett cannot be woven as cloth: ") + *plan.refusal);
    }
    std::variant<QImage, Rendered> drawn = request.drawing == Drawing::AsWoven
                                               ? asWovenImage(plan.threads, request.look)
                                               : clothImage(plan.threads, request.scale);
    if (Rendered* stop = std::get_if<Rendered>(&drawn)) {
        return std::move(*stop);
    }
    Rendered rendered;
    rendered.picture = std::get<QImage>(std::move(drawn));
    return rendered;
}

Rendered render(const RenderRequest& request, const DesktopColours& desktop) {
    std::variant<QImage, Rendered> drawn;
    if (request.drawing == Drawing::Designer) {
        drawn = designerPicture(request, desktop);
    } else if (request.drawing == Drawing::Cloth || request.drawing == Drawing::AsWoven) {
        Rendered cloth = renderClothPicture(request);
        if (!cloth.ok()) {
            return cloth;
        }
        drawn = std::move(cloth.picture);
    } else {
        const ClothPlan plan =
            clothThreads(request.sett, request.repeats, request.shadeSteps, request.weave);
        if (!plan.ok()) {
            return refused(QStringLiteral("the sett cannot be drafted: ") + *plan.refusal);
        }
        WeavingDraft draft =
            weavingDraft(plan.threads, request.title, request.credits, request.threadsPerMetre);
        if (!draft.ok()) {
            return refused(QStringLiteral("the sett cannot be drafted: ") + *draft.refusal);
        }
        Rendered rendered;
        rendered.bytes = std::move(draft.bytes);
        return rendered;
    }
    if (Rendered* stop = std::get_if<Rendered>(&drawn)) {
        return std::move(*stop);
    }
    Rendered rendered;
    rendered.picture = std::get<QImage>(std::move(drawn));
    // The cloth as it will look is drawn at its own pixels to the millimetre.
    const QImage scaled = request.drawing == Drawing::AsWoven
                              ? rendered.picture
                              : scaledPicture(rendered.picture, request.scale);
    if (scaled.isNull()) {
        return failed(QStringLiteral("there is not enough memory to draw it at that scale"));
    }
    // A cloth of known density is printed at its true size; the designer's picture, as the
    // window saves it, at the screen's.
    const int pixelsPerMetre =
        request.drawing == Drawing::AsWoven ? rendered.picture.dotsPerMeterX()
        : request.drawing == Drawing::Cloth && request.threadsPerMetre > 0
            ? static_cast<int>(std::lround(request.threadsPerMetre * request.scale))
            : kScreenPixelsPerMetre;
    rendered.bytes = request.format == PictureFormat::Bitmap
                         ? bitmap24Bytes(scaled, pixelsPerMetre)
                         : pngBytes(scaled, pixelsPerMetre, request.compression);
    if (rendered.bytes.isEmpty()) {
        return failed(QStringLiteral("it could not be encoded as PNG"));
    }
    return rendered;
}

} // namespace loomara
