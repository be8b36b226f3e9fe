#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace loomara {

// The kinds of file the gallery writes for an entry.
enum class GalleryFile { Cloth, Thumbnail, Draft, Designer };

// Each kind in a folder of its own below the gallery's, which holds only files the gallery wrote,
// under the entry's stem and an extension.
struct GalleryFileKind {
    GalleryFile file;
    const char* folder;
    const char* extension;
};

// The one table of the gallery's files, in the order the folders are checked and made; the writer,
// the check of the folder, the index page and the list of its own files all follow it.
inline constexpr std::array<GalleryFileKind, 4> kGalleryFiles{{
    {GalleryFile::Cloth, "cloth", "png"},       // the cloth of whole repeats
    {GalleryFile::Thumbnail, "thumbs", "jpg"},  // the same cloth, small
    {GalleryFile::Draft, "drafts", "wif"},      // the weaving draft of one repeat
    {GalleryFile::Designer, "pictures", "png"}, // the designer's picture
}};

inline constexpr auto kGalleryIndex = "index.html";

// "folder/stem.extension".
QString galleryPath(GalleryFile file, const QString& stem);

// The folders of the table.
QStringList galleryFolders();

// Every file an entry of that stem may have, in the table's order.
QStringList galleryFiles(const QString& stem);

// True for the name of a file the gallery writes, relative to its folder: the index page, or a
// file of the table under a stem of lower-case letters, digits and hyphens.
bool galleryFileName(const QString& name);

} // namespace loomara
