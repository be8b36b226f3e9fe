#include "app/RenderCommand.h"

#include "app/RenderModes.h"
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

} // namespace

int renderGallery(const QString& dir, const QList<GalleryPage>& pages, QTextStream& out,
                  QTextStream& err, bool showProgress) {
    GalleryOptions options;
    options.date = draftDate();
    const auto progress = [&err](int done, int total) {
        err << "\rwoven " << done << " / " << total;
        err.flush();
    };
    const GalleryResult result =
        writeGallery(dir, pages, options, showProgress ? progress : GalleryProgress{});
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

namespace {

int runGallery(const Call& call) {
    const QString dir = call.parser.value(call.o.gallery);
    if (dir.trimmed().isEmpty()) {
        return report(call.err,
                      renderRefused(QStringLiteral("--gallery needs the name of a folder, "
                                                   "e.g. --gallery gallery.")));
    }
    return renderGallery(dir, referenceGalleryPages(), call.out, call.err, call.showProgress);
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
    // The first note names the sett read, which has just gone to standard output.
    tell(call.err, std::get<ReadSett>(read).notes.mid(1));
    return kRenderDone;
}

// What runs each mode's work.
int runMode(const RenderMode& mode, const Call& call) {
    switch (mode.work) {
    case RenderWork::Picture:
        return writePicture(call);
    case RenderWork::Yarn:
        return countYarn(call);
    case RenderWork::Similar:
        return printSimilar(call);
    case RenderWork::List:
        return printList(call);
    case RenderWork::Gallery:
        return runGallery(call);
    case RenderWork::PictureSett:
        return printPictureSett(call);
    }
    return kRenderRefused;
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
    const RenderMode& mode = askedMode(parser, o);
    if (const std::optional<Stop> stop = notTogether(parser, o, mode)) {
        return report(err, *stop);
    }
    return runMode(mode, {parser, o, out, err, showProgress});
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
