#pragma once

#include "gallery/GalleryFiles.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

namespace loomara {

// What became of one entry of a page, as its card shows it.
struct GalleryCard {
    int page = 0; // index into the page titles
    QString name; // the entry's name, or its sett when it has none
    QString notation;
    int line = 0;
    QString stem;
    bool cloth = false;    // cloth/STEM.png and thumbs/STEM.jpg
    bool draft = false;    // drafts/STEM.wif
    bool designer = false; // pictures/STEM.png, the designer's picture
    QString notInDesigner; // why the designer's window cannot hold the sett
    QString notWoven;      // why nothing was woven, for an entry listed at its page's end
    QSize thumbnailSize;
    QString veryLike;     // the nearest other entry's name, when its cloth is very like this one
    QString veryLikeStem; // and the stem of its card
};

// index.html: a static page of cards grouped by page, each page's entries that could not be woven
// at its end with the reason, and a box that filters the cards by name. The filter is a few lines
// of inline script that take their first value from "?q="; without scripts the page shows every
// card and no box.
// Each card has the id "card-STEM", so that a card can link to another.
QByteArray galleryIndexPage(const QStringList& pageTitles, const std::vector<GalleryCard>& cards);

} // namespace loomara
