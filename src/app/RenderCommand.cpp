#include "app/RenderCommand.h"

#include "cloth/YarnPlan.h"
#include "collection/Collection.h"
#include "collection/Similarity.h"
#include "gallery/Gallery.h"
#include "io/SaveFile.h"
#include "model/ShownText.h"
#include "palette/PaletteSwatch.h"
#include "photo/PictureReading.h"
#include "reference/ReferencePages.h"
#include "render/Render.h"
#include "sett/SettText.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <variant>

namespace loomara {

namespace {

// Nine steps of 30 take any colour component from one end of 0..255 to the other.
constexpr int kMostShadeSteps = 9;
constexpr int kLargestScale = 8;
constexpr int kMostSimilar = 100;
constexpr int kSimilarUnlessGiven = 10;

QString programName() {
    return QStringLiteral("loomara-render");
}

// Why a run ends early: its exit status, the one line that says why, and the lines that show the
// place that line names (the sett, and a caret under the character).
struct Stop {
    int status = kRenderRefused;
    QString why;
    QStringList shown;
};

Stop refused(const QString& why, QStringList shown = {}) {
    return {kRenderRefused, why, std::move(shown)};
}

int report(QTextStream& err, const Stop& stop) {
    // Whatever of the user's text a message repeats is shown safely here, once for every message.
    err << programName() << ": " << shownText(stop.why) << '\n';
    for (const QString& line : stop.shown) {
        err << "  " << line << '\n';
    }
    err.flush();
    return stop.status;
}

// What the options ask for, once every one has been accepted.
struct Request {
    RenderRequest render;
    QString fileName;
    QStringList notes; // for the user once the file is written
    QString shownLine; // the line the sett was read from, for a caret under a refused place
};

// The least density a cloth may be given, in threads to the centimetre: one thread to the metre,
// the least a picture file can record.
constexpr double kSparsestCloth = 0.01;

struct Options {
    QCommandLineOption output{QStringList{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("Write to FILE; its ending chooses what is written: "
                                             ".bmp or .png a picture, .wif a weaving draft."),
                              QStringLiteral("FILE")};
    QCommandLineOption name{QStringLiteral("name"),
                            QStringLiteral("Weave the sett of the entry NAME of the reference "
                                           "lists instead of a written sett."),
                            QStringLiteral("NAME")};
    QCommandLineOption list{QStringLiteral("list"),
                            QStringLiteral("Print the name and sett of every entry of the lists "
                                           "that can be woven, one per line, between them a tab.")};
    QCommandLineOption background{QStringLiteral("background"),
                                  QStringLiteral("Weave on the colour of the palette code CODE "
                                                 "(pictures only)."),
                                  QStringLiteral("CODE")};
    QCommandLineOption brighten{
        QStringLiteral("brighten"),
        QStringLiteral("Brighten every stripe colour N steps of 30 (N from 0 to 9)."),
        QStringLiteral("N")};
    QCommandLineOption darken{
        QStringLiteral("darken"),
        QStringLiteral("Darken every stripe colour N steps of 30 (N from 0 to 9)."),
        QStringLiteral("N")};
    QCommandLineOption scale{QStringLiteral("scale"),
                             QStringLiteral("Draw every pixel of the picture as an N x N block, N "
                                            "from 1 to 8 (pictures only)."),
                             QStringLiteral("N")};
    QCommandLineOption repeats{QStringLiteral("repeats"),
                               QStringLiteral("Repeat the sett N times each way in the cloth or "
                                              "the draft (1 unless given)."),
                               QStringLiteral("N")};
    QCommandLineOption gallery{
        QStringLiteral("gallery"),
        QStringLiteral("Weave every entry of the lists into the folder DIR: a picture, a "
                       "thumbnail and a weaving draft of each, and an index.html that shows them "
                       "page by page, with the entries that cannot be woven and why."),
        QStringLiteral("DIR")};
    QCommandLineOption cloth{QStringLiteral("cloth"),
                             QStringLiteral("Draw the cloth instead of the designer's picture: "
                                            "the drawdown of the 2/2 twill, each crossing in the "
                                            "colour of the warp or the weft that shows there, "
                                            "--repeats repeats each way.")};
    QCommandLineOption weft{QStringLiteral("weft"),
                            QStringLiteral("Weave the weft to the sett SETT instead of the warp's "
                                           "(cloth and .wif only)."),
                            QStringLiteral("SETT")};
    QCommandLineOption threadsPerInch{
        QStringLiteral("threads-per-inch"),
        QStringLiteral("Record the cloth's density in the picture, so that printed at 100% it "
                       "has its true size (cloth only)."),
        QStringLiteral("T")};
    QCommandLineOption threadsPerCm{QStringLiteral("threads-per-cm"),
                                    QStringLiteral("The same in threads to the centimetre."),
                                    QStringLiteral("T")};
    QCommandLineOption yarn{QStringLiteral("yarn"),
                            QStringLiteral("Print the ends, picks and metres of yarn of every "
                                           "colour of a cloth of --width and --length woven at "
                                           "--density (or write them as CSV with -o FILE.csv).")};
    QCommandLineOption width{QStringLiteral("width"),
                             QStringLiteral("The cloth's width: 28in, 150cm, 0.5m or 1yd (yarn)."),
                             QStringLiteral("W")};
    QCommandLineOption length{QStringLiteral("length"),
                              QStringLiteral("The cloth's length, in the same units (yarn)."),
                              QStringLiteral("L")};
    QCommandLineOption yarnDensity{QStringLiteral("density"),
                                   QStringLiteral("Ends per cm or per inch: 12/cm or 56/in "
                                                  "(yarn)."),
                                   QStringLiteral("D")};
    QCommandLineOption weftDensity{QStringLiteral("weft-density"),
                                   QStringLiteral("Picks per cm or per inch, when not the ends' "
                                                  "density (yarn)."),
                                   QStringLiteral("D")};
    QCommandLineOption waste{QStringLiteral("waste"),
                             QStringLiteral("Loom waste per warp end (yarn; 0.75m unless given)."),
                             QStringLiteral("L")};
    QCommandLineOption takeUp{QStringLiteral("take-up"),
                              QStringLiteral("How much longer a pick is than the cloth is wide "
                                             "(yarn; 10% unless given)."),
                              QStringLiteral("P%")};
    QCommandLineOption similar{
        QStringLiteral("similar"),
        QStringLiteral("Print the entries of the lists nearest the sett (or --name), best first, "
                       "one per line: rank, score, name, list page and sett, between them a tab; "
                       "other lines start with #. The score is 100 for the same cloth, however it "
                       "is written: either pivot first, a straight repeat started anywhere, all "
                       "counts scaled alike, codes of one colour. It loses 2 points for each unit "
                       "of CIE Lab colour difference (Delta E 1976) between the two cloths, "
                       "averaged thread by thread over one repeat once both repeats are stretched "
                       "to one length and laid together where they match best.")};
    QCommandLineOption top{QStringLiteral("top"),
                           QStringLiteral("Print N entries with --similar, N from 1 to 100 (10 "
                                          "unless given)."),
                           QStringLiteral("N")};
    QCommandLineOption fromPicture{
        QStringLiteral("from-picture"),
        QStringLiteral("Read the sett from a photograph or a scan of the cloth in FILE (any "
                       "picture format) instead of a written sett; how it was read is told on "
                       "standard error. Alone, print the sett read."),
        QStringLiteral("FILE")};
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Print this help.")};
    QCommandLineOption version{QStringList{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Print the version.")};

    QList<QCommandLineOption> all() const {
        return {output, name,   list,           background,   brighten, darken, scale,   repeats,
                cloth,  weft,   threadsPerInch, threadsPerCm, gallery,  help,   version, yarn,
                width,  length, yarnDensity,    weftDensity,  waste,    takeUp, similar, top};
    }
};

QString helpText(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    // Qt's usage line names the program by the path it was started from and shows one form.
    text.remove(0, text.indexOf(u'\n'));
    return QStringLiteral("Usage: loomara-render SETT -o FILE [options]\n"
                          "       loomara-render SETT --cloth -o FILE [--repeats N] [--weft SETT]\n"
                          "       loomara-render --name \"NAME\" -o FILE [options]\n"
                          "       loomara-render SETT --yarn --width W --length L --density D "
                          "[-o FILE.csv]\n"
                          "       loomara-render --list\n"
                          "       loomara-render --similar SETT [--top N]\n"
                          "       loomara-render --similar --name \"NAME\" [--top N]\n"
                          "       loomara-render --from-picture PHOTO [--similar | -o FILE | "
                          "--yarn ...]\n"
                          "       loomara-render --gallery DIR") +
           text +
           QStringLiteral("\nExit status: 0 when the file is written (or the list printed),\n"
                          "2 when the sett or an option is refused, 1 when the file cannot be\n"
                          "written.\n");
}

// The option as the user knows it: by its letter when it has one.
QString shownName(const QCommandLineOption& option) {
    const QString first = option.names().constFirst();
    return first.size() == 1 ? u'-' + first : QStringLiteral("--") + first;
}

// The first option of those given whose value was given more than once.
std::optional<Stop> givenTwice(const QCommandLineParser& parser,
                               const QList<const QCommandLineOption*>& options) {
    for (const QCommandLineOption* option : options) {
        if (!option->valueName().isEmpty() && parser.values(*option).size() > 1) {
            return refused(QStringLiteral("%1 is given more than once; give it once.")
                               .arg(shownName(*option)));
        }
    }
    return std::nullopt;
}

// The option's value as a whole number from least to most, or its refusal naming the range.
std::variant<int, Stop> wholeNumber(const QCommandLineParser& parser,
                                    const QCommandLineOption& option, int least, int most,
                                    int unset) {
    if (!parser.isSet(option)) {
        return unset;
    }
    const QString value = parser.value(option);
    const bool digits =
        !value.isEmpty() && value.size() <= 9 &&
        std::all_of(value.begin(), value.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    const int number = digits ? value.toInt() : -1;
    if (number < least || number > most) {
        return refused(QStringLiteral("%1 takes a whole number from %2 to %3, not \"%4\".")
                           .arg(shownName(option))
                           .arg(least)
                           .arg(most)
                           .arg(value));
    }
    return number;
}

int printList(QTextStream& out) {
    for (const ListedEntry& listed : referenceCollection()) {
        if (!listed.entry.name.isEmpty() && listed.reading.ok()) {
            out << listed.entry.name << '\t' << listed.entry.notation << '\n';
        }
    }
    out.flush();
    return kRenderDone;
}

Stop unknownName(const QString& given) {
    return refused(unknownNameReason(given) + QStringLiteral(". --list prints every name."));
}

// A sett as read, with what a refusal about it shows: the text it was read from and where that
// text starts on its line.
struct ReadSett {
    Sett sett;
    QString title;
    QString shownLine;
    QString where;     // for a named entry, "list A to Di, line 3"
    QStringList notes; // how it was read, where that may not be what the user meant
};

// The sett of the first entry of that name (names match whatever their case); several of one
// name are told on out.
std::variant<ReadSett, Stop> namedSett(const QString& given, QTextStream& out) {
    const QList<const ListedEntry*> matches = entriesNamed(given);
    if (matches.isEmpty()) {
        return unknownName(given);
    }
    const ListedEntry& first = *matches.first();
    if (matches.size() > 1) {
        out << QStringLiteral("\"%1\" names %2 entries of the lists; the first, %3, is used.\n")
                   .arg(first.entry.name)
                   .arg(matches.size())
                   .arg(first.entry.notation);
        out.flush();
    }
    const int line = first.entry.notationLine > 0 ? first.entry.notationLine : first.entry.line;
    const QStringList lines = reference::storedLines(first.page);
    ReadSett read{first.reading.sett,
                  first.entry.name,
                  line <= lines.size() ? lines[line - 1] : QString(),
                  QStringLiteral("list %1, line %2").arg(pageCaption(first.page)).arg(line),
                  {}};
    if (!first.reading.ok()) {
        return refused(QStringLiteral("the sett of \"%1\" (%2) cannot be woven: %3")
                           .arg(first.entry.name, read.where, first.reading.refusal->message),
                       caretLines(read.shownLine, first.reading.refusal->character));
    }
    return read;
}

// How a sett written without marks was read, for the user who meant a straight repeat; told
// only once the run has done what was asked, so that a failure stays one line.
QString howItWasRead(const SettReading& reading, const QString& which) {
    if (!reading.unmarkedPairs) {
        return {};
    }
    Sett straight = reading.sett;
    straight.repeat = Repeat::Straight;
    return QStringLiteral("read %1\"%2\" as symmetric, mirrored about its first and last stripe; "
                          "write \"%3\" for a straight repeat.")
        .arg(which, writtenForm(reading.sett), writtenForm(straight));
}

void tell(QTextStream& err, const QStringList& notes) {
    for (const QString& note : notes) {
        if (!note.isEmpty()) {
            err << programName() << ": " << note << '\n';
        }
    }
    err.flush();
}

// `what` names the sett in messages when it is not the warp's: "--weft: ".
std::variant<ReadSett, Stop> writtenSett(const QString& text, const QString& what = {}) {
    const SettReading reading = readSett(text);
    if (!reading.ok()) {
        return refused(what + reading.refusal->message,
                       caretLines(text, reading.refusal->character));
    }
    // The title stands on one line: a draft's and the yarn table's heading.
    ReadSett read{reading.sett, text.simplified(), text, {}, {}};
    if (reading.unmarkedPairs) {
        read.notes.append(
            howItWasRead(reading, what.isEmpty() ? QString() : QStringLiteral("the weft ")));
    }
    return read;
}

Stop anotherSett() {
    return refused(QStringLiteral("--from-picture reads the sett from a picture; give no other "
                                  "sett with it."));
}

// The sett read from a photograph, told as a written one would be, with how it was read.
std::variant<ReadSett, Stop> pictureSett(const QString& fileName) {
    const PictureReading reading = readSettFromFile(fileName);
    if (!reading.ok()) {
        return refused(QStringLiteral("--from-picture \"%1\": %2.")
                           .arg(QDir::toNativeSeparators(fileName), reading.refusal));
    }
    const QString written = writtenForm(*reading.sett);
    return ReadSett{*reading.sett,
                    written,
                    written,
                    {},
                    QStringList{QStringLiteral("the sett read from the picture: ") + written} +
                        reading.notes()};
}

// A density in threads to the metre, from threads to the inch or to the centimetre.
std::variant<double, Stop> density(const QCommandLineParser& parser, const Options& o) {
    if (parser.isSet(o.threadsPerInch) && parser.isSet(o.threadsPerCm)) {
        return refused(QStringLiteral("--threads-per-inch and --threads-per-cm cannot be used "
                                      "together; give one of them."));
    }
    const bool inches = parser.isSet(o.threadsPerInch);
    if (!inches && !parser.isSet(o.threadsPerCm)) {
        return 0.0;
    }
    const QCommandLineOption& option = inches ? o.threadsPerInch : o.threadsPerCm;
    const double least = inches ? kSparsestCloth * 2.54 : kSparsestCloth;
    const double most = inches ? kDensestThreads * 2.54 : kDensestThreads;
    const QString value = parser.value(option);
    bool number = false;
    const double given = value.toDouble(&number);
    const bool plain = std::all_of(value.begin(), value.end(),
                                   [](QChar c) { return (c >= u'0' && c <= u'9') || c == u'.'; });
    if (!number || !plain || !std::isfinite(given) || given < least || given > most) {
        return refused(QStringLiteral("%1 takes a number of threads from %2 to %3, e.g. 56 or "
                                      "12.5, not \"%4\".")
                           .arg(shownName(option))
                           .arg(least)
                           .arg(most)
                           .arg(value));
    }
    return given * (inches ? 100 / 2.54 : 100);
}

// The sett the arguments give, written or by --name, with the weft --weft gives it. Of several
// entries of one name the first is taken, as `told` says.
std::variant<ReadSett, Stop> askedSett(const QCommandLineParser& parser, const Options& o,
                                       QTextStream& told) {
    const QStringList setts = parser.positionalArguments();
    const bool named = parser.isSet(o.name);
    const bool pictured = parser.isSet(o.fromPicture);
    if (std::optional<Stop> twice = givenTwice(parser, {&o.fromPicture})) {
        return *twice;
    }
    if (pictured && (named || !setts.isEmpty())) {
        return anotherSett();
    }
    if (setts.size() > 1) {
        return refused(QStringLiteral("give the sett as one argument; quote a sett written "
                                      "with blanks, e.g. \"K4 R24 K24 Y4\"."));
    }
    if (named && !setts.isEmpty()) {
        return refused(QStringLiteral("give either a sett or --name, not both."));
    }
    if (!named && !pictured && setts.isEmpty()) {
        return refused(QStringLiteral("no sett given: write one (e.g. \"B/24 W4 B24 R2 K24 G24 "
                                      "W/2\") or take one from the lists with --name \"NAME\"."));
    }
    const QString name = parser.value(o.name).trimmed();
    if (named && name.isEmpty()) {
        return refused(QStringLiteral("--name needs the name of an entry of the lists."));
    }
    std::variant<ReadSett, Stop> sett = pictured ? pictureSett(parser.value(o.fromPicture))
                                        : named  ? namedSett(name, told)
                                                 : writtenSett(setts.first());
    ReadSett* read = std::get_if<ReadSett>(&sett);
    if (read && parser.isSet(o.weft)) {
        const std::variant<ReadSett, Stop> weft =
            writtenSett(parser.value(o.weft), QStringLiteral("--weft: "));
        if (const Stop* stop = std::get_if<Stop>(&weft)) {
            return *stop;
        }
        read->sett.ownWeft = std::make_shared<const Sett>(std::get<ReadSett>(weft).sett);
        read->notes += std::get<ReadSett>(weft).notes;
    }
    return sett;
}

// The request the options make, or why they make none.
std::variant<Request, Stop> readRequest(const QCommandLineParser& parser, const Options& o,
                                        QTextStream& out) {
    QList<const QCommandLineOption*> all;
    for (const QCommandLineOption& option : o.all()) {
        all.append(&option);
    }
    if (std::optional<Stop> twice = givenTwice(parser, all)) {
        return *twice;
    }

    const QString fileName = parser.value(o.output);
    if (fileName.isEmpty()) {
        return refused(QStringLiteral("no output file: give one with -o FILE, ending in .bmp, "
                                      ".png or .wif."));
    }
    Request request;
    RenderRequest& r = request.render;
    request.fileName = fileName;
    const QString ending = QFileInfo(fileName).suffix().toLower();
    if (ending == u"png") {
        r.format = PictureFormat::Png;
    } else if (ending == u"bmp") {
        r.format = PictureFormat::Bitmap;
    } else if (ending == u"wif") {
        r.drawing = Drawing::Draft;
    } else {
        return refused(QStringLiteral("cannot tell what to write to \"%1\": the file name must "
                                      "end in .bmp, .png or .wif.")
                           .arg(QDir::toNativeSeparators(fileName)));
    }
    const bool draft = r.drawing == Drawing::Draft;
    if (parser.isSet(o.cloth)) {
        if (draft) {
            return refused(QStringLiteral("--cloth draws a picture; a .wif draft holds the same "
                                          "cloth as threads. Give a .png or .bmp file."));
        }
        r.drawing = Drawing::Cloth;
    }
    const bool designer = r.drawing == Drawing::Designer;
    if (draft && parser.isSet(o.scale)) {
        return refused(QStringLiteral("--scale is for pictures; a .wif draft has no pixels to "
                                      "scale."));
    }
    if (draft && parser.isSet(o.background)) {
        return refused(QStringLiteral("--background is for pictures; a .wif draft holds only "
                                      "threads."));
    }
    if (r.drawing == Drawing::Cloth && parser.isSet(o.background)) {
        return refused(QStringLiteral("--background is for the designer's picture; in cloth "
                                      "every crossing shows a thread."));
    }
    if (designer && parser.isSet(o.repeats)) {
        return refused(QStringLiteral("--repeats is for cloth and .wif drafts; the designer's "
                                      "picture shows as many repeats as its canvas holds."));
    }
    if (designer && parser.isSet(o.weft)) {
        return refused(QStringLiteral("--weft is for cloth and .wif drafts; the designer's "
                                      "window weaves the weft as the warp."));
    }
    if (designer && (parser.isSet(o.threadsPerInch) || parser.isSet(o.threadsPerCm))) {
        return refused(QStringLiteral("%1 is for cloth pictures (--cloth), which can be printed "
                                      "at the cloth's true size, and .wif drafts.")
                           .arg(shownName(parser.isSet(o.threadsPerInch) ? o.threadsPerInch
                                                                         : o.threadsPerCm)));
    }
    if (parser.isSet(o.brighten) && parser.isSet(o.darken)) {
        return refused(QStringLiteral("--brighten and --darken cannot be used together; give "
                                      "one of them."));
    }

    const auto brighten = wholeNumber(parser, o.brighten, 0, kMostShadeSteps, 0);
    const auto darken = wholeNumber(parser, o.darken, 0, kMostShadeSteps, 0);
    const auto scale = wholeNumber(parser, o.scale, 1, kLargestScale, 1);
    const auto repeats = wholeNumber(parser, o.repeats, 1, static_cast<int>(kMostRepeatThreads), 1);
    for (const auto* number : {&brighten, &darken, &scale, &repeats}) {
        if (const Stop* stop = std::get_if<Stop>(number)) {
            return *stop;
        }
    }
    const auto threadsPerMetre = density(parser, o);
    if (const Stop* stop = std::get_if<Stop>(&threadsPerMetre)) {
        return *stop;
    }

    if (parser.isSet(o.background)) {
        const QString code = parser.value(o.background);
        r.background = findSwatchByCode(code);
        if (r.background == nullptr) {
            return refused(
                QStringLiteral("--background: \"%1\" is not a colour code of the palette.")
                    .arg(code));
        }
    }

    std::variant<ReadSett, Stop> asked = askedSett(parser, o, out);
    if (const Stop* stop = std::get_if<Stop>(&asked)) {
        return *stop;
    }
    const ReadSett& read = std::get<ReadSett>(asked);
    r.sett = read.sett;
    r.title = read.title;
    request.notes = read.notes;
    r.shadeSteps = std::get<int>(brighten) - std::get<int>(darken);
    r.scale = std::get<int>(scale);
    r.repeats = std::get<int>(repeats);
    r.threadsPerMetre = std::get<double>(threadsPerMetre);
    r.credits = draftCredits(draftDate());
    request.shownLine = read.shownLine;
    return request;
}

Stop notSaved(const QString& what, const QString& fileName, const QString& problem) {
    return {kRenderWriteFailed,
            QStringLiteral("the %1 could not be saved as \"%2\": %3. Nothing was written; a file "
                           "already there is unchanged.")
                .arg(what, QDir::toNativeSeparators(fileName), problem),
            {}};
}

std::optional<Stop> writeFile(const Request& request) {
    const QString what = request.render.drawing == Drawing::Draft ? QStringLiteral("draft")
                                                                  : QStringLiteral("picture");
    const Rendered rendered = render(request.render, desktopColours());
    if (rendered.refusal) {
        return refused(rendered.refusal->message,
                       caretLines(request.shownLine, rendered.refusal->character));
    }
    if (rendered.failure) {
        return notSaved(what, request.fileName, *rendered.failure);
    }
    if (const std::optional<QString> problem = saveFile(rendered.bytes, request.fileName, what)) {
        return notSaved(what, request.fileName, *problem);
    }
    return std::nullopt;
}

int writeReferenceGallery(const QString& dir, QTextStream& out, QTextStream& err,
                          bool showProgress) {
    GalleryOptions options;
    options.date = draftDate();
    const auto progress = [&err](int done, int total) {
        err << "\rwoven " << done << " / " << total;
        err.flush();
    };
    const GalleryResult result = writeGallery(dir, referenceGalleryPages(), options,
                                              showProgress ? progress : GalleryProgress{});
    if (showProgress) {
        err << '\n';
    }
    if (result.refusal) {
        return report(err, refused(QStringLiteral("the gallery will not write into \"%1\": %2. "
                                                  "Nothing was changed; give an empty or new "
                                                  "folder.")
                                       .arg(QDir::toNativeSeparators(dir), *result.refusal)));
    }
    if (result.failure) {
        return report(err, {kRenderWriteFailed,
                            QStringLiteral("the gallery in \"%1\" could not be written: %2. %3")
                                .arg(QDir::toNativeSeparators(dir), *result.failure,
                                     whatTheRunChanged(result)),
                            {}});
    }
    out << counted(result.woven, u"sett", u"setts") << " woven (" << result.designer
        << " of them also in the designer) and " << result.skipped << " listed as not woven, in "
        << shownText(QDir::toNativeSeparators(QDir(dir).filePath(QStringLiteral("index.html"))))
        << '\n';
    out.flush();
    return kRenderDone;
}

QList<const QCommandLineOption*> yarnOptions(const Options& o) {
    return {&o.width, &o.length, &o.yarnDensity, &o.weftDensity, &o.waste, &o.takeUp};
}

// The entries nearest a written or named sett; a named entry comes first, as the same cloth.
int printSimilar(const QCommandLineParser& parser, const Options& o, QTextStream& out,
                 QTextStream& err) {
    QStringList others = parser.optionNames();
    others.removeAll(QStringLiteral("similar"));
    others.removeAll(QStringLiteral("top"));
    others.removeAll(QStringLiteral("name"));
    others.removeAll(QStringLiteral("from-picture"));
    const QStringList setts = parser.positionalArguments();
    const bool named = parser.isSet(o.name);
    const bool pictured = parser.isSet(o.fromPicture);
    if (!others.isEmpty()) {
        return report(err, refused(QStringLiteral("--similar prints the entries nearest a sett "
                                                  "and takes only the sett or --name, and "
                                                  "--top.")));
    }
    if (std::optional<Stop> twice = givenTwice(parser, {&o.name, &o.top, &o.fromPicture})) {
        return report(err, *twice);
    }
    if (setts.size() + (named ? 1 : 0) + (pictured ? 1 : 0) != 1) {
        return report(err, refused(QStringLiteral("--similar takes one sett (quoted when written "
                                                  "with blanks, e.g. \"K4 R24 K24 Y4\") or "
                                                  "--name \"NAME\".")));
    }
    const auto top = wholeNumber(parser, o.top, 1, kMostSimilar, kSimilarUnlessGiven);
    if (const Stop* stop = std::get_if<Stop>(&top)) {
        return report(err, *stop);
    }
    QString notes;
    QTextStream noted(&notes);
    const QString name = parser.value(o.name).trimmed();
    const std::variant<ReadSett, Stop> read = askedSett(parser, o, noted);
    if (const Stop* stop = std::get_if<Stop>(&read)) {
        return report(err, *stop);
    }
    const Sett& sett = std::get<ReadSett>(read).sett;
    if (threadsPerRepeat(sett) == 0) {
        return report(err, refused(QStringLiteral("the sett has no threads to compare.")));
    }
    noted.flush();
    for (const QString& line :
         notes.split(u'\n', Qt::SkipEmptyParts) + std::get<ReadSett>(read).notes) {
        out << "# " << line << '\n';
    }
    const ListedEntry* from = named ? entriesNamed(name).constFirst() : nullptr;
    const QList<SimilarEntry> similar = entriesNearest(sett, std::get<int>(top), from);
    out << "# rank\tscore\tname\tlist\tsett\n";
    for (qsizetype rank = 0; rank < similar.size(); ++rank) {
        const ReferenceEntry& entry = similar[rank].listed->entry;
        out << rank + 1 << '\t' << similar[rank].score << '\t'
            << (entry.name.isEmpty() ? entry.notation : entry.name) << '\t'
            << pageCaption(similar[rank].listed->page) << '\t' << entry.notation << '\n';
    }
    out.flush();
    return kRenderDone;
}

// Everything a --yarn run takes: the cloth, the sett and its weft, and the file.
QList<const QCommandLineOption*> takenByYarn(const Options& o) {
    return yarnOptions(o) + QList<const QCommandLineOption*>{&o.yarn, &o.name, &o.weft, &o.output};
}

// What the whole repeats of the sett and the part of the last one come to, one way of the cloth.
QString cutNote(const QString& way, const YarnCut& cut, const QString& thread) {
    const auto some = [&thread](long long count) {
        return QStringLiteral("%1 %2%3").arg(count).arg(thread, count == 1 ? "" : "s");
    };
    const QString repeats =
        QStringLiteral("repeat%1 of %2").arg(cut.wholeRepeats == 1 ? "" : "s", some(cut.perRepeat));
    if (cut.lastRepeatThreads == 0) {
        return QStringLiteral("the %1 holds exactly %2 %3.")
            .arg(way)
            .arg(cut.wholeRepeats)
            .arg(repeats);
    }
    return QStringLiteral("the %1 holds %2 whole %3 and %4 of the next.")
        .arg(way)
        .arg(cut.wholeRepeats)
        .arg(repeats, some(cut.lastRepeatThreads));
}

// --yarn: the sett's threads and yarn per colour for a cloth of the given size, on out or in a
// CSV file. Notes go to err so that out holds the table alone.
int countYarn(const QCommandLineParser& parser, const Options& o, QTextStream& out,
              QTextStream& err) {
    for (const QCommandLineOption* option : yarnOptions(o)) {
        if (!parser.isSet(o.yarn) && parser.isSet(*option)) {
            return report(err, refused(QStringLiteral("%1 is for --yarn, which counts the yarn "
                                                      "of a cloth of that size.")
                                           .arg(shownName(*option))));
        }
    }
    for (const QCommandLineOption& option : o.all()) {
        if (std::optional<Stop> twice = givenTwice(parser, {&option})) {
            return report(err, *twice);
        }
        const bool taken = std::ranges::any_of(takenByYarn(o), [&](const auto* yarnOption) {
            return yarnOption->names() == option.names();
        });
        if (!taken && parser.isSet(option)) {
            return report(err, refused(QStringLiteral("%1 is not for --yarn, which prints a table "
                                                      "rather than weaving.")
                                           .arg(shownName(option))));
        }
    }
    if (!parser.isSet(o.width) || !parser.isSet(o.length) || !parser.isSet(o.yarnDensity)) {
        return report(err, refused(QStringLiteral("--yarn needs the cloth's --width, --length and "
                                                  "--density, e.g. --width 28in --length 8yd "
                                                  "--density 56/in.")));
    }
    const QString fileName = parser.value(o.output);
    if (parser.isSet(o.output) && QFileInfo(fileName).suffix().toLower() != u"csv") {
        return report(err, refused(QStringLiteral("cannot tell what to write to \"%1\": with "
                                                  "--yarn the file name must end in .csv.")
                                       .arg(QDir::toNativeSeparators(fileName))));
    }

    ClothOrder order;
    const auto given = [&](const QCommandLineOption& option, auto reader, auto& into) {
        if (!parser.isSet(option)) {
            return true;
        }
        const auto read = reader(parser.value(option));
        if (const QString* why = std::get_if<QString>(&read)) {
            report(err, refused(shownName(option) + QStringLiteral(": ") + *why));
            return false;
        }
        into = std::get<0>(read);
        return true;
    };
    if (!given(o.width, readLength, order.width) || !given(o.length, readLength, order.length) ||
        !given(o.yarnDensity, readDensity, order.density) ||
        !given(o.waste, readLength, order.waste) ||
        !given(o.takeUp, readPercentage, order.takeUp)) {
        return kRenderRefused;
    }
    order.weftDensity = order.density;
    if (!given(o.weftDensity, readDensity, order.weftDensity)) {
        return kRenderRefused;
    }

    QString several;
    QTextStream told(&several);
    const std::variant<ReadSett, Stop> read = askedSett(parser, o, told);
    if (const Stop* stop = std::get_if<Stop>(&read)) {
        return report(err, *stop);
    }
    told.flush();
    const Sett& sett = std::get<ReadSett>(read).sett;
    const YarnPlan plan = yarnPlan(sett, order);
    if (plan.refusal) {
        return report(err, refused(*plan.refusal));
    }
    // The heading says which sett was counted: an entry's name alone may stand for several.
    const ReadSett& counted = std::get<ReadSett>(read);
    QString title = counted.where.isEmpty()
                        ? counted.title
                        : QStringLiteral("%1 (%2)").arg(counted.title, writtenForm(sett));
    if (sett.ownWeft) {
        title += QStringLiteral("; weft %1").arg(writtenForm(*sett.ownWeft));
    }
    const QString heading =
        yarnHeading(title, order, !parser.isSet(o.waste), !parser.isSet(o.takeUp));
    if (!parser.isSet(o.output)) {
        out << yarnTable(plan, heading);
        out.flush();
    } else if (const std::optional<QString> problem =
                   saveFile(yarnCsv(plan, heading), fileName, QStringLiteral("yarn table"))) {
        return report(err, notSaved(QStringLiteral("yarn table"), fileName, *problem));
    }
    tell(err, several.split(u'\n', Qt::SkipEmptyParts) + std::get<ReadSett>(read).notes +
                  QStringList{cutNote(QStringLiteral("width"), plan.warp, "end"),
                              cutNote(QStringLiteral("length"), plan.weft, "pick")});
    return kRenderDone;
}

// The help's first paragraph.
QString description() {
    return QStringLiteral(
        "Weaves a sett as the Loomara designer weaves it after the same clicks and writes\n"
        "the picture (.bmp, .png), or draws the cloth (--cloth), or writes a weaving draft\n"
        "(.wif). A sett is written as the reference lists write it (y8b32k28r60y8), as the\n"
        "notation box holds it (\"K10, R20, lr4, \"), as pattern books write it\n"
        "(\"K4 R24 K24 Y4\", pivots marked \"B/24 W4 B24 R2 K24 G24 W/2\"), or as a\n"
        "straight repeat between marks (\"...K4 R24 K24 Y4...\"). Unmarked setts are\n"
        "symmetric.");
}

// True when the command line holds no sett and no option but `option`.
bool alone(const QCommandLineParser& parser, const QString& option) {
    QStringList others = parser.optionNames();
    others.removeAll(option);
    return parser.positionalArguments().isEmpty() && others.isEmpty();
}

int runList(const QCommandLineParser& parser, QTextStream& out, QTextStream& err) {
    if (!alone(parser, QStringLiteral("list"))) {
        return report(err, refused(QStringLiteral("--list prints the named setts and takes "
                                                  "no sett and no other option.")));
    }
    return printList(out);
}

// --from-picture alone: the sett read, in pattern-book notation, on out; how it was read on err.
int printPictureSett(const QCommandLineParser& parser, const Options& o, QTextStream& out,
                     QTextStream& err) {
    if (!parser.positionalArguments().isEmpty() || parser.isSet(o.name)) {
        return report(err, anotherSett());
    }
    if (!alone(parser, QStringLiteral("from-picture"))) {
        return report(err, refused(QStringLiteral("--from-picture prints the sett read unless "
                                                  "-o FILE, --similar or --yarn asks for more; "
                                                  "give one of them with its options.")));
    }
    if (std::optional<Stop> twice = givenTwice(parser, {&o.fromPicture})) {
        return report(err, *twice);
    }
    const std::variant<ReadSett, Stop> read = pictureSett(parser.value(o.fromPicture));
    if (const Stop* stop = std::get_if<Stop>(&read)) {
        return report(err, *stop);
    }
    // The sett itself stands alone on out; err has the rest of how it was read.
    out << std::get<ReadSett>(read).title << '\n';
    out.flush();
    tell(err, std::get<ReadSett>(read).notes.mid(1));
    return kRenderDone;
}

int runGallery(const QCommandLineParser& parser, const Options& o, QTextStream& out,
               QTextStream& err, bool showProgress) {
    if (!alone(parser, QStringLiteral("gallery"))) {
        return report(err, refused(QStringLiteral("--gallery weaves every named sett and "
                                                  "takes no sett and no other option.")));
    }
    const QString dir = parser.value(o.gallery);
    if (dir.trimmed().isEmpty()) {
        return report(err, refused(QStringLiteral("--gallery needs the name of a folder, e.g. "
                                                  "--gallery gallery.")));
    }
    return writeReferenceGallery(dir, out, err, showProgress);
}

int run(const QStringList& arguments, QTextStream& out, QTextStream& err, bool showProgress) {
    const Options o;
    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    parser.addOptions(o.all());
    parser.addOption(o.fromPicture);
    parser.addPositionalArgument(QStringLiteral("SETT"),
                                 QStringLiteral("The sett to weave, unless --name gives one."),
                                 QStringLiteral("[SETT]"));

    if (!parser.parse(arguments)) {
        QString why = parser.errorText();
        if (!why.isEmpty()) {
            why[0] = why[0].toLower();
        }
        return report(err, refused(why + QStringLiteral(" See loomara-render --help.")));
    }
    if (parser.isSet(o.help)) {
        out << helpText(parser);
        out.flush();
        return kRenderDone;
    }
    if (parser.isSet(o.version)) {
        out << programName() << ' ' << LOOMARA_VERSION << '\n';
        out.flush();
        return kRenderDone;
    }
    if (parser.isSet(o.list)) {
        return runList(parser, out, err);
    }
    if (parser.isSet(o.gallery)) {
        return runGallery(parser, o, out, err, showProgress);
    }

    if (parser.isSet(o.yarn) || std::ranges::any_of(yarnOptions(o), [&](const auto* option) {
            return parser.isSet(*option);
        })) {
        return countYarn(parser, o, out, err);
    }
    if (parser.isSet(o.similar)) {
        return printSimilar(parser, o, out, err);
    }
    if (parser.isSet(o.fromPicture) && !parser.isSet(o.output)) {
        return printPictureSett(parser, o, out, err);
    }
    if (parser.isSet(o.top)) {
        return report(err, refused(QStringLiteral("--top is for --similar: how many entries it "
                                                  "prints.")));
    }

    const std::variant<Request, Stop> read = readRequest(parser, o, out);
    if (const Stop* stop = std::get_if<Stop>(&read)) {
        return report(err, *stop);
    }
    const Request& request = std::get<Request>(read);
    if (const std::optional<Stop> failed = writeFile(request)) {
        return report(err, *failed);
    }
    tell(err, request.notes);
    return kRenderDone;
}

} // namespace

int runRender(const QStringList& arguments, QTextStream& out, QTextStream& err, bool showProgress) {
    const int status = run(arguments, out, err, showProgress);
    out.flush();
    // A list or a table that did not reach its reader is no success, whatever else went well.
    if (status == kRenderDone && out.status() != QTextStream::Ok) {
        return report(err, {kRenderWriteFailed,
                            QStringLiteral("the output could not be written (the disk may be "
                                           "full or the reader gone)."),
                            {}});
    }
    return status;
}

} // namespace loomara
