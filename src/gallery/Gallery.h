#pragma once

#include <QList>
#include <QString>
#include <QStringList>

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
    // The date the weaving drafts give.
    QString date;
    // How many entries are in hand at once; 0 means a few per core.
    int threads = 0;
};

// Entries done so far and the number of entries in all; called on the thread that writes the
// gallery, once at the start and after every entry.
using GalleryProgress = std::function<void(int done, int total)>;

struct GalleryResult {
    int woven = 0;    // entries with a cloth picture
    int designer = 0; // of them, those the designer's window holds, with its picture too
    int skipped = 0;  // entries listed with the reason they cannot be woven
    int files = 0;    // files written, the index and the list included
    int replaced = 0; // of them, those written in place of an earlier run's
    // Files an earlier run listed as its own and this one did not write again, taken away, by
    // their names in the gallery's folder.
    QStringList removed;
    bool indexWritten = false;
    bool listWritten = false;
    qint64 bytes = 0;
    // Why the run did not start, having changed nothing, e.g. "\"pictures/x.png\" is a file the
    // gallery did not write (the only name in the way)".
    std::optional<QString> refusal;
    // Why the gallery is incomplete, e.g. "cloth/aberdeen.png: the disk may be full"; empty
    // when every file was written.
    std::optional<QString> failure;
    // Summed over the working threads: the processor time spent on each kind of file, drawing
    // and encoding together, and the time on the clock spent writing the files, flushes to disk
    // included.
    double designerSeconds = 0;
    double clothSeconds = 0;
    double thumbnailSeconds = 0;
    double draftSeconds = 0;
    double writeSeconds = 0;

    bool ok() const { return !refusal && !failure; }
};

// Weaves every entry of the pages and writes into dir (created when missing), under a NAME made
// of the entry's name, safe on every file system and unique within the gallery:
//   cloth/NAME.png      the cloth of whole repeats, at least kClothThreads threads each way
//   thumbs/NAME.jpg     the same cloth scaled to kThumbnailSize pixels square
//   drafts/NAME.wif     the weaving draft of one repeat
//   pictures/NAME.png   the designer's picture, when the window can hold the sett
//   index.html          a page of cards grouped by page, with the entries that cannot be woven
//                       listed at the end of their page with the reason
// plus .loomara-gallery, the list of the files it wrote with their sizes and hashes, which names
// each file before it is written, so that a run stopped at any point leaves a list of every file
// it wrote and the next run finishes the job. It writes, replaces and removes only files it wrote
// itself and nobody changed since. Before it writes anything it refuses a folder where a folder
// of its own is a symbolic link or not a folder, or where any name it writes is taken by anything
// else, a symbolic link included; then it makes the folders and tells that it can write in each.
// Every file is written through the same render step as the companion program's, whole or not at
// all; files an earlier run listed as its own, unchanged, and this run did not write are removed
// once the rest is written, and named in the result. Must be called on the application's thread,
// when there is one.
GalleryResult writeGallery(const QString& dir, const QList<GalleryPage>& pages,
                           const GalleryOptions& options, const GalleryProgress& progress = {});

// What a run that stopped part way changed and what it left as it was, in sentences for the
// user.
QString whatTheRunChanged(const GalleryResult& result);

// A sentence for each file the run removed, naming it within dir and why it was the gallery's to
// remove: the list of its own files may have been written by anyone who can write in dir.
QStringList whatTheRunRemoved(const QString& dir, const GalleryResult& result);

inline constexpr int kClothThreads = 400;
inline constexpr int kThumbnailSize = 160;

// The file name stem the gallery gives an entry's name: lower-case letters and digits of the
// name with accents and apostrophes dropped, other characters as single hyphens, at most 60
// characters; "sett" when nothing is left, and a device name such as "con" gets "-sett".
QString galleryStem(const QString& name);

} // namespace loomara
