#pragma once

#include "sett/SettText.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace loomara {

// One named sett of a reference list: its name and its notation as written there. Lines are
// numbered from 1 and places on a line from 1, as messages name them.
struct ReferenceEntry {
    QString name;     // empty for a line of pairs that follows no name
    QString notation; // up to its last non-blank character; empty when the line has none
    int line = 0;     // the line of the name
    int notationLine = 0;
    int notationCharacter = 0; // where the notation starts on notationLine
};

// Splits one line of a list into its name and notation. The notation starts after the first run
// of two or more blanks (names hold single blanks, and "Buchanan D1" or "No 1001A" end in what
// looks like a pair), or after the last blank on a line without such a run. A line whose remainder
// holds no code followed by a count is a name alone; a line of nothing but pairs is a notation
// without a name.
ReferenceEntry readReferenceLine(QStringView line, int lineNumber = 1);

// Every entry of a list's text (lines broken by CR LF or LF; blank lines skipped). A name alone
// on its line followed by a line of nothing but pairs is one entry; every other line is an entry
// of its own, kept even when its sett cannot be read, so that a reader of the list can show why.
QList<ReferenceEntry> readReferenceList(QStringView text);

// The entry's sett, or why it cannot be woven, with places counted on the notation's line.
SettReading readReferenceSett(const ReferenceEntry& entry);

} // namespace loomara
