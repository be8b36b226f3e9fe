#include "app/RenderCommand.h"

#include "cloth/YarnPlan.h"
#include "cloth/YarnTitle.h"
#include "collection/Collection.h"
#include "collection/Similarity.h"
#include "gallery/Gallery.h"
#include "io/SaveFile.h"
#include "model/ShownText.h"
#include "palette/PaletteSwatch.h"
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
    QString several;   // which entry was taken when several share its name, for out
    QStringList notes; // for the user once the file is written
    QString shownLine; // the line the sett was read from, for a caret under a refused place
};

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
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Print this help.")};
    QCommandLineOption version{QStringList{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Print the version.")};

    QList<QCommandLineOption> all() const;
};

using OptionOf = QCommandLineOption Options::*;

// Every option, in the order the help lists them.
const QList<OptionOf> kAllOptions{
    &Options::output,   &Options::name,   &Options::list,           &Options::background,
    &Options::brighten, &Options::darken, &Options::scale,          &Options::repeats,
    &Options::cloth,    &Options::weft,   &Options::threadsPerInch, &Options::threadsPerCm,
    &Options::gallery,  &Options::help,   &Options::version,        &Options::yarn,
    &Options::width,    &Options::length, &Options::yarnDensity,    &Options::weftDensity,
    &Options::waste,    &Options::takeUp, &Options::similar,        &Options::top};

QList<QCommandLineOption> Options::all() const {
    QList<QCommandLineOption> options;
    for (const OptionOf option : kAllOptions) {
        options.append(this->*option);
    }
    return options;
}

// One run of a mode: the arguments as read and where its answer and its messages go.
struct Call {
    const QCommandLineParser& parser;
    const Options& o;
    QTextStream& out;
    QTextStream& err;
    bool showProgress = false;
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
                          "       loomara-render --similar SETT [--top N]\n"
                          "       loomara-render --similar --name \"NAME\" [--top N]\n"
                          "       loomara-render --list\n"
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

int printList(const Call& call) {
    for (const ListedEntry& listed : referenceCollection()) {
        if (!listed.entry.name.isEmpty() && listed.reading.ok()) {
            call.out << listed.entry.name << '\t' << listed.entry.notation << '\n';
        }
    }
    call.out.flush();
    return kRenderDone;
}

void tell(QTextStream& err, const QStringList& notes) {
    for (const QString& note : notes) {
        if (!note.isEmpty()) {
            err << programName() << ": " << note << '\n';
        }
    }
    err.flush();
}

// A sett as read, with what a refusal about it shows: the text it was read from and where that
// text starts on its line.
struct ReadSett {
    Sett sett;
    QString title;
    QString shownLine;
    const ListedEntry* entry = nullptr; // the entry of the lists it was taken from, if any
    QString several;                    // which entry was taken when several share its name
    QStringList notes; // how it was read, where that may not be what the user meant
};

// The sett of the first entry of that name (names match whatever their case).
std::variant<ReadSett, Stop> namedSett(const QString& given) {
    const NamedEntry named = entryNamed(given);
    if (named.first == nullptr) {
        return refused(unknownNameReason(given) + QStringLiteral(". --list prints every name."));
    }
    const SettReading& reading = named.first->reading;
    if (!reading.ok()) {
        return refused(named.notWoven(), caretLines(named.shownLine, reading.refusal->character));
    }
    return ReadSett{reading.sett, named.first->entry.name, named.shownLine,
                    named.first,  named.severalNote(),     {}};
}

// `what` names the sett in messages when it is not the warp's: "--weft: ".
std::variant<ReadSett, Stop> writtenSett(const QString& text, const QString& what = {}) {
    const SettReading reading = readSett(text);
    if (!reading.ok()) {
        return refused(what + reading.refusal->message,
                       caretLines(text, reading.refusal->character));
    }
    // The title stands on one line: a draft's and the yarn table's heading.
    ReadSett read{reading.sett, text.simplified(), text, nullptr, {}, {}};
    if (reading.unmarkedPairs) {
        read.notes.append(
            howItWasRead(reading, what.isEmpty() ? QString() : QStringLiteral("the weft ")));
    }
    return read;
}

// Why the arguments give no one sett, written or by --name.
std::optional<Stop> noOneSett(const QStringList& setts, bool named) {
    if (setts.size() > 1) {
        return refused(QStringLiteral("give the sett as one argument; quote a sett written "
                                      "with blanks, e.g. \"K4 R24 K24 Y4\"."));
    }
    if (named && !setts.isEmpty()) {
        return refused(QStringLiteral("give either a sett or --name, not both."));
    }
    if (!named && setts.isEmpty()) {
        return refused(QStringLiteral("no sett given: write one (e.g. \"B/24 W4 B24 R2 K24 G24 "
                                      "W/2\") or take one from the lists with --name \"NAME\"."));
    }
    return std::nullopt;
}

// The sett the arguments give, written or by --name, with the weft --weft gives it.
std::variant<ReadSett, Stop> askedSett(const QCommandLineParser& parser, const Options& o) {
    const QStringList setts = parser.positionalArguments();
    const bool named = parser.isSet(o.name);
    if (const std::optional<Stop> stop = noOneSett(setts, named)) {
        return *stop;
    }
    const QString name = parser.value(o.name).trimmed();
    if (named && name.isEmpty()) {
        return refused(QStringLiteral("--name needs the name of an entry of the lists."));
    }
    std::variant<ReadSett, Stop> sett = named ? namedSett(name) : writtenSett(setts.first());
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

// A density in threads to the metre, from threads to the inch or to the centimetre.
std::variant<double, Stop> density(const QCommandLineParser& parser, const Options& o) {
    const bool inches = parser.isSet(o.threadsPerInch);
    if (!inches && !parser.isSet(o.threadsPerCm)) {
        return 0.0;
    }
    const QCommandLineOption& option = inches ? o.threadsPerInch : o.threadsPerCm;
    const LengthUnit per = inches ? LengthUnit::Inch : LengthUnit::Centimetre;
    const QString value = parser.value(option);
    const auto read = readDensity(value + (inches ? QStringLiteral("/in") : QStringLiteral("/cm")));
    const Density* given = std::get_if<Density>(&read);
    if (given == nullptr || given->threadsPer(LengthUnit::Centimetre) < kSparsestCloth) {
        return refused(QStringLiteral("%1 takes a number of threads from %2 to %3, e.g. 56 or "
                                      "12.5, not \"%4\".")
                           .arg(shownName(option))
                           .arg(Density{kSparsestCloth}.threadsPer(per))
                           .arg(Density{kDensestThreads}.threadsPer(per))
                           .arg(value));
    }
    return given->threadsPer(LengthUnit::Metre);
}

// What -o asks for: the drawing and the picture's format by the file's ending, and --cloth.
std::optional<Stop> readFileKind(const QCommandLineParser& parser, const Options& o,
                                 RenderRequest& r) {
    const QString fileName = parser.value(o.output);
    if (fileName.isEmpty()) {
        return refused(QStringLiteral("no output file: give one with -o FILE, ending in .bmp, "
                                      ".png or .wif."));
    }
    const QString ending = QFileInfo(fileName).suffix().toLower();
    if (ending == u"png" || ending == u"bmp") {
        r.format = ending == u"png" ? PictureFormat::Png : PictureFormat::Bitmap;
        r.drawing = parser.isSet(o.cloth) ? Drawing::Cloth : Drawing::Designer;
        return std::nullopt;
    }
    if (ending != u"wif") {
        return refused(QStringLiteral("cannot tell what to write to \"%1\": the file name must "
                                      "end in .bmp, .png or .wif.")
                           .arg(QDir::toNativeSeparators(fileName)));
    }
    r.drawing = Drawing::Draft;
    if (parser.isSet(o.cloth)) {
        return refused(QStringLiteral("--cloth draws a picture; a .wif draft holds the same "
                                      "cloth as threads. Give a .png or .bmp file."));
    }
    if (parser.isSet(o.scale)) {
        return refused(QStringLiteral("--scale is for pictures; a .wif draft has no pixels to "
                                      "scale."));
    }
    return std::nullopt;
}

// The numbers and the background colour of a picture or a draft.
std::optional<Stop> readLook(const QCommandLineParser& parser, const Options& o, RenderRequest& r) {
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
    r.shadeSteps = std::get<int>(brighten) - std::get<int>(darken);
    r.scale = std::get<int>(scale);
    r.repeats = std::get<int>(repeats);
    r.threadsPerMetre = std::get<double>(threadsPerMetre);
    if (parser.isSet(o.background)) {
        r.background = findSwatchByCode(parser.value(o.background));
        if (r.background == nullptr) {
            return refused(
                QStringLiteral("--background: \"%1\" is not a colour code of the palette.")
                    .arg(parser.value(o.background)));
        }
    }
    return std::nullopt;
}

// The request the options make, or why they make none.
std::variant<Request, Stop> readRequest(const QCommandLineParser& parser, const Options& o) {
    Request request;
    RenderRequest& r = request.render;
    request.fileName = parser.value(o.output);
    if (const std::optional<Stop> stop = readFileKind(parser, o, r)) {
        return *stop;
    }
    if (const std::optional<Stop> stop = readLook(parser, o, r)) {
        return *stop;
    }
    std::variant<ReadSett, Stop> asked = askedSett(parser, o);
    if (const Stop* stop = std::get_if<Stop>(&asked)) {
        return *stop;
    }
    const ReadSett& read = std::get<ReadSett>(asked);
    r.sett = read.sett;
    r.title = read.title;
    r.credits = draftCredits(draftDate());
    request.several = read.several;
    request.notes = read.notes;
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

// The designer's picture, the cloth or the draft, written to the file -o names.
int writePicture(const Call& call) {
    const std::variant<Request, Stop> read = readRequest(call.parser, call.o);
    if (const Stop* stop = std::get_if<Stop>(&read)) {
        return report(call.err, *stop);
    }
    const Request& request = std::get<Request>(read);
    if (!request.several.isEmpty()) {
        call.out << request.several << '\n';
        call.out.flush();
    }
    if (const std::optional<Stop> failed = writeFile(request)) {
        return report(call.err, *failed);
    }
    tell(call.err, request.notes);
    return kRenderDone;
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

int runGallery(const Call& call) {
    const QString dir = call.parser.value(call.o.gallery);
    if (dir.trimmed().isEmpty()) {
        return report(call.err, refused(QStringLiteral("--gallery needs the name of a folder, "
                                                       "e.g. --gallery gallery.")));
    }
    return writeReferenceGallery(dir, call.out, call.err, call.showProgress);
}

// The entries nearest a written or named sett; a named entry comes first, as the same cloth.
int printSimilar(const Call& call) {
    const auto& [parser, o, out, err, showProgress] = call;
    if (parser.positionalArguments().size() + (parser.isSet(o.name) ? 1 : 0) != 1) {
        return report(err, refused(QStringLiteral("--similar takes one sett (quoted when written "
                                                  "with blanks, e.g. \"K4 R24 K24 Y4\") or "
                                                  "--name \"NAME\".")));
    }
    const auto top = wholeNumber(parser, o.top, 1, kMostSimilar, kSimilarUnlessGiven);
    if (const Stop* stop = std::get_if<Stop>(&top)) {
        return report(err, *stop);
    }
    const std::variant<ReadSett, Stop> asked = askedSett(parser, o);
    if (const Stop* stop = std::get_if<Stop>(&asked)) {
        return report(err, *stop);
    }
    const ReadSett& read = std::get<ReadSett>(asked);
    if (threadsPerRepeat(read.sett) == 0) {
        return report(err, refused(QStringLiteral("the sett has no threads to compare.")));
    }
    for (const QString& line : QStringList{read.several} + read.notes) {
        if (!line.isEmpty()) {
            out << "# " << line << '\n';
        }
    }
    out << "# rank\tscore\tname\tlist\tsett\n";
    const QList<SimilarEntry> similar = entriesNearest(read.sett, std::get<int>(top), read.entry);
    for (qsizetype rank = 0; rank < similar.size(); ++rank) {
        const ReferenceEntry& entry = similar[rank].listed->entry;
        out << rank + 1 << '\t' << similar[rank].score << '\t'
            << (entry.name.isEmpty() ? entry.notation : entry.name) << '\t'
            << pageCaption(similar[rank].listed->page) << '\t' << entry.notation << '\n';
    }
    out.flush();
    return kRenderDone;
}

// The cloth --width, --length and the densities, waste and take-up describe, or why they
// describe none.
std::variant<ClothOrder, Stop> readOrder(const QCommandLineParser& parser, const Options& o) {
    ClothOrder order;
    std::optional<Stop> stop;
    const auto given = [&](const QCommandLineOption& option, auto reader, auto& into) {
        if (stop || !parser.isSet(option)) {
            return;
        }
        const auto read = reader(parser.value(option));
        if (const QString* why = std::get_if<QString>(&read)) {
            stop = refused(shownName(option) + QStringLiteral(": ") + *why);
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

// --yarn: the sett's threads and yarn per colour for a cloth of the given size, on out or in a
// CSV file. Notes go to err so that out holds the table alone.
int countYarn(const Call& call) {
    const auto& [parser, o, out, err, showProgress] = call;
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
    const auto order = readOrder(parser, o);
    if (const Stop* stop = std::get_if<Stop>(&order)) {
        return report(err, *stop);
    }
    const std::variant<ReadSett, Stop> asked = askedSett(parser, o);
    if (const Stop* stop = std::get_if<Stop>(&asked)) {
        return report(err, *stop);
    }
    const ReadSett& read = std::get<ReadSett>(asked);
    const YarnPlan plan = yarnPlan(read.sett, std::get<ClothOrder>(order));
    if (plan.refusal) {
        return report(err, refused(*plan.refusal));
    }
    // The heading says which sett was counted: an entry's name alone may stand for several.
    const QString heading =
        yarnHeading(yarnTitle(read.title, read.sett, read.entry != nullptr),
                    std::get<ClothOrder>(order), !parser.isSet(o.waste), !parser.isSet(o.takeUp));
    if (!parser.isSet(o.output)) {
        out << yarnTable(plan, heading);
        out.flush();
    } else if (const std::optional<QString> problem =
                   saveFile(yarnCsv(plan, heading), fileName, QStringLiteral("yarn table"))) {
        return report(err, notSaved(QStringLiteral("yarn table"), fileName, *problem));
    }
    tell(err, QStringList{read.several} + read.notes + yarnNotes(plan));
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

// What the tool does, in the order the help and the manual page list it: each mode with the
// options it takes, whether it takes a sett, and what runs it. A mode is asked for by its own
// option; the pictures by --cloth or a .wif file, else the designer's picture.
struct Mode {
    QString shown; // how a refusal names it
    OptionOf askedBy;
    bool takesSett;
    QList<OptionOf> takes;
    int (*run)(const Call&);
};

const QList<Mode>& modes() {
    using O = Options;
    static const QList<Mode> table{
        {QStringLiteral("the designer's picture"),
         nullptr,
         true,
         {&O::output, &O::name, &O::background, &O::brighten, &O::darken, &O::scale},
         writePicture},
        {QStringLiteral("cloth and drafts (--cloth, .wif)"),
         nullptr,
         true,
         {&O::output, &O::name, &O::cloth, &O::weft, &O::brighten, &O::darken, &O::scale,
          &O::repeats, &O::threadsPerInch, &O::threadsPerCm},
         writePicture},
        {QStringLiteral("--yarn"),
         &O::yarn,
         true,
         {&O::yarn, &O::output, &O::name, &O::weft, &O::width, &O::length, &O::yarnDensity,
          &O::weftDensity, &O::waste, &O::takeUp},
         countYarn},
        {QStringLiteral("--similar"),
         &O::similar,
         true,
         {&O::similar, &O::name, &O::top},
         printSimilar},
        {QStringLiteral("--list"), &O::list, false, {&O::list}, printList},
        {QStringLiteral("--gallery"), &O::gallery, false, {&O::gallery}, runGallery},
    };
    return table;
}

// Options of which a run takes one at most, whatever its mode.
const QList<std::pair<OptionOf, OptionOf>> kOneOf{
    {&Options::brighten, &Options::darken},
    {&Options::threadsPerInch, &Options::threadsPerCm},
};

// The mode the options ask for: the first whose own option is given, else the cloth or draft
// when --cloth or a .wif file is, else the designer's picture.
const Mode& askedMode(const QCommandLineParser& parser, const Options& o) {
    for (const Mode& mode : modes()) {
        if (mode.askedBy != nullptr && parser.isSet(o.*mode.askedBy)) {
            return mode;
        }
    }
    const bool draft = QFileInfo(parser.value(o.output)).suffix().toLower() == u"wif";
    return modes()[parser.isSet(o.cloth) || draft ? 1 : 0];
}

// Where an option belongs, for a refusal: the modes that take it, unless it asks for one itself.
QString homes(OptionOf option) {
    QStringList shown;
    for (const Mode& mode : modes()) {
        if (mode.askedBy == option) {
            return {};
        }
        if (mode.takes.contains(option)) {
            shown.append(mode.shown);
        }
    }
    const QString last = shown.takeLast();
    return QStringLiteral("; it is for ") +
           (shown.isEmpty() ? last
                            : shown.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last);
}

// The one check of which options go together: refuses a sett or an option the mode does not
// take, an option given twice, and two options of which a run takes one.
std::optional<Stop> notTogether(const QCommandLineParser& parser, const Options& o,
                                const Mode& mode) {
    if (!mode.takesSett && !parser.positionalArguments().isEmpty()) {
        return refused(QStringLiteral("%1 takes no sett; \"%2\" is not for it.")
                           .arg(mode.shown, parser.positionalArguments().constFirst()));
    }
    for (const OptionOf option : kAllOptions) {
        const QCommandLineOption& given = o.*option;
        if (parser.isSet(given) && !mode.takes.contains(option)) {
            return refused(QStringLiteral("%1 is not for %2%3.")
                               .arg(shownName(given), mode.shown, homes(option)));
        }
        if (!given.valueName().isEmpty() && parser.values(given).size() > 1) {
            return refused(
                QStringLiteral("%1 is given more than once; give it once.").arg(shownName(given)));
        }
    }
    for (const auto& [one, other] : kOneOf) {
        if (parser.isSet(o.*one) && parser.isSet(o.*other)) {
            return refused(QStringLiteral("%1 and %2 cannot be used together; give one of them.")
                               .arg(shownName(o.*one), shownName(o.*other)));
        }
    }
    return std::nullopt;
}

int run(const QStringList& arguments, QTextStream& out, QTextStream& err, bool showProgress) {
    const Options o;
    QCommandLineParser parser;
    parser.setApplicationDescription(description());
    parser.addOptions(o.all());
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
    const Mode& mode = askedMode(parser, o);
    if (const std::optional<Stop> stop = notTogether(parser, o, mode)) {
        return report(err, *stop);
    }
    return mode.run({parser, o, out, err, showProgress});
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
