#include "studio/NamedEntries.h"

namespace loomara {

QList<const ListedEntry*> readableEntries() {
    QList<const ListedEntry*> entries;
    for (const ListedEntry& listed : referenceCollection()) {
        if (!listed.entry.name.isEmpty() && listed.reading.ok()) {
            entries.append(&listed);
        }
    }
    return entries;
}

QList<const ListedEntry*> entriesMatching(const QList<const ListedEntry*>& entries,
                                          const QString& filter) {
    const QString wanted = filter.trimmed();
    if (wanted.isEmpty()) {
        return entries;
    }
    QList<const ListedEntry*> matching;
    for (const ListedEntry* listed : entries) {
        if (listed->entry.name.contains(wanted, Qt::CaseInsensitive)) {
            matching.append(listed);
        }
    }
    return matching;
}

} // namespace loomara
