#pragma once

#include "collection/Collection.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace loomara {

// A sett as a run asks for it: written out, or taken from the entry of the lists of a name; and
// what a message about it shows.
struct AskedSett {
    Sett sett;
    QString title;                      // the written sett on one line, or the entry's name
    QString shownLine;                  // the line it was read from, for a caret under a place
    const ListedEntry* entry = nullptr; // the entry it was taken from, if any
    QString several;                    // which entry was taken when several share its name
    QStringList notes; // how it was read, where that may not be what the user meant
};

// Why a sett cannot be had: the reason, and the line and the character (from 1) of the place it
// names, 0 for none.
struct AskedSettRefusal {
    QString message;
    QString shownLine;
    int character = 0;
    bool unknownName = false; // no entry of the lists has the name asked for
};

using AskedSettReading = std::variant<AskedSett, AskedSettRefusal>;

// A written sett. `what` starts a refusal and a note when it is not the warp's: "--weft: ".
AskedSettReading writtenSett(const QString& text, const QString& what = {});

// The sett of the first entry of that name, whatever its case.
AskedSettReading namedSett(const QString& name);

// Gives the sett the weft written in `text`, adding its notes; or why that weft cannot be read.
std::optional<AskedSettRefusal> giveOwnWeft(AskedSett& sett, const QString& text,
                                            const QString& what);

} // namespace loomara
