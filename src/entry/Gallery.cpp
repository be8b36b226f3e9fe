#include "entry/Gallery.h"

#include "entry/Designer.h"
#include "entry/EnterSett.h"
#include "entry/ReferenceEntries.h"
#include "io/SaveFile.h"
#include "io/WeavingDraft.h"
#include "model/SystemColours.h"
#include "reference/ReferencePages.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QRegularExpression>
#include <QSet>
#include <QSize>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <time.h>
#include <vector>

namespace loomara {

namespace {

constexpr qsizetype kLongestStem = 60;
constexpr int kThumbnailDivisor = 4;
constexpr int kThumbnailQuality = 85;
constexpr int kEntriesPerCore = 4;

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

// One entry of a page as the gallery shows it.
struct Item {
    int page = 0;
    ReferenceEntry entry;
    SettReading reading;
    QString stem; // empty for an entry that cannot be read
};

// What became of one entry.
struct Outcome {
    bool woven = false;
    QString reason; // why it was not woven
    QSize pictureSize;
    QSize thumbnailSize;
    bool hasDraft = false;
    std::optional<QString> failure;
    qint64 bytes = 0;
    int files = 0;
};

struct Timings {
    double weave = 0;
    double encode = 0;
    double write = 0;
};

// A picture of few colours as an indexed one, which PNG stores in a byte a pixel before it
// compresses: a woven picture holds at most the 21 stripe colours and the background, and its
// file shrinks to about a third. Pictures of more colours are kept as they are.
QImage withColourTable(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    QImage indexed(rgb.size(), QImage::Format_Indexed8);
    QList<QRgb> table;
    QRgb last = 0;
    uchar lastIndex = 0;
    bool haveLast = false;
    const int width = rgb.width();
    const int height = rgb.height();
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* out = indexed.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const QRgb colour = in[x] | 0xff000000u;
            if (!haveLast || colour != last) {
                qsizetype at = table.indexOf(colour);
                if (at < 0) {
                    if (table.size() == 256) {
                        return rgb;
                    }
                    at = table.size();
                    table.append(colour);
                }
                last = colour;
                lastIndex = static_cast<uchar>(at);
                haveLast = true;
            }
            out[x] = lastIndex;
        }
    }
    indexed.setColorTable(table);
    return indexed;
}

std::optional<QByteArray> encoded(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (!writer.write(image)) {
        return std::nullopt;
    }
    return bytes;
}

DraftRequest draftRequest(const Item& item, const GalleryOptions& options) {
    DraftRequest request;
    for (const WrittenStripe& stripe : item.reading.stripes) {
        request.stripes.append(DraftStripe{stripe.swatch.colour(), stripe.count});
    }
    request.title = item.entry.name.isEmpty() ? item.entry.notation : item.entry.name;
    request.date = options.date;
    request.programName = options.programName;
    request.programVersion = options.programVersion;
    return request;
}

QString relativePath(const char* folder, const QString& stem, const char* extension) {
    return QStringLiteral("%1/%2.%3")
        .arg(QLatin1StringView(folder), stem, QLatin1StringView(extension));
}

// Writes one file of the gallery; on failure the reason names the file.
bool writeFile(const QString& dir, const QString& relative, const QByteArray& bytes,
               const QString& what, Outcome& outcome) {
    if (std::optional<QString> refusal = saveFile(bytes, dir + u'/' + relative, what)) {
        outcome.failure = relative + QStringLiteral(": ") + *refusal;
        return false;
    }
    outcome.bytes += bytes.size();
    ++outcome.files;
    return true;
}

Outcome weaveItem(const Item& item, const DesktopColours& desktop, const QString& dir,
                  const GalleryOptions& options, Timings& timings) {
    Outcome outcome;
    if (!item.reading.ok()) {
        outcome.reason = item.reading.refusal->message;
        return outcome;
    }

    double cpu = threadSeconds();
    Designer designer(desktop);
    if (std::optional<QString> refusal = enterAndWeave(designer, SettEntry{item.reading.stripes})) {
        outcome.reason = *refusal;
        timings.weave += threadSeconds() - cpu;
        return outcome;
    }
    const QImage picture = designer.form.weavePicture.image();
    timings.weave += threadSeconds() - cpu;

    cpu = threadSeconds();
    const QSize thumbnailSize(std::max(1, picture.width() / kThumbnailDivisor),
                              std::max(1, picture.height() / kThumbnailDivisor));
    const std::optional<QByteArray> full = encoded(withColourTable(picture), "png");
    // Scaled down, the twill blends into thousands of colours, which a lossless thumbnail would
    // keep at twice the size of the full picture.
    const std::optional<QByteArray> thumbnail =
        encoded(picture.scaled(thumbnailSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                    .convertToFormat(QImage::Format_RGB32),
                "jpg", kThumbnailQuality);
    const WeavingDraft draft = weavingDraft(draftRequest(item, options));
    timings.encode += threadSeconds() - cpu;
    if (picture.isNull() || !full || !thumbnail) {
        outcome.failure = relativePath(kGalleryPictures, item.stem, "png") +
                          QStringLiteral(": the picture could not be encoded");
        return outcome;
    }

    const Clock::time_point start = Clock::now();
    const bool written =
        writeFile(dir, relativePath(kGalleryPictures, item.stem, "png"), *full,
                  QStringLiteral("picture"), outcome) &&
        writeFile(dir, relativePath(kGalleryThumbnails, item.stem, "jpg"), *thumbnail,
                  QStringLiteral("picture"), outcome) &&
        (!draft.ok() || writeFile(dir, relativePath(kGalleryDrafts, item.stem, "wif"), draft.bytes,
                                  QStringLiteral("draft"), outcome));
    timings.write += secondsSince(start);
    if (written) {
        outcome.woven = true;
        outcome.pictureSize = picture.size();
        outcome.thumbnailSize = thumbnailSize;
        outcome.hasDraft = draft.ok();
    }
    return outcome;
}

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString card(const Item& item, const Outcome& outcome) {
    const QString name = item.entry.name.isEmpty() ? item.entry.notation : item.entry.name;
    QString html = QStringLiteral("<figure><a href=\"%1\"><img src=\"%2\" width=\"%3\" "
                                  "height=\"%4\" alt=\"%5\" loading=\"lazy\"></a>"
                                  "<figcaption><b>%5</b><code>%6</code>")
                       .arg(relativePath(kGalleryPictures, item.stem, "png"),
                            relativePath(kGalleryThumbnails, item.stem, "jpg"),
                            QString::number(outcome.thumbnailSize.width()),
                            QString::number(outcome.thumbnailSize.height()), escaped(name),
                            escaped(item.entry.notation));
    if (outcome.hasDraft) {
        html += QStringLiteral("<a href=\"%1\">weaving draft</a>")
                    .arg(relativePath(kGalleryDrafts, item.stem, "wif"));
    }
    return html + QStringLiteral("</figcaption></figure>\n");
}

QString skippedLine(const Item& item, const Outcome& outcome) {
    return QStringLiteral("<li><b>%1</b> <code>%2</code> line %3: %4</li>\n")
        .arg(escaped(item.entry.name), escaped(item.entry.notation),
             QString::number(item.entry.line), escaped(outcome.reason));
}

QByteArray indexPage(const QList<GalleryPage>& pages, const std::vector<Item>& items,
                     const std::vector<Outcome>& outcomes) {
    QString html = QStringLiteral(
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>Named setts</title>\n<style>\n"
        "body{font-family:sans-serif;margin:1em 2em;background:#fafafa}\n"
        "nav a{margin-right:1em}\n"
        ".cards{display:flex;flex-wrap:wrap;gap:12px}\n"
        "figure{margin:0;width:180px;background:#fff;border:1px solid #ccc;padding:4px}\n"
        "figure img{display:block;max-width:100%;height:auto}\n"
        "figcaption b,figcaption code,figcaption a{display:block;overflow-wrap:anywhere}\n"
        "figcaption code{font-size:85%;color:#444}\n"
        "</style>\n</head>\n<body>\n<h1>Named setts</h1>\n<nav>");
    for (qsizetype page = 0; page < pages.size(); ++page) {
        html += QStringLiteral("<a href=\"#page-%1\">%2</a>")
                    .arg(QString::number(page + 1), escaped(pages[page].title));
    }
    html += QStringLiteral("</nav>\n");
    for (qsizetype page = 0; page < pages.size(); ++page) {
        html += QStringLiteral("<section id=\"page-%1\">\n<h2>%2</h2>\n<div class=\"cards\">\n")
                    .arg(QString::number(page + 1), escaped(pages[page].title));
        QString skipped;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].page != page) {
                continue;
            }
            if (outcomes[i].woven) {
                html += card(items[i], outcomes[i]);
            } else {
                skipped += skippedLine(items[i], outcomes[i]);
            }
        }
        html += QStringLiteral("</div>\n");
        if (!skipped.isEmpty()) {
            html +=
                QStringLiteral("<h3>Not woven</h3>\n<ul>\n") + skipped + QStringLiteral("</ul>\n");
        }
        html += QStringLiteral("</section>\n");
    }
    html += QStringLiteral("</body>\n</html>\n");
    return html.toUtf8();
}

// The files a run wrote, one relative name a line, so that the next run removes only files a
// gallery made: a "pictures" folder that was there before holds the user's own pictures too.
constexpr auto kManifest = ".loomara-gallery";
constexpr qint64 kLargestManifest = 4 * 1024 * 1024;

QByteArray manifest(const QSet<QString>& written) {
    QStringList names(written.begin(), written.end());
    names.sort();
    return (names.join(u'\n') + u'\n').toUtf8();
}

// What the earlier run's manifest names, as far as it names files of the gallery's own shape; a
// manifest that is missing, not a plain file or too large names nothing.
QSet<QString> writtenBefore(const QString& dir) {
    static const QRegularExpression ours(QStringLiteral(
        "^(pictures/[a-z0-9-]+\\.png|thumbs/[a-z0-9-]+\\.jpg|drafts/[a-z0-9-]+\\.wif)$"));
    QFile file(dir + u'/' + QLatin1StringView(kManifest));
    const QFileInfo info(file.fileName());
    QSet<QString> names;
    if (!info.isFile() || info.size() > kLargestManifest || !file.open(QIODevice::ReadOnly)) {
        return names;
    }
    for (const QString& line : QString::fromUtf8(file.read(kLargestManifest)).split(u'\n')) {
        if (ours.match(line).hasMatch()) {
            names.insert(line);
        }
    }
    return names;
}

// What the earlier run wrote and this one did not goes; nothing else is touched.
void removeStaleFiles(const QString& dir, const QSet<QString>& before,
                      const QSet<QString>& written) {
    for (const QString& name : before) {
        if (!written.contains(name)) {
            QFile::remove(dir + u'/' + name);
        }
    }
}

std::vector<Item> readPages(const QList<GalleryPage>& pages) {
    std::vector<Item> items;
    QSet<QString> stems;
    for (qsizetype page = 0; page < pages.size(); ++page) {
        for (ReferenceEntry& entry : readReferenceList(pages[page].listText)) {
            Item item{static_cast<int>(page), std::move(entry), {}, {}};
            item.reading = readReferenceSett(item.entry);
            if (item.reading.ok()) {
                const QString base =
                    galleryStem(item.entry.name.isEmpty() ? item.entry.notation : item.entry.name);
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

} // namespace

QList<GalleryPage> referenceGalleryPages() {
    QList<GalleryPage> pages;
    for (int page = 1; page <= reference::kReferencePageCount; ++page) {
        const std::string_view caption = reference::referencePage(page).caption;
        pages.append({QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())),
                      reference::storedList(page)});
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
    GalleryResult result;
    const std::vector<Item> items = readPages(pages);
    const int total = static_cast<int>(items.size());
    const QSet<QString> before = writtenBefore(dir);
    if (progress) {
        progress(0, total);
    }

    for (const char* folder : {kGalleryPictures, kGalleryThumbnails, kGalleryDrafts}) {
        const QString path = dir + u'/' + QLatin1StringView(folder);
        if (!QDir().mkpath(path) || !QFileInfo(path).isDir()) {
            result.failure = QStringLiteral("the folder \"%1\" could not be made").arg(path);
            return result;
        }
    }

    // The designers on the working threads start from colours read here, on the application's
    // thread.
    const DesktopColours desktop = desktopColours();
    std::vector<Outcome> outcomes(items.size());
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex mutex;
    std::condition_variable changed;
    int done = 0;
    int running = 0;
    Timings timings;

    const auto work = [&] {
        Timings mine;
        for (std::size_t i = next++; i < items.size() && !failed; i = next++) {
            outcomes[i] = weaveItem(items[i], desktop, dir, options, mine);
            if (outcomes[i].failure) {
                failed = true;
            }
            const std::lock_guard lock(mutex);
            ++done;
            changed.notify_one();
        }
        const std::lock_guard lock(mutex);
        timings.weave += mine.weave;
        timings.encode += mine.encode;
        timings.write += mine.write;
        --running;
        changed.notify_one();
    };

    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    // Every file is flushed to disk before it counts as written, and a flush waits on the disk,
    // not on the processor: with more entries in hand than cores, the cores keep weaving and
    // encoding while some entries wait.
    const int threads = std::clamp(options.threads > 0 ? options.threads : cores * kEntriesPerCore,
                                   1, std::max(1, total));
    std::vector<std::thread> workers;
    running = threads;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back(work);
    }
    {
        std::unique_lock lock(mutex);
        int reported = 0;
        while (running > 0) {
            changed.wait(lock, [&] { return done != reported || running == 0; });
            if (done != reported && progress) {
                reported = done;
                lock.unlock();
                progress(reported, total);
                lock.lock();
            }
            reported = done;
        }
    }
    for (std::thread& worker : workers) {
        worker.join();
    }

    result.weaveSeconds = timings.weave;
    result.encodeSeconds = timings.encode;
    result.writeSeconds = timings.write;
    QSet<QString> written;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Outcome& outcome = outcomes[i];
        result.bytes += outcome.bytes;
        result.files += outcome.files;
        if (outcome.failure && !result.failure) {
            result.failure = outcome.failure;
        }
        if (outcome.woven) {
            ++result.woven;
            written.insert(relativePath(kGalleryPictures, items[i].stem, "png"));
            written.insert(relativePath(kGalleryThumbnails, items[i].stem, "jpg"));
            written.insert(relativePath(kGalleryDrafts, items[i].stem, "wif"));
        } else if (!outcome.failure) {
            ++result.skipped;
        }
    }
    if (result.failure) {
        return result;
    }

    const QByteArray index = indexPage(pages, items, outcomes);
    Outcome indexOutcome;
    if (!writeFile(dir, QStringLiteral("index.html"), index, QStringLiteral("page"),
                   indexOutcome)) {
        result.failure = indexOutcome.failure;
        return result;
    }
    result.bytes += indexOutcome.bytes;
    result.files += indexOutcome.files;
    Outcome manifestOutcome;
    if (!writeFile(dir, QString::fromLatin1(kManifest), manifest(written), QStringLiteral("list"),
                   manifestOutcome)) {
        result.failure = manifestOutcome.failure;
        return result;
    }
    removeStaleFiles(dir, before, written);
    return result;
}

} // namespace loomara
