#include "app/RenderCommand.h"

#include "collection/Collection.h"
#include "collection/Similarity.h"
#include "gallery/Gallery.h"
#include "io/SaveFile.h"
#include "palette/PaletteSwatch.h"
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
// A suggestion for an unknown name shares at least this many first characters with it.
constexpr int kShortestSharedStart = 3;
constexpr int kMostSuggestions = 5;
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

// The text with a caret under its character-th character, counted from 1; nothing when the text
// is not one line or the place lies outside it.
QStringList caretUnder(QString text, int character) {
    if (character < 1 || character > text.size() + 1 || text.contains(u'\n') ||
        text.contains(u'\r')) {
        return {};
    }
    text.replace(u'\t', u' ');
    return {text, QString(character - 1, u' ') + u'^'};
}

int report(QTextStream& err, const Stop& stop) {
    err << programName() << ": " << stop.why << '\n';
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
    QString shownLine; // the line the sett was read from, for a caret under a refused place
};

// The largest density a cloth may be woven at, in threads to the centimetre: finer than any silk.
constexpr double kDensestCloth = 1000;

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

    QList<QCommandLineOption> all() const {
        return {output, name, list,           background,   brighten, darken, scale,  repeats,
                cloth,  weft, threadsPerInch, threadsPerCm, gallery,  help,   version};
    }
};

QString helpText(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    // Qt's usage line names the program by the path it was started from and shows one form.
    text.remove(0, text.indexOf(u'\n'));
    return QStringLiteral("Usage: loomara-render SETT -o FILE [options]\n"
                          "       loomara-render SETT --cloth -o FILE [--repeats N] [--weft SETT]\n"
                          "       loomara-render --name \"NAME\" -o FILE [options]\n"
                          "       loomara-render --list\n"
                          "       loomara-render --similar SETT [--top N]\n"
                          "       loomara-render --similar --name \"NAME\" [--top N]\n"
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
    QString start;
    const QStringList names = namesStartingLike(given, kShortestSharedStart, start);
    QString why = QStringLiteral("no entry of the lists is named \"%1\"").arg(given);
    if (!names.isEmpty()) {
        QStringList quoted;
        for (const QString& name :
             names.first(std::min<qsizetype>(names.size(), kMostSuggestions))) {
            quoted.append(QStringLiteral("\"%1\"").arg(name));
        }
        why += QStringLiteral("; names that start with \"%1\": %2").arg(start, quoted.join(", "));
        if (names.size() > kMostSuggestions) {
            why += QStringLiteral(" and %1 more").arg(names.size() - kMostSuggestions);
        }
    }
    return refused(why + QStringLiteral(". --list prints every name."));
}

// A sett as read, with what a refusal about it shows: the text it was read from and where that
// text starts on its line.
struct ReadSett {
    Sett sett;
    QString title;
    QString shownLine;
    QString where; // for a named entry, "list A to Di, line 3"
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
    ReadSett read{first.reading.sett, first.entry.name,
                  line <= lines.size() ? lines[line - 1] : QString(),
                  QStringLiteral("list %1, line %2").arg(pageCaption(first.page)).arg(line)};
    if (!first.reading.ok()) {
        return refused(QStringLiteral("the sett of \"%1\" (%2) cannot be woven: %3")
                           .arg(first.entry.name, read.where, first.reading.refusal->message),
                       caretUnder(read.shownLine, first.reading.refusal->character));
    }
    return read;
}

// How a sett written without marks was read, for the user who meant a straight repeat.
void tellHowItWasRead(const SettReading& reading, QTextStream& err) {
    if (!reading.unmarkedPairs) {
        return;
    }
    Sett straight = reading.sett;
    straight.repeat = Repeat::Straight;
    err << programName() << ": read \"" << writtenForm(reading.sett)
        << "\" as symmetric, mirrored about its first and last stripe; write \""
        << writtenForm(straight) << "\" for a straight repeat.\n";
    err.flush();
}

std::variant<ReadSett, Stop> writtenSett(const QString& text, QTextStream& err,
                                         const QString& what = {}) {
    const SettReading reading = readSett(text);
    if (!reading.ok()) {
        return refused(what + reading.refusal->message,
                       caretUnder(text, reading.refusal->character));
    }
    tellHowItWasRead(reading, err);
    return ReadSett{reading.sett, text.trimmed(), text, {}};
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
    const double most = inches ? kDensestCloth * 2.54 : kDensestCloth;
    const QString value = parser.value(option);
    bool number = false;
    const double given = value.toDouble(&number);
    const bool plain = std::all_of(value.begin(), value.end(),
                                   [](QChar c) { return (c >= u'0' && c <= u'9') || c == u'.'; });
    if (!number || !plain || !std::isfinite(given) || given <= 0 || given > most) {
        return refused(QStringLiteral("%1 takes a number of threads above 0 and at most %2, "
                                      "e.g. 56 or 12.5, not \"%3\".")
                           .arg(shownName(option))
                           .arg(most)
                           .arg(value));
    }
    return given * (inches ? 100 / 2.54 : 100);
}

// The request the options make, or why they make none.
std::variant<Request, Stop> readRequest(const QCommandLineParser& parser, const Options& o,
                                        QTextStream& out, QTextStream& err) {
    for (const QCommandLineOption& option : o.all()) {
        if (!option.valueName().isEmpty() && parser.values(option).size() > 1) {
            return refused(
                QStringLiteral("%1 is given more than once; give it once.").arg(shownName(option)));
        }
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
    if (r.drawing != Drawing::Cloth &&
        (parser.isSet(o.threadsPerInch) || parser.isSet(o.threadsPerCm))) {
        return refused(QStringLiteral("%1 is for cloth pictures (--cloth), which can be printed "
                                      "at the cloth's true size.")
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

    const QStringList setts = parser.positionalArguments();
    const bool named = parser.isSet(o.name);
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
    const QString name = parser.value(o.name).trimmed();
    if (named && name.isEmpty()) {
        return refused(QStringLiteral("--name needs the name of an entry of the lists."));
    }

    std::variant<ReadSett, Stop> sett =
        named ? namedSett(name, out) : writtenSett(setts.first(), err);
    if (const Stop* stop = std::get_if<Stop>(&sett)) {
        return *stop;
    }
    const ReadSett& read = std::get<ReadSett>(sett);
    r.sett = read.sett;
    r.title = read.title;
    if (parser.isSet(o.weft)) {
        std::variant<ReadSett, Stop> weft =
            writtenSett(parser.value(o.weft), err, QStringLiteral("--weft: "));
        if (const Stop* stop = std::get_if<Stop>(&weft)) {
            return *stop;
        }
        r.sett.ownWeft = std::make_shared<const Sett>(std::get<ReadSett>(weft).sett);
    }
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
                       caretUnder(request.shownLine, rendered.refusal->character));
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
    if (!result.ok()) {
        return report(err, {kRenderWriteFailed,
                            QStringLiteral("the gallery in \"%1\" could not be written: %2. "
                                           "Pictures of an earlier run there are kept.")
                                .arg(QDir::toNativeSeparators(dir), *result.failure),
                            {}});
    }
    out << result.woven << " setts woven (" << result.designer
        << " of them also in the designer) and " << result.skipped << " listed as not woven, in "
        << QDir::toNativeSeparators(QDir(dir).filePath(QStringLiteral("index.html"))) << '\n';
    out.flush();
    return kRenderDone;
}

// The entries nearest a written or named sett; a named entry comes first, as the same cloth.
int printSimilar(const QCommandLineParser& parser, const Options& o, QTextStream& out,
                 QTextStream& err) {
    QStringList others = parser.optionNames();
    others.removeAll(QStringLiteral("similar"));
    others.removeAll(QStringLiteral("top"));
    others.removeAll(QStringLiteral("name"));
    const QStringList setts = parser.positionalArguments();
    const bool named = parser.isSet(o.name);
    if (!others.isEmpty()) {
        return report(err, refused(QStringLiteral("--similar prints the entries nearest a sett "
                                                  "and takes only the sett or --name, and "
                                                  "--top.")));
    }
    for (const QCommandLineOption* option : {&o.name, &o.top}) {
        if (parser.values(*option).size() > 1) {
            return report(err, refused(QStringLiteral("%1 is given more than once; give it once.")
                                           .arg(shownName(*option))));
        }
    }
    if (setts.size() + (named ? 1 : 0) != 1) {
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
    const std::variant<ReadSett, Stop> read =
        named ? namedSett(name, noted) : writtenSett(setts.first(), err);
    if (const Stop* stop = std::get_if<Stop>(&read)) {
        return report(err, *stop);
    }
    const Sett& sett = std::get<ReadSett>(read).sett;
    if (threadsPerRepeat(sett) == 0) {
        return report(err, refused(QStringLiteral("the sett has no threads to compare.")));
    }
    noted.flush();
    for (const QString& line : notes.split(u'\n', Qt::SkipEmptyParts)) {
        out << "# " << line << '\n';
    }
    QList<SimilarEntry> similar;
    const ListedEntry* from = named ? entriesNamed(name).constFirst() : nullptr;
    if (from) {
        similar.append({from, 100});
    }
    similar += entriesNearest(sett, std::get<int>(top) - static_cast<int>(similar.size()), from);
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

} // namespace

int runRender(const QStringList& arguments, QTextStream& out, QTextStream& err, bool showProgress) {
    const Options o;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Weaves a sett as the Loomara designer weaves it after the same clicks and writes\n"
        "the picture (.bmp, .png), or draws the cloth (--cloth), or writes a weaving draft\n"
        "(.wif). A sett is written as the reference lists write it (y8b32k28r60y8), as the\n"
        "notation box holds it (\"K10, R20, lr4, \"), as pattern books write it\n"
        "(\"K4 R24 K24 Y4\", pivots marked \"B/24 W4 B24 R2 K24 G24 W/2\"), or as a\n"
        "straight repeat between marks (\"...K4 R24 K24 Y4...\"). Unmarked setts are\n"
        "symmetric."));
    parser.addOptions(o.all());
    parser.addOptions({o.similar, o.top});
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
        QStringList others = parser.optionNames();
        others.removeAll(QStringLiteral("list"));
        if (!parser.positionalArguments().isEmpty() || !others.isEmpty()) {
            return report(err, refused(QStringLiteral("--list prints the named setts and takes "
                                                      "no sett and no other option.")));
        }
        return printList(out);
    }
    if (parser.isSet(o.gallery)) {
        QStringList others = parser.optionNames();
        others.removeAll(QStringLiteral("gallery"));
        if (!parser.positionalArguments().isEmpty() || !others.isEmpty()) {
            return report(err, refused(QStringLiteral("--gallery weaves every named sett and "
                                                      "takes no sett and no other option.")));
        }
        return writeReferenceGallery(parser.value(o.gallery), out, err, showProgress);
    }

    if (parser.isSet(o.similar)) {
        return printSimilar(parser, o, out, err);
    }
    if (parser.isSet(o.top)) {
        return report(err, refused(QStringLiteral("--top is for --similar: how many entries it "
                                                  "prints.")));
    }

    const std::variant<Request, Stop> read = readRequest(parser, o, out, err);
    if (const Stop* stop = std::get_if<Stop>(&read)) {
        return report(err, *stop);
    }
    const Request& request = std::get<Request>(read);
    const std::optional<Stop> failed = writeFile(request);
    return failed ? report(err, *failed) : kRenderDone;
}

} // namespace loomara
