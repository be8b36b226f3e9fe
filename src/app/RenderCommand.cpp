#include "app/RenderCommand.h"

#include "entry/Designer.h"
#include "entry/EnterSett.h"
#include "entry/Gallery.h"
#include "entry/ReferenceEntries.h"
#include "entry/SettText.h"
#include "io/SaveFile.h"
#include "io/SavePicture.h"
#include "io/ScaledPicture.h"
#include "io/WeavingDraft.h"
#include "palette/PaletteSwatch.h"
#include "reference/ReferencePages.h"

#include <QBuffer>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLocale>

#include <algorithm>
#include <numeric>
#include <variant>

namespace loomara {

namespace {

// A draft names who to ask about the program that wrote it; the project publishes no address.
constexpr const char* kDraftContact = "loomara@example.invalid";

// Nine steps of 30 take any colour component from one end of 0..255 to the other.
constexpr int kMostShadeSteps = 9;
constexpr int kLargestScale = 8;
// A suggestion for an unknown name shares at least this many first characters with it.
constexpr int kShortestSharedStart = 3;
constexpr int kMostSuggestions = 5;

QString programName() {
    return QStringLiteral("loomara-render");
}

// As a weaving draft dates itself: "December 8, 2026", whatever the user's language.
QString today() {
    return QLocale::c().toString(QDate::currentDate(), QStringLiteral("MMMM d, yyyy"));
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

enum class Format { Bitmap, Png, Draft };

// Everything a picture or a draft is made from, once every option has been accepted.
struct Request {
    QList<WrittenStripe> stripes;
    QString title; // the entry's name, or the sett as written
    QString fileName;
    Format format = Format::Bitmap;
    const PaletteSwatch* background = nullptr;
    int shadeSteps = 0;
    int scale = 1;
    int repeats = 1;
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
                               QStringLiteral("Repeat the sett N times each way in the draft "
                                              "(.wif only; 1 unless given)."),
                               QStringLiteral("N")};
    QCommandLineOption gallery{
        QStringLiteral("gallery"),
        QStringLiteral("Weave every entry of the lists into the folder DIR: a picture, a "
                       "thumbnail and a weaving draft of each, and an index.html that shows them "
                       "page by page, with the entries that cannot be woven and why."),
        QStringLiteral("DIR")};
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Print this help.")};
    QCommandLineOption version{QStringList{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Print the version.")};

    QList<QCommandLineOption> all() const {
        return {output, name,    list,    background, brighten, darken,
                scale,  repeats, gallery, help,       version};
    }
};

QString helpText(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    // Qt's usage line names the program by the path it was started from and shows one form.
    text.remove(0, text.indexOf(u'\n'));
    return QStringLiteral("Usage: loomara-render SETT -o FILE [options]\n"
                          "       loomara-render --name \"NAME\" -o FILE [options]\n"
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

// An entry of the built-in lists and the page whose list holds it.
struct ListedEntry {
    ReferenceEntry entry;
    int page = 0;
};

// Every entry with a name, page by page in list order: an entry without one cannot be asked for.
QList<ListedEntry> namedEntries() {
    QList<ListedEntry> named;
    for (int page = 1; page <= reference::kReferencePageCount; ++page) {
        for (ReferenceEntry& entry : readReferenceList(reference::storedList(page))) {
            if (!entry.name.isEmpty()) {
                named.append({std::move(entry), page});
            }
        }
    }
    return named;
}

int printList(QTextStream& out) {
    for (const ListedEntry& listed : namedEntries()) {
        if (readReferenceSett(listed.entry).ok()) {
            out << listed.entry.name << '\t' << listed.entry.notation << '\n';
        }
    }
    out.flush();
    return kRenderDone;
}

// Names that start as the given one does, with its longest start that some name shares, down to
// kShortestSharedStart characters: a misspelt name most often goes wrong late.
Stop unknownName(const QList<ListedEntry>& entries, const QString& given) {
    QStringList names;
    QString start;
    for (qsizetype length = given.size();
         names.isEmpty() && length >= std::min<qsizetype>(given.size(), kShortestSharedStart);
         --length) {
        start = given.left(length);
        for (const ListedEntry& listed : entries) {
            if (listed.entry.name.startsWith(start, Qt::CaseInsensitive) &&
                !names.contains(listed.entry.name)) {
                names.append(listed.entry.name);
            }
        }
    }
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

// The sett of the first entry of that name (names match whatever their case); several of one
// name are told on out.
std::variant<Request, Stop> namedSett(const QString& given, QTextStream& out) {
    const QList<ListedEntry> entries = namedEntries();
    QList<const ListedEntry*> matches;
    for (const ListedEntry& listed : entries) {
        if (listed.entry.name.compare(given, Qt::CaseInsensitive) == 0) {
            matches.append(&listed);
        }
    }
    if (matches.isEmpty()) {
        return unknownName(entries, given);
    }
    const ListedEntry& first = *matches.first();
    if (matches.size() > 1) {
        out << QStringLiteral("\"%1\" names %2 entries of the lists; the first, %3, is used.\n")
                   .arg(first.entry.name)
                   .arg(matches.size())
                   .arg(first.entry.notation);
        out.flush();
    }
    const SettReading reading = readReferenceSett(first.entry);
    if (!reading.ok()) {
        const reference::ReferencePageDescription& page = reference::referencePage(first.page);
        const QStringList lines = reference::storedLines(first.page);
        const int line = first.entry.notationLine > 0 ? first.entry.notationLine : first.entry.line;
        return refused(QStringLiteral("the sett of \"%1\" (list %2, line %3) cannot be woven: %4")
                           .arg(first.entry.name,
                                QString::fromUtf8(page.caption.data(),
                                                  static_cast<qsizetype>(page.caption.size())))
                           .arg(line)
                           .arg(reading.refusal->message),
                       line <= lines.size()
                           ? caretUnder(lines[line - 1], reading.refusal->character)
                           : QStringList{});
    }
    Request request;
    request.stripes = reading.stripes;
    request.title = first.entry.name;
    return request;
}

std::variant<Request, Stop> writtenSett(const QString& sett) {
    const SettReading reading = readWrittenSett(sett);
    if (!reading.ok()) {
        return refused(reading.refusal->message, caretUnder(sett, reading.refusal->character));
    }
    Request request;
    request.stripes = reading.stripes;
    request.title = sett.trimmed();
    return request;
}

// The request the options make, or why they make none.
std::variant<Request, Stop> readRequest(const QCommandLineParser& parser, const Options& o,
                                        QTextStream& out) {
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
    const QString ending = QFileInfo(fileName).suffix().toLower();
    Format format = Format::Bitmap;
    if (ending == u"png") {
        format = Format::Png;
    } else if (ending == u"wif") {
        format = Format::Draft;
    } else if (ending != u"bmp") {
        return refused(QStringLiteral("cannot tell what to write to \"%1\": the file name must "
                                      "end in .bmp, .png or .wif.")
                           .arg(QDir::toNativeSeparators(fileName)));
    }
    const bool picture = format != Format::Draft;
    if (!picture && parser.isSet(o.scale)) {
        return refused(QStringLiteral("--scale is for pictures; a .wif draft has no pixels to "
                                      "scale."));
    }
    if (!picture && parser.isSet(o.background)) {
        return refused(QStringLiteral("--background is for pictures; a .wif draft holds only "
                                      "threads."));
    }
    if (picture && parser.isSet(o.repeats)) {
        return refused(QStringLiteral("--repeats is for .wif drafts; a picture shows as many "
                                      "repeats as its canvas holds."));
    }
    if (parser.isSet(o.brighten) && parser.isSet(o.darken)) {
        return refused(QStringLiteral("--brighten and --darken cannot be used together; give "
                                      "one of them."));
    }

    const auto brighten = wholeNumber(parser, o.brighten, 0, kMostShadeSteps, 0);
    const auto darken = wholeNumber(parser, o.darken, 0, kMostShadeSteps, 0);
    const auto scale = wholeNumber(parser, o.scale, 1, kLargestScale, 1);
    const auto repeats = wholeNumber(parser, o.repeats, 1, static_cast<int>(kMostDraftThreads), 1);
    for (const auto* number : {&brighten, &darken, &scale, &repeats}) {
        if (const Stop* stop = std::get_if<Stop>(number)) {
            return *stop;
        }
    }

    const PaletteSwatch* background = nullptr;
    if (parser.isSet(o.background)) {
        const QString code = parser.value(o.background);
        background = findSwatchByCode(code);
        if (background == nullptr) {
            return refused(
                QStringLiteral("--background: \"%1\" is not a colour code of the palette.")
                    .arg(code));
        }
    }

    const QStringList setts = parser.positionalArguments();
    const bool named = parser.isSet(o.name);
    if (setts.size() > 1) {
        return refused(QStringLiteral("give the sett as one argument; quote a sett written "
                                      "with blanks, e.g. \"K10, R20, lr4, \"."));
    }
    if (named && !setts.isEmpty()) {
        return refused(QStringLiteral("give either a sett or --name, not both."));
    }
    if (!named && setts.isEmpty()) {
        return refused(QStringLiteral("no sett given: write one (e.g. y8b32k28r60y8) or take "
                                      "one from the lists with --name \"NAME\"."));
    }
    const QString name = parser.value(o.name).trimmed();
    if (named && name.isEmpty()) {
        return refused(QStringLiteral("--name needs the name of an entry of the lists."));
    }

    std::variant<Request, Stop> sett = named ? namedSett(name, out) : writtenSett(setts.first());
    if (Request* request = std::get_if<Request>(&sett)) {
        request->fileName = fileName;
        request->format = format;
        request->background = background;
        request->shadeSteps = std::get<int>(brighten) - std::get<int>(darken);
        request->scale = std::get<int>(scale);
        request->repeats = std::get<int>(repeats);
    }
    return sett;
}

Stop notSaved(const QString& what, const QString& fileName, const QString& problem) {
    return {kRenderWriteFailed,
            QStringLiteral("the %1 could not be saved as \"%2\": %3. Nothing was written; a file "
                           "already there is unchanged.")
                .arg(what, QDir::toNativeSeparators(fileName), problem),
            {}};
}

QByteArray pngBytes(const QImage& picture) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return picture.save(&buffer, "PNG") ? bytes : QByteArray();
}

std::optional<Stop> writePicture(const Request& request) {
    Designer designer;
    if (const std::optional<QString> refusal =
            enterAndWeave(designer, {request.stripes, request.background, request.shadeSteps})) {
        return refused(QStringLiteral("the sett cannot be entered: %1").arg(*refusal));
    }
    const QImage woven = designer.form.weavePicture.image();
    if (woven.isNull()) {
        const int threads = std::accumulate(
            request.stripes.begin(), request.stripes.end(), 0,
            [](int sum, const WrittenStripe& stripe) { return sum + stripe.count; });
        return refused(QStringLiteral("the sett is %1 threads wide, too narrow for its woven "
                                      "picture to hold a pixel; widen the sett.")
                           .arg(threads));
    }
    const QImage picture = scaledPicture(woven, request.scale);
    if (picture.isNull()) {
        return notSaved(QStringLiteral("picture"), request.fileName,
                        QStringLiteral("there is not enough memory to draw it at that scale"));
    }
    std::optional<QString> problem;
    if (request.format == Format::Bitmap) {
        problem = savePicture(picture, request.fileName);
    } else {
        const QByteArray bytes = pngBytes(picture);
        problem = bytes.isEmpty() ? QStringLiteral("it could not be encoded as PNG")
                                  : saveFile(bytes, request.fileName, QStringLiteral("picture"));
    }
    if (problem) {
        return notSaved(QStringLiteral("picture"), request.fileName, *problem);
    }
    return std::nullopt;
}

std::optional<Stop> writeDraft(const Request& request) {
    DraftRequest draftRequest;
    for (const WrittenStripe& stripe : request.stripes) {
        draftRequest.stripes.append({stripe.swatch.colour(), stripe.count});
    }
    draftRequest.title = request.title;
    draftRequest.shadeSteps = request.shadeSteps;
    draftRequest.repeats = request.repeats;
    draftRequest.date = today();
    draftRequest.contact = QString::fromLatin1(kDraftContact);
    draftRequest.programName = programName();
    draftRequest.programVersion = QStringLiteral(LOOMARA_VERSION);
    const WeavingDraft draft = weavingDraft(draftRequest);
    if (!draft.ok()) {
        return refused(QStringLiteral("the sett cannot be drafted: %1").arg(*draft.refusal));
    }
    if (const std::optional<QString> problem =
            saveFile(draft.bytes, request.fileName, QStringLiteral("draft"))) {
        return notSaved(QStringLiteral("draft"), request.fileName, *problem);
    }
    return std::nullopt;
}

int writeReferenceGallery(const QString& dir, QTextStream& out, QTextStream& err,
                          bool showProgress) {
    GalleryOptions options;
    options.programName = programName();
    options.programVersion = QStringLiteral(LOOMARA_VERSION);
    options.date = today();
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
    out << result.woven << " setts woven and " << result.skipped << " listed as not woven, in "
        << QDir::toNativeSeparators(QDir(dir).filePath(QStringLiteral("index.html"))) << '\n';
    out.flush();
    return kRenderDone;
}

} // namespace

int runRender(const QStringList& arguments, QTextStream& out, QTextStream& err, bool showProgress) {
    const Options o;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Weaves a sett as the Loomara designer weaves it after the same clicks,\n"
                       "and writes the picture (.bmp, .png) or a weaving draft (.wif). A sett\n"
                       "is written as the reference lists write it (y8b32k28r60y8) or as the\n"
                       "notation box holds it (\"K10, R20, lr4, \")."));
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

    const std::variant<Request, Stop> read = readRequest(parser, o, out);
    if (const Stop* stop = std::get_if<Stop>(&read)) {
        return report(err, *stop);
    }
    const Request& request = std::get<Request>(read);
    const std::optional<Stop> failed =
        request.format == Format::Draft ? writeDraft(request) : writePicture(request);
    return failed ? report(err, *failed) : kRenderDone;
}

} // namespace loomara
