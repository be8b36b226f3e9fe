#pragma once

#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace loomara {

// One page of the gallery: a title and a list written as the reference pages write theirs.
struct GalleryPage {
    QString title;
    QString listText;
};

// The six reference pages in page order, titled by their captions.
QList<GalleryPage> referenceGalleryPages();

struct GalleryOptions {
    // What the weaving drafts say made them.
    QString programName;
    QString programVersion;
    QString date;
    // How many entries are in hand at once; 0 means a few per core.
    int threads = 0;
};

// Entries done so far and the number of entries in all; called on the thread that writes the
// gallery, once at the start and after every entry.
using GalleryProgress = std::function<void(int done, int total)>;

struct GalleryResult {
    int woven = 0;
    int skipped = 0; // entries listed with the reason they cannot be woven
    int files = 0;   // files written, the index included
    qint64 bytes = 0;
    // Why the gallery is incomplete, e.g. "pictures/aberdeen.png: the disk may be full"; empty
    // when every file was written.
    std::optional<QString> failure;
    // Summed over the working threads: the processor time spent entering and weaving, and
    // encoding the pictures and drafts; the time on the clock spent writing the files, flushes
    // to disk included.
    double weaveSeconds = 0;
    double encodeSeconds = 0;
    double writeSeconds = 0;

    bool ok() const { return !failure; }
};

// The folders of a gallery below its own folder, each holding only files the gallery wrote.
inline constexpr const char* kGalleryPictures = "pictures";
inline constexpr const char* kGalleryThumbnails = "thumbs";
inline constexpr const char* kGalleryDrafts = "drafts";

// Weaves every entry of the pages, each through a fresh designer exactly as the window would
// after the same clicks, and writes into dir (created when missing): pictures/NAME.png at the
// woven size, thumbs/NAME.jpg at a quarter of it, drafts/NAME.wif, and index.html, a static page
// of cards grouped by page that links them, with the entries that cannot be woven listed at the
// end of their page with the reason. NAME is made of the entry's name, safe on every file system
// and unique within the gallery. Every file is written whole or not at all; files in the three
// folders with the gallery's own extensions that this run did not write are removed once the
// rest is written, so a second run replaces the first. Must be called on the application's
// thread, when there is one.
GalleryResult writeGallery(const QString& dir, const QList<GalleryPage>& pages,
                           const GalleryOptions& options, const GalleryProgress& progress = {});

// The file name stem the gallery gives an entry's name: lower-case letters and digits of the
// name with accents and apostrophes dropped, other characters as single hyphens, at most 60
// characters; "sett" when nothing is left, and a device name such as "con" gets "-sett".
QString galleryStem(const QString& name);

} // namespace loomara
