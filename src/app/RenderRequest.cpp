#include "app/RenderRequest.h"

#include "io/SaveFile.h"
#include "model/ShownText.h"
#include "model/WrittenNumber.h"
#include "palette/PaletteSwatch.h"
#include "photo/PictureReading.h"
#include "sett/Colourway.h"
#include "sett/SettText.h"

#include <QDir>
#include <QFileInfo>

namespace loomara {

namespace {

constexpr int kLargestScale = 8;
// A thread of a fine cloth, 0.2 mm, still has 20 pixels at the most.
constexpr double kMostPixelsPerMm = 100;

RenderStop settRefused(const AskedSettRefusal& refusal) {
    return renderRefused(refusal.message + (refusal.unknownName
                                                ? QStringLiteral(". --list prints every "
                                                                 "name.")
                                                : QString()),
                         caretLines(refusal.shownLine, refusal.character));
}

// Why the arguments give no one sett, written, by --name or from a picture.
std::optional<RenderStop> noOneSett(const QStringList& setts, bool named, bool pictured) {
    if (pictured && (named || !setts.isEmpty())) {
        return renderRefused(QStringLiteral("--from-picture reads the sett from a picture; give "
                                            "no other sett with it."));
    }
    if (pictured) {
        return std::nullopt;
    }
    if (setts.size() > 1) {
        return renderRefused(QStringLiteral("give the sett as one argument; quote a sett written "
                                            "with blanks, e.g. \"K4 R24 K24 Y4\"."));
    }
    if (named && !setts.isEmpty()) {
        return renderRefused(QStringLiteral("give either a sett or --name, not both."));
    }
    if (!named && setts.isEmpty()) {
        return renderRefused(
            QStringLiteral("no sett given: write one (e.g. \"B/24 W4 B24 R2 K24 G24 "
                           "W/2\") or take one from the lists with --name \"NAME\"."));
    }
    return std::nullopt;
}

// The sett read from a photograph, told as a written one would be, with how it was read.
std::variant<AskedSett, RenderStop> pictureSett(const QString& fileName) {
    const PictureReading reading = readSettFromFile(fileName);
    if (!reading.ok()) {
        return renderRefused(QStringLiteral("--from-picture \"%1\": %2.")
                                 .arg(QDir::toNativeSeparators(fileName), reading.refusal));
    }
    const QString written = writtenForm(*reading.sett);
    // Where the sett goes into a file or a search, the notes are all that show what was read.
    return AskedSett{*reading.sett,
                     written,
                     written,
                     nullptr,
                     {},
                     QStringList{QStringLiteral("the sett read from the picture: ") + written} +
                         reading.notes()};
}

// A density in threads to the metre, from threads to the inch or to the centimetre; 0 when
// neither is given. The bounds are the sparsest and densest cloth in the unit the option takes.
std::variant<double, RenderStop> density(const QCommandLineParser& parser,
                                         const QCommandLineOption& perInch,
                                         const QCommandLineOption& perCm) {
    const bool inches = parser.isSet(perInch);
    if (!inches && !parser.isSet(perCm)) {
        return 0.0;
    }
    const QCommandLineOption& option = inches ? perInch : perCm;
    const LengthUnit per = inches ? LengthUnit::Inch : LengthUnit::Centimetre;
    const NumberBounds bounds{Density{kSparsestCloth}.threadsPer(per),
                              Density{kDensestThreads}.threadsPer(per)};
    const QString value = parser.value(option);
    const std::optional<double> threads = readNumber(value, bounds);
    if (!threads) {
        return renderRefused(
            QStringLiteral("%1 takes a number of threads %2, %3, e.g. 56 or "
                           "12.5, not \"%4\".")
                .arg(shownName(option), boundsText(bounds), numberForm(bounds), echoed(value)));
    }
    return Density{*threads, per}.threadsPer(LengthUnit::Metre);
}

// What -o names when it is no regular file: said for what it is, before the name's ending is
// judged, as nothing will be written there whatever it ends in.
std::optional<RenderStop> outputNotAFile(const QString& fileName) {
    const std::optional<QString> why = whyNotSavedOver(fileName);
    if (!why) {
        return std::nullopt;
    }
    return RenderStop{kRenderWriteFailed,
                      QStringLiteral("-o \"%1\" cannot be written: %2. -o writes regular files "
                                     "only, new or replaced; nothing was changed.")
                          .arg(QDir::toNativeSeparators(fileName), *why),
                      {}};
}

// What -o asks for: the drawing and the picture's format by the file's ending, and --cloth.
std::optional<RenderStop> readFileKind(const QCommandLineParser& parser, const RenderOptions& o,
                                       RenderRequest& r) {
    const QString fileName = parser.value(o.output);
    if (fileName.isEmpty()) {
        return renderRefused(
            QStringLiteral("no output file: give one with -o FILE, ending in .bmp, "
                           ".png or .wif."));
    }
    if (std::optional<RenderStop> stop = outputNotAFile(fileName)) {
        return stop;
    }
    const QString ending = QFileInfo(fileName).suffix().toLower();
    if (ending == u"png" || ending == u"bmp") {
        r.format = ending == u"png" ? PictureFormat::Png : PictureFormat::Bitmap;
        r.drawing = parser.isSet(o.asWoven) ? Drawing::AsWoven
                    : parser.isSet(o.cloth) ? Drawing::Cloth
                                            : Drawing::Designer;
        return std::nullopt;
    }
    if (ending != u"wif") {
        return renderRefused(
            QStringLiteral("cannot tell what to write to \"%1\": the file name must "
                           "end in .bmp, .png or .wif.")
                .arg(QDir::toNativeSeparators(fileName)));
    }
    r.drawing = Drawing::Draft;
    if (parser.isSet(o.asWoven)) {
        return renderRefused(QStringLiteral("--as-woven draws a picture; a .wif draft holds the "
                                            "cloth as threads. Give a .png or .bmp file."));
    }
    if (parser.isSet(o.cloth)) {
        return renderRefused(QStringLiteral("--cloth draws a picture; a .wif draft holds the same "
                                            "cloth as threads. Give a .png or .bmp file."));
    }
    if (parser.isSet(o.scale)) {
        return renderRefused(
            QStringLiteral("--scale is for pictures; a .wif draft has no pixels to "
                           "scale."));
    }
    return std::nullopt;
}

// The numbers and the background colour of a picture or a draft.
std::optional<RenderStop> readLook(const QCommandLineParser& parser, const RenderOptions& o,
                                   RenderRequest& r) {
    const auto brighten = wholeNumber(parser, o.brighten, 0, kMostShadeSteps, 0);
    const auto darken = wholeNumber(parser, o.darken, 0, kMostShadeSteps, 0);
    const auto scale = wholeNumber(parser, o.scale, 1, kLargestScale, 1);
    const auto repeats = wholeNumber(parser, o.repeats, 1, static_cast<int>(kMostRepeatThreads), 1);
    for (const auto* number : {&brighten, &darken, &scale, &repeats}) {
        if (const RenderStop* stop = std::get_if<RenderStop>(number)) {
            return *stop;
        }
    }
    const auto threadsPerMetre = density(parser, o.threadsPerInch, o.threadsPerCm);
    if (const RenderStop* stop = std::get_if<RenderStop>(&threadsPerMetre)) {
        return *stop;
    }
    r.shadeSteps = std::get<int>(brighten) - std::get<int>(darken);
    r.scale = std::get<int>(scale);
    r.repeats = std::get<int>(repeats);
    r.threadsPerMetre = std::get<double>(threadsPerMetre);
    const auto weave = askedWeave(parser, o);
    if (const RenderStop* stop = std::get_if<RenderStop>(&weave)) {
        return *stop;
    }
    r.weave = std::get<Weave>(weave);
    if (parser.isSet(o.background)) {
        r.background = findSwatchByCode(parser.value(o.background));
        if (r.background == nullptr) {
            return renderRefused(
                QStringLiteral("--background: \"%1\" is not a colour code of the palette.")
                    .arg(parser.value(o.background)));
        }
    }
    return std::nullopt;
}

// The cloth as it will look: the picks' density, the yarn, the backing and the picture's pixels to
// the millimetre, each given or taken, with a note on each one taken.
std::optional<RenderStop> readAsWoven(const QCommandLineParser& parser, const RenderOptions& o,
                                      PictureRequest& request) {
    LookChoice choice;
    choice.endsPerMetre = request.render.threadsPerMetre;
    const auto picks = density(parser, o.weftThreadsPerInch, o.weftThreadsPerCm);
    if (const RenderStop* stop = std::get_if<RenderStop>(&picks)) {
        return *stop;
    }
    choice.picksPerMetre = std::get<double>(picks);
    choice.yarnSize = parser.value(o.yarnSize);
    if (parser.isSet(o.yarnSize) && choice.yarnSize.trimmed().isEmpty()) {
        return renderRefused(QStringLiteral("--yarn-size needs a count, e.g. \"Nm 2/28\"."));
    }
    if (parser.isSet(o.backing)) {
        const PaletteSwatch* swatch = findSwatchByCode(parser.value(o.backing));
        if (swatch == nullptr) {
            return renderRefused(
                QStringLiteral("--backing: \"%1\" is not a colour code of the palette.")
                    .arg(parser.value(o.backing)));
        }
        choice.backing = swatch->colour();
    }
    if (parser.isSet(o.pixelsPerMm)) {
        const NumberBounds bounds{1, kMostPixelsPerMm};
        const QString value = parser.value(o.pixelsPerMm);
        const std::optional<double> pixels = readNumber(value, bounds);
        if (!pixels) {
            return renderRefused(QStringLiteral("--pixels-per-mm takes a number %1, %2, e.g. 14 "
                                                "or 9.5, not \"%3\".")
                                     .arg(boundsText(bounds), numberForm(bounds), echoed(value)));
        }
        choice.pixelsPerMm = *pixels;
    }
    ChosenLook chosen = chosenLook(choice, request.render.weave);
    if (chosen.refusal) {
        return renderRefused(*chosen.refusal);
    }
    request.render.look = chosen.look;
    request.notes += chosen.notes;
    return std::nullopt;
}

// The sett, its weft too, in the colours --recolour and --scheme ask for, in that order, so that
// a new code takes the scheme as well; its title says so, for a draft and a yarn table.
std::optional<RenderStop> giveColourway(const QCommandLineParser& parser, const RenderOptions& o,
                                        AskedSett& asked) {
    if (parser.isSet(o.recolour)) {
        const QString text = parser.value(o.recolour);
        const auto pairs = readRecolourings(text);
        if (const QString* why = std::get_if<QString>(&pairs)) {
            return renderRefused(QStringLiteral("--recolour: ") + *why);
        }
        if (const std::optional<QString> why = whyNotRecoloured(asked.sett, std::get<0>(pairs))) {
            return renderRefused(QStringLiteral("--recolour: ") + *why);
        }
        asked.sett = recoloured(std::move(asked.sett), std::get<0>(pairs));
        asked.title += QStringLiteral(", recoloured ") + text.simplified();
    }
    if (parser.isSet(o.scheme)) {
        const QString name = parser.value(o.scheme);
        const std::optional<Scheme> scheme = schemeNamed(name.trimmed());
        if (!scheme) {
            return renderRefused(QStringLiteral("--scheme: \"%1\" is not a scheme; give %2.")
                                     .arg(name, schemeNames()));
        }
        asked.sett = inScheme(std::move(asked.sett), *scheme);
        asked.title += QStringLiteral(", %1 scheme").arg(schemeName(*scheme));
    }
    return std::nullopt;
}

} // namespace

std::variant<Weave, RenderStop> askedWeave(const QCommandLineParser& parser,
                                           const RenderOptions& o) {
    if (!parser.isSet(o.weave)) {
        return defaultWeave();
    }
    const QString name = parser.value(o.weave);
    if (std::optional<Weave> weave = weaveNamed(name.trimmed())) {
        return *weave;
    }
    return renderRefused(QStringLiteral("--weave: ") + unknownWeaveReason(name) + u'.');
}

RenderStop renderRefused(const QString& why, QStringList shown) {
    return {kRenderRefused, why, std::move(shown)};
}

std::variant<int, RenderStop> wholeNumber(const QCommandLineParser& parser,
                                          const QCommandLineOption& option, int least, int most,
                                          int unset) {
    if (!parser.isSet(option)) {
        return unset;
    }
    const NumberBounds bounds{static_cast<double>(least), static_cast<double>(most), false, true};
    const QString value = parser.value(option);
    const std::optional<double> number = readNumber(value, bounds);
    if (!number) {
        return renderRefused(
            QStringLiteral("%1 takes a whole number %2, %3, not \"%4\".")
                .arg(shownName(option), boundsText(bounds), numberForm(bounds), echoed(value)));
    }
    return static_cast<int>(*number);
}

std::variant<AskedSett, RenderStop> askedSett(const QCommandLineParser& parser,
                                              const RenderOptions& o) {
    const QStringList setts = parser.positionalArguments();
    const bool named = parser.isSet(o.name);
    if (const std::optional<RenderStop> stop =
            noOneSett(setts, named, parser.isSet(o.fromPicture))) {
        return *stop;
    }
    const QString name = parser.value(o.name).trimmed();
    if (named && name.isEmpty()) {
        return renderRefused(QStringLiteral("--name needs the name of an entry of the lists."));
    }
    std::variant<AskedSett, RenderStop> sett = AskedSett{};
    if (parser.isSet(o.fromPicture)) {
        sett = pictureSett(parser.value(o.fromPicture));
    } else {
        const AskedSettReading read = named ? namedSett(name) : writtenSett(setts.first());
        if (const auto* refusal = std::get_if<AskedSettRefusal>(&read)) {
            return settRefused(*refusal);
        }
        sett = std::get<AskedSett>(read);
    }
    AskedSett* asked = std::get_if<AskedSett>(&sett);
    if (asked != nullptr && parser.isSet(o.weft)) {
        if (const std::optional<AskedSettRefusal> weft =
                giveOwnWeft(*asked, parser.value(o.weft), QStringLiteral("--weft: "))) {
            return settRefused(*weft);
        }
    }
    if (asked != nullptr) {
        if (const std::optional<RenderStop> stop = giveColourway(parser, o, *asked)) {
            return *stop;
        }
    }
    return sett;
}

std::variant<PictureRequest, RenderStop> readRequest(const QCommandLineParser& parser,
                                                     const RenderOptions& o) {
    PictureRequest request;
    RenderRequest& r = request.render;
    request.fileName = parser.value(o.output);
    if (const std::optional<RenderStop> stop = readFileKind(parser, o, r)) {
        return *stop;
    }
    if (const std::optional<RenderStop> stop = readLook(parser, o, r)) {
        return *stop;
    }
    std::variant<AskedSett, RenderStop> asked = askedSett(parser, o);
    if (const RenderStop* stop = std::get_if<RenderStop>(&asked)) {
        return *stop;
    }
    const AskedSett& read = std::get<AskedSett>(asked);
    r.sett = read.sett;
    r.title = read.title;
    r.credits = draftCredits(draftDate());
    request.several = read.several;
    request.notes = read.notes;
    request.shownLine = read.shownLine;
    if (r.drawing == Drawing::AsWoven) {
        if (const std::optional<RenderStop> stop = readAsWoven(parser, o, request)) {
            return *stop;
        }
    }
    return request;
}

std::variant<ClothOrder, RenderStop> readOrder(const QCommandLineParser& parser,
                                               const RenderOptions& o) {
    if (!parser.isSet(o.width) || !parser.isSet(o.length) || !parser.isSet(o.yarnDensity)) {
        return renderRefused(QStringLiteral("--yarn needs the cloth's --width, --length and "
                                            "--density, e.g. --width 28in --length 8yd --density "
                                            "56/in."));
    }
    const QString fileName = parser.value(o.output);
    if (std::optional<RenderStop> stop =
            parser.isSet(o.output) ? outputNotAFile(fileName) : std::nullopt) {
        return *stop;
    }
    if (parser.isSet(o.output) && QFileInfo(fileName).suffix().toLower() != u"csv") {
        return renderRefused(QStringLiteral("cannot tell what to write to \"%1\": with --yarn the "
                                            "file name must end in .csv.")
                                 .arg(QDir::toNativeSeparators(fileName)));
    }
    ClothOrder order;
    std::optional<RenderStop> stop;
    const auto given = [&](const QCommandLineOption& option, auto reader, auto& into) {
        if (stop || !parser.isSet(option)) {
            return;
        }
        const auto read = reader(parser.value(option));
        if (const QString* why = std::get_if<QString>(&read)) {
            stop = renderRefused(shownName(option) + QStringLiteral(": ") + *why);
        } else {
            into = std::get<0>(read);
        }
    };
    given(o.width, readLength, order.width);
    given(o.length, readLength, order.length);
    given(o.yarnDensity, readDensity, order.density);
    given(o.waste, readLength, order.waste);
    given(o.takeUp, readPercentage, order.takeUp);
    order.weftDensity = order.density;
    given(o.weftDensity, readDensity, order.weftDensity);
    if (stop) {
        return *stop;
    }
    return order;
}

} // namespace loomara
