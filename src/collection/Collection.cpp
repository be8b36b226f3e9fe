#include "collection/Collection.h"

#include "reference/ReferencePages.h"

#include <QSet>

#include <algorithm>
#include <utility>

namespace loomara {

QList<ListedEntry> readListedEntries(QStringView listText, int page) {
    QList<ListedEntry> entries;
    for (ReferenceEntry& entry : readReferenceList(listText)) {
        SettReading reading = readReferenceSett(entry);
        entries.append({std::move(entry), page, std::move(reading)});
    }
    return entries;
}

const QList<ListedEntry>& referenceCollection() {
    static const QList<ListedEntry> entries = [] {
        QList<ListedEntry> all;
        for (int page = 1; page <= reference::kReferencePageCount; ++page) {
            all.append(readListedEntries(reference::storedList(page), page));
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
    // One pass that measures how far each name agrees with the given one, so the time grows
    // with the length of the names, not with the square of what was typed.
    const auto shared = [&given](const QString& name) {
        const qsizetype most = std::min(given.size(), name.size());
        qsizetype n = 0;
        while (n < most && given[n].toCaseFolded() == name[n].toCaseFolded()) {
            ++n;
        }
        return n;
    };
    QList<std::pair<const QString*, qsizetype>> agreeing;
    qsizetype longest = 0;
    for (const ListedEntry& listed : referenceCollection()) {
        const QString& name = listed.entry.name;
        if (!name.isEmpty()) {
            const qsizetype n = shared(name);
            agreeing.append({&name, n});
            longest = std::max(longest, n);
        }
    }
    QStringList names;
    if (longest == 0 || longest < std::min<qsizetype>(given.size(), shortest)) {
        return names;
    }
    start = given.left(longest);
    QSet<QString> seen;
    for (const auto& [name, n] : agreeing) {
        if (n == longest && !seen.contains(*name)) {
            seen.insert(*name);
            names.append(*name);
        }
    }
    return names;
}

QString unknownNameReason(const QString& given) {
    constexpr int kShortestSharedStart = 3;
    constexpr int kMostSuggestions = 5;
    QString start;
    const QStringList names = namesStartingLike(given, kShortestSharedStart, start);
    QString why = QStringLiteral("no entry of the lists is named \"%1\"").arg(given);
    if (!names.isEmpty()) {
        QStringList quoted;
        for (const QString& name :
             names.first(std::min<qsizetype>(names.size(), kMostSuggestions))) {
            quoted.append(QStringLiteral("\"%1\"").arg(name));
        }
        why += QStringLiteral("; names that start with \"%1\": %2").arg(start, quoted.join(", "));
        if (names.size() > kMostSuggestions) {
            why += QStringLiteral(" and %1 more").arg(names.size() - kMostSuggestions);
        }
    }
    return why;
}

NamedEntry entryNamed(const QString& given) {
    const QList<const ListedEntry*> matches = entriesNamed(given);
    if (matches.isEmpty()) {
        return {};
    }
    const ReferenceEntry& entry = matches.constFirst()->entry;
    const int line = entry.notationLine > 0 ? entry.notationLine : entry.line;
    const QStringList lines = reference::storedLines(matches.constFirst()->page);
    return {matches.constFirst(), matches.size(), line,
            line <= lines.size() ? lines[line - 1] : QString()};
}

QString NamedEntry::where() const {
    return QStringLiteral("list %1, line %2").arg(pageCaption(first->page)).arg(line);
}

QString NamedEntry::severalNote() const {
    if (count < 2) {
        return {};
    }
    return QStringLiteral("\"%1\" names %2 entries of the lists; the first, %3, is used.")
        .arg(first->entry.name)
        .arg(count)
        .arg(first->entry.notation);
}

QString NamedEntry::notWoven() const {
    if (first->reading.ok()) {
        return {};
    }
    return QStringLiteral("the sett of \"%1\" (%2) cannot be woven: %3")
        .arg(first->entry.name, where(), first->reading.refusal->message);
}

} // namespace loomara
