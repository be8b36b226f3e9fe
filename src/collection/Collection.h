#pragma once

#include "collection/ReferenceEntries.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace loomara {

// An entry of the built-in lists, the page (1..6) whose list holds it and its sett as read.
struct ListedEntry {
    ReferenceEntry entry;
    int page = 0;
    SettReading reading;
};

// The entries of one list's text in list order, each with its sett as read and the given page;
// entries without a name are kept.
QList<ListedEntry> readListedEntries(QStringView listText, int page);

// Every entry of the six lists in page and list order, read once for the whole run; entries
// without a name are kept, so that the gallery can show them.
const QList<ListedEntry>& referenceCollection();

// The page's caption, e.g. "A to Di".
QString pageCaption(int page);

// The entries of that name, whatever its case, in list order.
QList<const ListedEntry*> entriesNamed(const QString& name);

// Names of the lists that start as the given one does, with the longest start some name shares,
// down to `shortest` characters, each once in list order: a misspelt name most often goes wrong
// late. `start` receives the start they share.
QStringList namesStartingLike(const QString& given, int shortest, QString& start);

// Why no entry is named so, with the first few names that start as the given one does, e.g.
// `no entry of the lists is named "Stewart, Royl"; names that start with "Stewart, Roy":
// "Stewart, Royal"`; without a closing full stop.
QString unknownNameReason(const QString& given);

// The entry a sett asked for by name is taken from: the first of that name, whatever its case,
// with how many share the name and the line its sett stands on in its list, so that a refusal
// can show the place.
struct NamedEntry {
    const ListedEntry* first = nullptr; // null when no entry is named so
    qsizetype count = 0;
    int line = 0;      // of the sett in its list, counted from 1
    QString shownLine; // that line as the list holds it

    // "list A to Di, line 3"
    QString where() const;
    // When several entries share the name, which of them is taken; empty otherwise.
    QString severalNote() const;
    // Why its sett cannot be woven, naming the entry and its place; empty when it can.
    QString notWoven() const;
};

NamedEntry entryNamed(const QString& given);

} // namespace loomara
