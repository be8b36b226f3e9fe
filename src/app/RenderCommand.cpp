#include "app/RenderCommand.h"

#include "app/RenderOptions.h"
#include "app/RenderRequest.h"

#include "cloth/YarnTitle.h"
#include "collection/Similarity.h"
#include "gallery/Gallery.h"
#include "io/SaveFile.h"
#include "model/ShownText.h"
#include "render/Render.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <variant>

namespace loomara {

namespace {

using Options = RenderOptions;
using Stop = RenderStop;
using ReadSett = AskedSett;
using Request = PictureRequest;

constexpr int kMostSimilar = 100;
constexpr int kSimilarUnlessGiven = 10;

QString programName() {
    return QStringLiteral("loomara-render");
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

// One run of a mode: the arguments as read and where its answer and its messages go.
struct Call {
    const QCommandLineParser& parser;
    const Options& o;
    QTextStream& out;
    QTextStream& err;
    bool showProgress = false;
};

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
        return renderRefused(rendered.refusal->message,
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
    if (const std::optional<Stop> failed = writeFile(request)) {
        return report(call.err, *failed);
    }
    // Which entry of a shared name was woven goes with the notes, not where a picture may go.
    tell(call.err, QStringList{request.several} + request.notes);
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
        return report(err,
                      renderRefused(QStringLiteral("the gallery will not write into \"%1\": %2. "
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
    // Anyone who can write the gallery's list can make it name a file of the user's.
    QStringList removed = whatTheRunRemoved(dir, result);
    for (QString& note : removed) {
        note = shownText(note);
    }
    tell(err, removed);
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
        return report(call.err,
                      renderRefused(QStringLiteral("--gallery needs the name of a folder, "
                                                   "e.g. --gallery gallery.")));
    }
    return writeReferenceGallery(dir, call.out, call.err, call.showProgress);
}

// The entries nearest a written or named sett; a named entry comes first, as the same cloth.
int printSimilar(const Call& call) {
    const auto& [parser, o, out, err, showProgress] = call;
    if (parser.positionalArguments().size() + (parser.isSet(o.name) ? 1 : 0) +
            (parser.isSet(o.fromPicture) ? 1 : 0) !=
        1) {
        return report(err,
                      renderRefused(QStringLiteral("--similar takes one sett (quoted when written "
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
        return report(err, renderRefused(QStringLiteral("the sett has no threads to compare.")));
    }
    for (const QString& line : QStringList{read.several} + read.notes) {
        if (!line.isEmpty()) {
            out << "# " << line << '\n';
        }
    }
    out << "# rank\tscore\tname\tlist\tsett\n";
    // An entry in other colours is another cloth: it takes its place by its score, not first.
    const bool coloured = parser.isSet(o.recolour) || parser.isSet(o.scheme);
    const QList<SimilarEntry> similar =
        entriesNearest(read.sett, std::get<int>(top), coloured ? nullptr : read.entry);
    for (qsizetype rank = 0; rank < similar.size(); ++rank) {
        const ReferenceEntry& entry = similar[rank].listed->entry;
        out << rank + 1 << '\t' << similar[rank].score << '\t'
            << (entry.name.isEmpty() ? entry.notation : entry.name) << '\t'
            << pageCaption(similar[rank].listed->page) << '\t' << entry.notation << '\n';
    }
    out.flush();
    return kRenderDone;
}

// --yarn: the sett's threads and yarn per colour for a cloth of the given size, on out or in a
// CSV file. Notes go to err so that out holds the table alone.
int countYarn(const Call& call) {
    const auto& [parser, o, out, err, showProgress] = call;
    const QString fileName = parser.value(o.output);
    const auto order = readOrder(parser, o);
    if (const Stop* stop = std::get_if<Stop>(&order)) {
        return report(err, *stop);
    }
    const std::variant<ReadSett, Stop> asked = askedSett(parser, o);
    if (const Stop* stop = std::get_if<Stop>(&asked)) {
        return report(err, *stop);
    }
    const ReadSett& read = std::get<ReadSett>(asked);
    // The yarn is the same in every weave, but a weave that is not one is refused all the same.
    const auto weave = askedWeave(parser, o);
    if (const Stop* stop = std::get_if<Stop>(&weave)) {
        return report(err, *stop);
    }
    const YarnPlan plan = yarnPlan(read.sett, std::get<ClothOrder>(order));
    if (plan.refusal) {
        return report(err, renderRefused(*plan.refusal));
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

// --from-picture alone: the sett read, in pattern-book notation, on out; how it was read on err.
int printPictureSett(const Call& call) {
    const std::variant<ReadSett, Stop> read = askedSett(call.parser, call.o);
    if (const Stop* stop = std::get_if<Stop>(&read)) {
        return report(call.err, *stop);
    }
    call.out << std::get<ReadSett>(read).title << '\n';
    call.out.flush();
    tell(call.err, std::get<ReadSett>(read).notes);
    return kRenderDone;
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
    OptionOf notWith = nullptr; // its own option asks for another mode when this one is given
};

const QList<Mode>& modes() {
    using O = Options;
    static const QList<Mode> table{
        {QStringLiteral("the designer's picture"),
         nullptr,
         true,
         {&O::output, &O::name, &O::fromPicture, &O::background, &O::brighten, &O::darken,
          &O::scale, &O::recolour},
         writePicture},
        {QStringLiteral("cloth and drafts (--cloth, .wif)"),
         nullptr,
         true,
         {&O::output, &O::name, &O::fromPicture, &O::cloth, &O::weft, &O::brighten, &O::darken,
          &O::scale, &O::repeats, &O::threadsPerInch, &O::threadsPerCm, &O::weave, &O::recolour,
          &O::scheme},
         writePicture},
        {QStringLiteral("the cloth as woven (--as-woven)"),
         &O::asWoven,
         true,
         {&O::output, &O::name, &O::fromPicture, &O::asWoven, &O::cloth, &O::weft, &O::weave,
          &O::brighten, &O::darken, &O::repeats, &O::threadsPerInch, &O::threadsPerCm,
          &O::weftThreadsPerInch, &O::weftThreadsPerCm, &O::yarnSize, &O::backing, &O::pixelsPerMm,
          &O::recolour, &O::scheme},
         writePicture},
        {QStringLiteral("--yarn"),
         &O::yarn,
         true,
         {&O::yarn, &O::output, &O::name, &O::fromPicture, &O::weft, &O::width, &O::length,
          &O::yarnDensity, &O::weftDensity, &O::waste, &O::takeUp, &O::weave, &O::recolour,
          &O::scheme},
         countYarn},
        {QStringLiteral("--similar"),
         &O::similar,
         true,
         {&O::similar, &O::name, &O::fromPicture, &O::top, &O::recolour, &O::scheme},
         printSimilar},
        {QStringLiteral("--list"), &O::list, false, {&O::list}, printList},
        {QStringLiteral("--gallery"), &O::gallery, false, {&O::gallery}, runGallery},
        {QStringLiteral("--from-picture alone"),
         &O::fromPicture,
         true,
         {&O::fromPicture, &O::name},
         printPictureSett,
         &O::output},
    };
    return table;
}

// Options of which a run takes one at most, whatever its mode.
const QList<std::pair<OptionOf, OptionOf>> kOneOf{
    {&Options::brighten, &Options::darken},
    {&Options::threadsPerInch, &Options::threadsPerCm},
    {&Options::weftThreadsPerInch, &Options::weftThreadsPerCm},
};

// The mode the options ask for: the first whose own option is given, else the cloth or draft
// when --cloth or a .wif file is, else the designer's picture.
const Mode& askedMode(const QCommandLineParser& parser, const Options& o) {
    for (const Mode& mode : modes()) {
        if (mode.askedBy != nullptr && parser.isSet(o.*mode.askedBy) &&
            (mode.notWith == nullptr || !parser.isSet(o.*mode.notWith))) {
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
    if (shown.isEmpty()) {
        return {};
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
        return renderRefused(QStringLiteral("%1 takes no sett; \"%2\" is not for it.")
                                 .arg(mode.shown, parser.positionalArguments().constFirst()));
    }
    for (const OptionOf option : renderOptionOrder()) {
        const QCommandLineOption& given = o.*option;
        if (parser.isSet(given) && !mode.takes.contains(option)) {
            return renderRefused(QStringLiteral("%1 is not for %2%3.")
                                     .arg(shownName(given), mode.shown, homes(option)));
        }
        if (!given.valueName().isEmpty() && parser.values(given).size() > 1) {
            return renderRefused(
                QStringLiteral("%1 is given more than once; give it once.").arg(shownName(given)));
        }
    }
    for (const auto& [one, other] : kOneOf) {
        if (parser.isSet(o.*one) && parser.isSet(o.*other)) {
            return renderRefused(
                QStringLiteral("%1 and %2 cannot be used together; give one of them.")
                    .arg(shownName(o.*one), shownName(o.*other)));
        }
    }
    return std::nullopt;
}

int run(const QStringList& arguments, QTextStream& out, QTextStream& err, bool showProgress) {
    const Options o;
    QCommandLineParser parser;
    parser.setApplicationDescription(renderDescription());
    parser.addOptions(o.all());
    parser.addPositionalArgument(QStringLiteral("SETT"),
                                 QStringLiteral("The sett to weave, unless --name gives one."),
                                 QStringLiteral("[SETT]"));

    if (!parser.parse(arguments)) {
        QString why = parser.errorText();
        if (!why.isEmpty()) {
            why[0] = why[0].toLower();
        }
        return report(err, renderRefused(why + QStringLiteral(" See loomara-render --help.")));
    }
    if (parser.isSet(o.help)) {
        out << renderHelp(parser);
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
