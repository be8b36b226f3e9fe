#include "gallery/Gallery.h"

#include "collection/Collection.h"
#include "collection/ReferenceEntries.h"
#include "collection/Similarity.h"
#include "gallery/IndexPage.h"
#include "gallery/OwnFiles.h"
#include "io/SaveFile.h"
#include "model/ShownText.h"
#include "model/SystemColours.h"
#include "model/Workers.h"
#include "reference/ReferencePages.h"
#include "render/Render.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QRegularExpression>
#include <QSet>
#include <QSize>
#include <QTemporaryFile>

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>
#include <variant>

#include <time.h>
#include <vector>

namespace loomara {

namespace {

constexpr qsizetype kLongestStem = 60;
constexpr int kThumbnailQuality = 85;
constexpr int kEntriesPerCore = 4;
// A card names its nearest other entry from this score up: near enough to be a near-duplicate.
constexpr int kVeryLikeScore = 90;

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The processor time of the calling thread, which unlike the time on the clock does not count
// the waits for a core or for the disk.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// One entry of a page as the gallery reads it, its page counted from 0, with the stem of its
// files; the stem is empty for an entry that cannot be read.
struct Item {
    ListedEntry listed;
    QString stem;
};

// The processor time spent on each kind of file, drawing and encoding together, and the time on
// the clock spent writing the files, flushes to disk included.
struct Timings {
    double designer = 0;
    double cloth = 0;
    double thumbnail = 0;
    double draft = 0;
    double write = 0;
};

// What became of one entry: its card, the files written for it, or why the gallery stops.
struct Outcome {
    GalleryCard card;
    OwnFiles written;
    int replaced = 0;
    std::optional<QString> failure;
    qint64 bytes = 0;
    Timings timings;
};

// The render step, its processor time added to `seconds`.
Rendered timedRender(const RenderRequest& request, const DesktopColours& desktop, double& seconds) {
    const double start = threadSeconds();
    Rendered rendered = render(request, desktop);
    seconds += threadSeconds() - start;
    return rendered;
}

// The cloth scaled down to fit the thumbnail square. Scaled down, the twill blends into
// thousands of colours, which a lossless thumbnail would keep at twice the size of the cloth.
std::optional<QByteArray> thumbnail(const QImage& cloth, QSize& size) {
    const QImage small =
        cloth.scaled(kThumbnailSize, kThumbnailSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_RGB32);
    size = small.size();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpg");
    writer.setQuality(kThumbnailQuality);
    if (small.isNull() || !writer.write(small)) {
        return std::nullopt;
    }
    return bytes;
}

// Why the designer's window cannot hold the sett, as a card says it: the reason alone, without
// the place or what was refused.
QString notInDesigner(const SettRefusal& refusal) {
    return QStringLiteral("Not in the designer: ") + refusal.reasonAlone();
}

// An entry's card before it is woven.
GalleryCard cardOf(const Item& item) {
    const ReferenceEntry& entry = item.listed.entry;
    GalleryCard card;
    card.page = item.listed.page;
    card.name = entry.name.isEmpty() ? entry.notation : entry.name;
    card.notation = entry.notation;
    card.line = entry.line;
    card.stem = item.stem;
    return card;
}

// The files of one entry as drawn, by kind in the order of kGalleryFiles.
using EntryFiles = std::array<Rendered, kGalleryFiles.size()>;

Rendered& fileOf(EntryFiles& files, GalleryFile file) {
    return files.at(static_cast<std::size_t>(file));
}

class ItemWriter {
public:
    ItemWriter(const QString& dir, const ListedFiles& before, OwnFilesLog& log,
               const DesktopColours& desktop, const DraftCredits& credits)
        : dir_(dir), before_(before), log_(log), desktop_(desktop), credits_(credits) {}

    Outcome weave(const Item& item) const {
        Outcome outcome;
        outcome.card = cardOf(item);
        if (!item.listed.reading.ok()) {
            outcome.card.notWoven = item.listed.reading.refusal->message;
            return outcome;
        }
        EntryFiles files;
        if (!draw(item, files, outcome)) {
            return outcome;
        }
        for (const GalleryFileKind& kind : kGalleryFiles) {
            if (const std::optional<QString>& failure = fileOf(files, kind.file).failure) {
                outcome.failure =
                    galleryPath(kind.file, item.stem) + QStringLiteral(": ") + *failure;
                return outcome;
            }
        }
        // Hashed here, while the bytes are in memory, so that the next run need not read them.
        OwnFiles records;
        for (const GalleryFileKind& kind : kGalleryFiles) {
            if (fileOf(files, kind.file).ok()) {
                records.insert(galleryPath(kind.file, item.stem),
                               ownFile(fileOf(files, kind.file).bytes));
            }
        }
        const Clock::time_point clock = Clock::now();
        if (std::optional<QString> failure = log_.add(records)) {
            outcome.failure = QLatin1StringView(kOwnFilesList) + QStringLiteral(": ") + *failure;
            return outcome;
        }
        const auto write = [&](GalleryFile file) {
            const QString relative = galleryPath(file, item.stem);
            return records.contains(relative) &&
                   this->write(relative, fileOf(files, file).bytes, records[relative],
                               file == GalleryFile::Draft ? QStringLiteral("draft")
                                                          : QStringLiteral("picture"),
                               outcome);
        };
        GalleryCard& card = outcome.card;
        card.cloth = write(GalleryFile::Cloth) && write(GalleryFile::Thumbnail);
        card.draft = card.cloth && write(GalleryFile::Draft);
        card.designer = card.cloth && write(GalleryFile::Designer);
        outcome.timings.write += secondsSince(clock);
        return outcome;
    }

private:
    // Draws every file of the entry; false, with the card saying why, when its cloth cannot be.
    bool draw(const Item& item, EntryFiles& files, Outcome& outcome) const {
        GalleryCard& card = outcome.card;
        Timings& timings = outcome.timings;
        RenderRequest request;
        request.sett = item.listed.reading.sett;
        request.title = card.name;
        request.credits = credits_;
        request.compression = PngCompression::Quick;
        request.drawing = Drawing::Cloth;
        const long long perRepeat = std::max(1LL, threadsPerRepeat(request.sett));
        request.repeats = static_cast<int>((kClothThreads + perRepeat - 1) / perRepeat);
        Rendered& cloth = fileOf(files, GalleryFile::Cloth);
        cloth = timedRender(request, desktop_, timings.cloth);
        if (cloth.refusal) {
            card.notWoven = cloth.refusal->message;
            return false;
        }
        const double start = threadSeconds();
        const std::optional<QByteArray> thumb = thumbnail(cloth.picture, card.thumbnailSize);
        timings.thumbnail += threadSeconds() - start;
        Rendered& small = fileOf(files, GalleryFile::Thumbnail);
        small.bytes = thumb.value_or(QByteArray());
        small.failure =
            thumb ? std::nullopt : std::optional(QStringLiteral("it could not be encoded"));
        request.drawing = Drawing::Draft;
        request.repeats = 1;
        fileOf(files, GalleryFile::Draft) = timedRender(request, desktop_, timings.draft);
        request.drawing = Drawing::Designer;
        const Rendered& designer = fileOf(files, GalleryFile::Designer) =
            timedRender(request, desktop_, timings.designer);
        if (designer.refusal) {
            card.notInDesigner = notInDesigner(*designer.refusal);
        }
        return true;
    }

    // Writes one file of the gallery; on failure the reason names the file.
    bool write(const QString& relative, const QByteArray& bytes, const OwnFile& record,
               const QString& what, Outcome& outcome) const {
        if (outcome.failure) {
            return false;
        }
        const QString path = dir_ + u'/' + relative;
        const bool replacing = before_.contains(relative) && QFileInfo::exists(path);
        if (std::optional<QString> refusal = saveFile(bytes, path, what)) {
            outcome.failure = relative + QStringLiteral(": ") + *refusal;
            return false;
        }
        outcome.bytes += bytes.size();
        outcome.written.insert(relative, record);
        outcome.replaced += replacing ? 1 : 0;
        return true;
    }

    QString dir_;
    const ListedFiles& before_;
    OwnFilesLog& log_;
    DesktopColours desktop_;
    DraftCredits credits_;
};

std::vector<Item> readPages(const QList<GalleryPage>& pages) {
    std::vector<Item> items;
    QSet<QString> stems;
    for (qsizetype page = 0; page < pages.size(); ++page) {
        for (ListedEntry& listed :
             readListedEntries(pages[page].listText, static_cast<int>(page))) {
            Item item{std::move(listed), {}};
            if (item.listed.reading.ok()) {
                const ReferenceEntry& entry = item.listed.entry;
                const QString base =
                    galleryStem(entry.name.isEmpty() ? entry.notation : entry.name);
                item.stem = base;
                for (int n = 2; stems.contains(item.stem); ++n) {
                    item.stem = base + u'-' + QString::number(n);
                }
                stems.insert(item.stem);
            }
            items.push_back(std::move(item));
        }
    }
    return items;
}

// Why the run may not write into dir: the first name in its way and how many there are. A list
// that is not the gallery's vouches for nothing in the folder.
std::optional<QString> filesInTheWay(const QString& dir, const QStringList& folders,
                                     const std::vector<Item>& items,
                                     const std::variant<ListedFiles, QString>& listed) {
    QStringList files{QLatin1StringView(kGalleryIndex)};
    for (const Item& item : items) {
        // Whether an entry's cloth or designer's picture can be made is known only once it is
        // woven, so every name the entry could have is checked.
        if (!item.stem.isEmpty()) {
            files << galleryFiles(item.stem);
        }
    }
    const QString* badList = std::get_if<QString>(&listed);
    QList<InTheWay> found;
    if (badList) {
        found.append({QLatin1StringView(kOwnFilesList), *badList});
    }
    found.append(
        inTheWay(dir, folders, files, badList ? ListedFiles{} : std::get<ListedFiles>(listed)));
    if (found.isEmpty()) {
        return std::nullopt;
    }
    return QStringLiteral("\"%1\" %2 (%3)")
        .arg(found.first().name, found.first().reason,
             found.size() == 1
                 ? QStringLiteral("the only name in the way")
                 : QStringLiteral("the first of %1 names in the way").arg(found.size()));
}

// Makes the folders the run writes into and tells that a file can be made in each, before the
// first file is written; a folder made for a run that cannot go on is taken away again.
std::optional<QString> readyFolders(const QString& dir, const QStringList& folders) {
    QStringList paths{dir};
    for (const QString& folder : folders) {
        paths.append(dir + u'/' + folder);
    }
    QStringList made;
    std::optional<QString> failure;
    for (const QString& path : paths) {
        const bool there = QFileInfo::exists(path);
        if ((!there && !QDir().mkpath(path)) || !QFileInfo(path).isDir()) {
            failure = QStringLiteral("the folder \"%1\" could not be made").arg(path);
            break;
        }
        if (!there) {
            made.prepend(path);
        }
        QTemporaryFile probe(path + QStringLiteral("/.loomara-probe-XXXXXX"));
        if (!probe.open()) {
            failure = QStringLiteral("no file can be made in the folder \"%1\" (%2)")
                          .arg(path, probe.errorString());
            break;
        }
    }
    if (failure) {
        for (const QString& path : made) {
            QDir().rmdir(path);
        }
    }
    return failure;
}

// Names on each card the nearest other entry with a card of its own, when it is very like it.
void nameVeryLike(const std::vector<Item>& items, std::vector<GalleryCard>& cards, int threads) {
    // An entry without a card has nothing to compare, so the nearest found always has a card.
    std::vector<ClothProfile> profiles;
    profiles.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        profiles.push_back(cards[i].cloth ? ClothProfile(items[i].listed.reading.sett)
                                          : ClothProfile());
    }
    const std::vector<Neighbour> nearest = nearestOthers(profiles, threads, kVeryLikeScore);
    for (std::size_t i = 0; i < cards.size(); ++i) {
        const qsizetype other = nearest[i].index;
        if (other >= 0 && cards[i].cloth) {
            cards[i].veryLike = cards[static_cast<std::size_t>(other)].name;
            cards[i].veryLikeStem = cards[static_cast<std::size_t>(other)].stem;
        }
    }
}

int cores() {
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

// Checks the folder before anything is written: a refusal, or a failure to make its folders,
// ends the run there; otherwise `before` holds the earlier run's own files.
std::optional<GalleryResult> checkFolder(const QString& dir, const std::vector<Item>& items,
                                         ListedFiles& before) {
    GalleryResult stopped;
    if (dir.trimmed().isEmpty()) {
        stopped.refusal = QStringLiteral("no folder is named");
        return stopped;
    }
    // A file of the user's where the folder should be is in the way, as any file would be.
    if (const QFileInfo folder(dir); folder.exists() && !folder.isDir()) {
        stopped.refusal = QStringLiteral("it is a file, not a folder");
        return stopped;
    }
    const QStringList folders = galleryFolders();
    const std::variant<ListedFiles, QString> listed = writtenBefore(dir);
    stopped.refusal = filesInTheWay(dir, folders, items, listed);
    if (!stopped.refusal) {
        before = std::get<ListedFiles>(listed);
        stopped.failure = readyFolders(dir, folders);
    }
    return stopped.ok() ? std::nullopt : std::optional(stopped);
}

// Weaves every entry on the workers; after the first failure no further entry is started.
std::vector<Outcome> weaveAll(const std::vector<Item>& items, const ItemWriter& writer, int workers,
                              const GalleryProgress& progress) {
    const int total = static_cast<int>(items.size());
    if (progress) {
        progress(0, total);
    }
    // Every file is flushed to disk before it counts as written, and a flush waits on the disk,
    // not on the processor: with more entries in hand than cores, the cores keep weaving and
    // encoding while some entries wait.
    std::vector<Outcome> outcomes(items.size());
    onWorkers(
        items.size(), workers > 0 ? workers : cores() * kEntriesPerCore,
        [&](std::size_t i) {
            outcomes[i] = writer.weave(items[i]);
            return !outcomes[i].failure;
        },
        [&](std::size_t done) {
            if (progress) {
                progress(static_cast<int>(done), total);
            }
        });
    return outcomes;
}

// What the entries came to: their files and cards.
struct Tally {
    OwnFiles written;
    std::vector<GalleryCard> cards;
};

// Adds up the entries' files, cards and times into the result; the first failure is the run's.
Tally tallied(const std::vector<Outcome>& outcomes, GalleryResult& result) {
    Tally tally;
    tally.cards.reserve(outcomes.size());
    for (const Outcome& outcome : outcomes) {
        result.bytes += outcome.bytes;
        result.files += static_cast<int>(outcome.written.size());
        result.replaced += outcome.replaced;
        tally.written.insert(outcome.written);
        if (outcome.failure && !result.failure) {
            result.failure = outcome.failure;
        }
        result.woven += outcome.card.cloth ? 1 : 0;
        result.designer += outcome.card.designer ? 1 : 0;
        result.skipped += outcome.card.notWoven.isEmpty() ? 0 : 1;
        result.designerSeconds += outcome.timings.designer;
        result.clothSeconds += outcome.timings.cloth;
        result.thumbnailSeconds += outcome.timings.thumbnail;
        result.draftSeconds += outcome.timings.draft;
        result.writeSeconds += outcome.timings.write;
        tally.cards.push_back(outcome.card);
    }
    return tally;
}

// Saves one file of the gallery's own beside the entries' files, counted in the result; on
// failure the result's failure names it, unless it has one already.
bool saveOwn(const QString& dir, const QString& name, const QByteArray& bytes, const QString& what,
             GalleryResult& result) {
    if (std::optional<QString> refusal = saveFile(bytes, dir + u'/' + name, what)) {
        result.failure = result.failure.value_or(name + QStringLiteral(": ") + *refusal);
        return false;
    }
    result.bytes += bytes.size();
    ++result.files;
    return true;
}

// The list of the gallery's own files written afresh in place of the one the run kept while it
// wrote: `own` and what this run wrote, each file in the one form it has now.
void saveOwnList(const QString& dir, ListedFiles own, const OwnFiles& written,
                 GalleryResult& result) {
    for (auto file = written.cbegin(); file != written.cend(); ++file) {
        own[file.key()] = {file.value()};
    }
    result.listWritten = saveOwn(dir, QLatin1StringView(kOwnFilesList), ownFilesList(own),
                                 QStringLiteral("list"), result);
}

// Writes the index page, removes the earlier run's files this one did not write again, and
// lists the gallery's own files.
void publish(const QString& dir, const QList<GalleryPage>& pages, const ListedFiles& before,
             OwnFilesLog& log, Tally& tally, GalleryResult& result) {
    QStringList titles;
    for (const GalleryPage& page : pages) {
        titles.append(page.title);
    }
    const QString index = QLatin1StringView(kGalleryIndex);
    const QByteArray page = galleryIndexPage(titles, tally.cards);
    const bool indexThere = before.contains(index) && QFileInfo::exists(dir + u'/' + index);
    const OwnFile record = ownFile(page);
    if (const std::optional<QString> failure = log.add({{index, record}})) {
        result.failure = QLatin1StringView(kOwnFilesList) + QStringLiteral(": ") + *failure;
        saveOwnList(dir, before, tally.written, result);
        return;
    }
    if (!saveOwn(dir, index, page, QStringLiteral("page"), result)) {
        saveOwnList(dir, before, tally.written, result);
        return;
    }
    result.indexWritten = true;
    result.replaced += indexThere ? 1 : 0;
    tally.written.insert(index, record);
    saveOwnList(dir, removeStaleFiles(dir, before, tally.written, result.removed), tally.written,
                result);
}

} // namespace

QList<GalleryPage> referenceGalleryPages() {
    QList<GalleryPage> pages;
    for (int page = 1; page <= reference::kReferencePageCount; ++page) {
        pages.append({pageCaption(page), reference::storedList(page)});
    }
    return pages;
}

QString galleryStem(const QString& name) {
    const QString decomposed = name.normalized(QString::NormalizationForm_KD).toLower();
    QString stem;
    bool hyphen = false;
    for (const QChar c : decomposed) {
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9')) {
            if (hyphen && !stem.isEmpty()) {
                stem += u'-';
            }
            hyphen = false;
            stem += c;
        } else if (c.category() != QChar::Mark_NonSpacing && c != u'\'' && c != u'\u2019') {
            hyphen = true;
        }
    }
    stem.truncate(kLongestStem);
    while (stem.endsWith(u'-')) {
        stem.chop(1);
    }
    if (stem.isEmpty()) {
        return QStringLiteral("sett");
    }
    // Names some systems keep for devices, whatever the extension.
    static const QRegularExpression device(QStringLiteral("^(con|prn|aux|nul|com[1-9]|lpt[1-9])$"));
    return device.match(stem).hasMatch() ? stem + QStringLiteral("-sett") : stem;
}

GalleryResult writeGallery(const QString& dir, const QList<GalleryPage>& pages,
                           const GalleryOptions& options, const GalleryProgress& progress) {
    const std::vector<Item> items = readPages(pages);
    ListedFiles before;
    if (std::optional<GalleryResult> stopped = checkFolder(dir, items, before)) {
        return *stopped;
    }
    GalleryResult result;
    OwnFilesLog log;
    if (std::optional<QString> failure = log.start(dir, before)) {
        result.failure = QLatin1StringView(kOwnFilesList) + QStringLiteral(": ") + *failure;
        return result;
    }
    // The designers on the workers start from colours read here, on the application's thread.
    const ItemWriter writer(dir, before, log, desktopColours(), draftCredits(options.date));
    const std::vector<Outcome> outcomes = weaveAll(items, writer, options.threads, progress);
    Tally tally = tallied(outcomes, result);
    if (result.failure) {
        if (!tally.written.isEmpty()) {
            saveOwnList(dir, before, tally.written, result);
        }
        return result;
    }
    nameVeryLike(items, tally.cards, cores());
    publish(dir, pages, before, log, tally, result);
    return result;
}

QString whatTheRunChanged(const GalleryResult& result) {
    if (result.files == 0 && result.removed.isEmpty()) {
        return QStringLiteral("Nothing was written; every file there is as it was.");
    }
    QString changed = QStringLiteral("This run wrote ") + counted(result.files, u"file", u"files");
    if (result.replaced > 0) {
        changed += QStringLiteral(" (%1 of them in place of files of an earlier run)")
                       .arg(result.replaced);
    }
    changed += !result.removed.isEmpty()
                   ? QStringLiteral(" and removed %1 of an earlier run")
                         .arg(counted(static_cast<int>(result.removed.size()), u"file", u"files"))
                   : QStringLiteral(" and removed none");
    changed += result.indexWritten ? QStringLiteral("; every other file is as it was")
                                   : QStringLiteral("; the index page and every other file are "
                                                    "as they were");
    changed += result.listWritten
                   ? QStringLiteral(", and the gallery's list of its own files names those it "
                                    "wrote.")
                   // The lines of every file were added to it before the file was written.
                   : QStringLiteral(". The gallery's list of its own files could not be written "
                                    "afresh, but it names every file this run wrote, so the next "
                                    "run takes them for its own.");
    return changed;
}

QStringList whatTheRunRemoved(const QString& dir, const GalleryResult& result) {
    QStringList removed;
    for (const QString& name : result.removed) {
        removed.append(QStringLiteral("removed \"%1\": the gallery's list of its own files (%2) "
                                      "named it, and this run did not write it again.")
                           .arg(QDir::toNativeSeparators(QDir(dir).filePath(name)),
                                QLatin1StringView(kOwnFilesList)));
    }
    return removed;
}

} // namespace loomara
