#include "collection/Collection.h"

#include "reference/ReferencePages.h"

#include <algorithm>

namespace loomara {

const QList<ListedEntry>& referenceCollection() {
    static const QList<ListedEntry> entries = [] {
        QList<ListedEntry> all;
        for (int page = 1; page <= reference::kReferencePageCount; ++page) {
            for (ReferenceEntry& entry : readReferenceList(reference::storedList(page))) {
                SettReading reading = readReferenceSett(entry);
                all.append({std::move(entry), page, std::move(reading)});
            }
        }
        return all;
    }();
    return entries;
}

QString pageCaption(int page) {
    const std::string_view caption = reference::referencePage(page).caption;
    return QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
}

QList<const ListedEntry*> entriesNamed(const QString& name) {
    QList<const ListedEntry*> matches;
    for (const ListedEntry& listed : referenceCollection()) {
        if (!listed.entry.name.isEmpty() &&
            listed.entry.name.compare(name, Qt::CaseInsensitive) == 0) {
            matches.append(&listed);
        }
    }
    return matches;
}

QStringList namesStartingLike(const QString& given, int shortest, QString& start) {
    QStringList names;
    for (qsizetype length = given.size();
         names.isEmpty() && length >= std::min<qsizetype>(given.size(), shortest); --length) {
        start = given.left(length);
        for (const ListedEntry& listed : referenceCollection()) {
            const QString& name = listed.entry.name;
            if (!name.isEmpty() && name.startsWith(start, Qt::CaseInsensitive) &&
                !names.contains(name)) {
                names.append(name);
            }
        }
    }
    return names;
}

} // namespace loomara
