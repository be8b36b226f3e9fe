// The studio's export and print commands, and reading a sett from a photograph.
#include "studio/Studio.h"

#include "io/OpenBackground.h"
#include "io/SaveFile.h"
#include "model/ShownText.h"
#include "model/SystemColours.h"
#include "photo/PictureReading.h"
#include "sett/SettText.h"

#include <QDir>
#include <QFileInfo>

namespace loomara {

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kInchesPerMetre = 100 / 2.54;
// A cloth of unknown density is printed as the screen shows it at zoom 1: 96 pixels to the inch.
constexpr double kTwipsPerScreenPixel = 15;

// What the cloth's files are called in titles and messages.
QString clothWhat(Drawing drawing) {
    return drawing == Drawing::AsWoven ? QStringLiteral("cloth as woven") : QStringLiteral("cloth");
}

QString capitalised(QString text) {
    if (!text.isEmpty()) {
        text[0] = text[0].toUpper();
    }
    return text;
}

} // namespace

RenderRequest Studio::request(Drawing drawing, PictureFormat format) const {
    RenderRequest request;
    request.sett = state_.woven;
    // A draft is titled as the tool titles it: an entry by its name, a written sett as written.
    request.title =
        state_.source == SettSource::Written ? state_.wovenText.simplified() : state_.name;
    request.drawing = drawing;
    request.format = format;
    request.scale = drawing == Drawing::Cloth ? state_.exportScale : 1;
    request.repeats = state_.exportRepeats;
    request.weave = state_.weave;
    request.threadsPerMetre = threadsPerMetre();
    if (drawing == Drawing::AsWoven) {
        request.look = chosenLook(lookChoice(), state_.weave).look;
    }
    request.credits = draftCredits(draftDate());
    return request;
}

std::optional<QString> Studio::whyNotShown() const {
    if (state_.problem) {
        return QStringLiteral("the sett in the field does not read; the line under it says what "
                              "to mend");
    }
    if (state_.sett.stripes.isEmpty()) {
        return QStringLiteral("there is no sett yet: type one in the field");
    }
    return std::nullopt;
}

Outcome Studio::write(CommonDialog& dialog, const QString& what, const QString& filter,
                      const QStringList& endings, const Bytes& bytes) {
    if (const std::optional<QString> why = whyNotShown()) {
        return {Outcome::Result::Failed,
                QStringLiteral("The %1 cannot be written: %2.").arg(what, *why)};
    }
    dialog.setDialogTitle(QStringLiteral("Export the %1").arg(what));
    dialog.setFilter(filter);
    dialog.setFilterIndex(1);
    const QString stem = state_.name.isEmpty() ? QStringLiteral("sett") : state_.name;
    dialog.setFileName(stem + u'.' + endings.constFirst());
    if (dialog.showSave() == DialogResult::Cancelled || dialog.fileName().isEmpty()) {
        return {};
    }
    QString fileName = dialog.fileName();
    qsizetype ending = endings.indexOf(QFileInfo(fileName).suffix().toLower());
    if (ending < 0) {
        // A name typed without its ending takes the one of the file type chosen.
        ending = std::clamp<qsizetype>(dialog.filterIndex() - 1, 0, endings.size() - 1);
        fileName += u'.' + endings[ending];
    }
    const auto failed = [&](const QString& problem) {
        return Outcome{Outcome::Result::Failed,
                       shownText(QStringLiteral("The %1 could not be saved as \"%2\": %3. Nothing "
                                                "was written; a file already there is unchanged.")
                                     .arg(what, QDir::toNativeSeparators(fileName), problem))};
    };
    const std::variant<QByteArray, QString> made = bytes(ending);
    if (const QString* problem = std::get_if<QString>(&made)) {
        return failed(*problem);
    }
    if (const std::optional<QString> problem =
            saveFile(std::get<QByteArray>(made), fileName, what)) {
        return failed(*problem);
    }
    return {Outcome::Result::Done,
            shownText(QStringLiteral("%1 saved as \"%2\".")
                          .arg(capitalised(what), QDir::toNativeSeparators(fileName)))};
}

namespace {

std::variant<QByteArray, QString> renderedBytes(const RenderRequest& request) {
    Rendered rendered = render(request, desktopColours());
    if (rendered.refusal) {
        return rendered.refusal->message;
    }
    if (rendered.failure) {
        return *rendered.failure;
    }
    return std::move(rendered.bytes);
}

} // namespace

Outcome Studio::readPhoto(CommonDialog& dialog) {
    const QStringList patterns = readablePicturePatterns();
    dialog.setDialogTitle(QStringLiteral("Read a photo of the cloth"));
    dialog.setFilter(QStringLiteral("Pictures (%1)|%2|All files (*)|*")
                         .arg(patterns.join(u' '), patterns.join(u';')));
    dialog.setFilterIndex(1);
    // The dialog is shared with the exports: their last name is no picture.
    dialog.setFileName(QString());
    if (dialog.showOpen() == DialogResult::Cancelled || dialog.fileName().isEmpty()) {
        return {};
    }
    const QString fileName = QDir::toNativeSeparators(dialog.fileName());
    const PictureReading reading = readSettFromFile(dialog.fileName());
    if (!reading.ok()) {
        return {Outcome::Result::Failed,
                shownText(QStringLiteral("No sett was read from \"%1\": %2.")
                              .arg(fileName, reading.refusal))};
    }
    loadText(writtenForm(*reading.sett), QString(), SettSource::Written, QString());
    state_.status = shownText(QStringLiteral("Read from \"%1\": %2.")
                                  .arg(fileName, reading.notes().join(QStringLiteral("; "))));
    return {Outcome::Result::Done, state_.status};
}

Outcome Studio::exportCloth(CommonDialog& dialog) {
    const Drawing drawing = clothDrawing();
    return write(dialog, clothWhat(drawing),
                 QStringLiteral("PNG picture (*.png)|*.png|24-bit bitmap (*.bmp)|*.bmp"),
                 {QStringLiteral("png"), QStringLiteral("bmp")}, [this, drawing](qsizetype ending) {
                     return renderedBytes(request(drawing, ending == 0 ? PictureFormat::Png
                                                                       : PictureFormat::Bitmap));
                 });
}

Outcome Studio::exportDraft(CommonDialog& dialog) {
    return write(dialog, QStringLiteral("draft"), QStringLiteral("Weaving draft (*.wif)|*.wif"),
                 {QStringLiteral("wif")},
                 [this](qsizetype) { return renderedBytes(request(Drawing::Draft, {})); });
}

Outcome Studio::exportYarn(CommonDialog& dialog) {
    if (!state_.yarnPlan && !whyNotShown()) {
        return {Outcome::Result::Failed,
                QStringLiteral("The yarn table cannot be written: %1").arg(state_.yarnProblem)};
    }
    return write(dialog, QStringLiteral("yarn table"),
                 QStringLiteral("Comma-separated values (*.csv)|*.csv"), {QStringLiteral("csv")},
                 [this](qsizetype) -> std::variant<QByteArray, QString> {
                     return yarnCsv(*state_.yarnPlan, state_.yarnHeading);
                 });
}

Outcome Studio::printCloth(CommonDialog& dialog, Printer& printer) {
    const Drawing drawing = clothDrawing();
    const QString what = clothWhat(drawing);
    if (const std::optional<QString> why = whyNotShown()) {
        return {Outcome::Result::Failed,
                QStringLiteral("The %1 cannot be printed: %2.").arg(what, *why)};
    }
    RenderRequest cloth = request(drawing, PictureFormat::Png);
    cloth.scale = 1;
    const Rendered drawn = renderClothPicture(cloth);
    if (!drawn.ok()) {
        return {Outcome::Result::Failed,
                QStringLiteral("The %1 cannot be printed: %2.")
                    .arg(what, drawn.refusal ? drawn.refusal->message : *drawn.failure)};
    }
    if (dialog.showPrinter() == DialogResult::Cancelled) {
        return {};
    }
    printer.setOrientation(dialog.orientation());
    // At its true size when the density is known: a thread is 1/density long on the page, and a
    // pixel of the cloth as woven 1/(its pixels to the metre), the density being a kilt's unless
    // given.
    const double tpm = threadsPerMetre();
    const double twipsPerPixel = drawing == Drawing::AsWoven ? kTwipsPerInch * kInchesPerMetre /
                                                                   (cloth.look.pixelsPerMm * 1000)
                                 : tpm > 0 ? kTwipsPerInch * kInchesPerMetre / tpm
                                           : kTwipsPerScreenPixel * state_.exportScale;
    std::optional<QString> problem =
        printer.paintPicture(drawn.picture, 0.0f, 0.0f, drawn.picture.width() * twipsPerPixel,
                             drawn.picture.height() * twipsPerPixel);
    if (!problem) {
        problem = printer.endDoc();
    }
    if (problem) {
        return {Outcome::Result::Failed,
                QStringLiteral("The %1 could not be printed: %2.").arg(what, *problem)};
    }
    return {Outcome::Result::Done, QStringLiteral("The %1 was sent to the printer.").arg(what)};
}

} // namespace loomara
