#include "render/Render.h"

#include "cloth/Cloth.h"
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

std::variant<QImage, Rendered> clothImage(const ClothThreads& threads, int scale) {
    const long long pixels =
        static_cast<long long>(threads.warp.size()) * threads.weft.size() * scale * scale;
    if (pixels > kMostClothPixels) {
        return refused(QStringLiteral("the cloth picture would be %1 x %2 pixels, more than the "
                                      "%3 a picture may hold; weave fewer repeats or a smaller "
                                      "scale.")
                           .arg(threads.warp.size() * scale)
                           .arg(threads.weft.size() * scale)
                           .arg(kMostClothPixels));
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

Rendered renderClothPicture(const RenderRequest& request) {
    const ClothPlan plan =
        clothThreads(request.sett, request.repeats, request.shadeSteps, request.weave);
    if (!plan.ok()) {
        return refused(QStringLiteral("the sett cannot be woven as cloth: ") + *plan.refusal);
    }
    std::variant<QImage, Rendered> drawn = clothImage(plan.threads, request.scale);
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
    } else if (request.drawing == Drawing::Cloth) {
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
    const QImage scaled = scaledPicture(rendered.picture, request.scale);
    if (scaled.isNull()) {
        return failed(QStringLiteral("there is not enough memory to draw it at that scale"));
    }
    // A cloth of known density is printed at its true size; the designer's picture, as the
    // window saves it, at the screen's.
    const int pixelsPerMetre =
        request.drawing == Drawing::Cloth && request.threadsPerMetre > 0
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
