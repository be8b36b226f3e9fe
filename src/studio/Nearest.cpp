#include "studio/Nearest.h"

#include "collection/Similarity.h"
#include "sett/SettText.h"

#include <vector>

namespace loomara {

QString NearRow::name() const {
    return mine ? mine->name : entry->entry.name;
}

QString NearRow::sett() const {
    return mine ? mine->sett : entry->entry.notation;
}

QList<NearRow> nearestRows(const Sett& sett, const QList<SavedSett>& mine, int count) {
    QList<NearRow> named;
    for (const SimilarEntry& similar : entriesNearest(sett, count)) {
        named.append({similar.score, similar.listed, std::nullopt});
    }
    std::vector<ClothProfile> profiles;
    for (const SavedSett& saved : mine) {
        const SettReading reading = readSett(saved.sett);
        profiles.push_back(reading.ok() ? ClothProfile(reading.sett) : ClothProfile());
    }
    QList<NearRow> own;
    for (const Neighbour& n : nearestProfiles(ClothProfile(sett), profiles, count)) {
        own.append({n.score, nullptr, mine[n.index]});
    }
    QList<NearRow> rows;
    qsizetype i = 0;
    qsizetype j = 0;
    while (rows.size() < count && (i < named.size() || j < own.size())) {
        const bool takeOwn = j < own.size() && (i == named.size() || own[j].score >= named[i].score);
        rows.append(takeOwn ? own[j++] : named[i++]);
    }
    return rows;
}

} // namespace loomara
