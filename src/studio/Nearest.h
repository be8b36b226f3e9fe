#pragma once

#include "collection/Collection.h"
#include "sett/Sett.h"
#include "store/SettStore.h"

#include <QList>
#include <QString>

#include <optional>

namespace loomara {

// One row of the Nearest panel: an entry of the lists or one of the user's own setts.
struct NearRow {
    int score = 0;
    const ListedEntry* entry = nullptr; // for an entry of the lists
    std::optional<SavedSett> mine;      // for one of the user's own

    QString name() const;
    QString sett() const;
};

// The `count` setts nearest `sett`, best first, as --similar ranks the entries of the lists, with
// the user's own setts ranked among them by the same score (theirs first of equal scores). Saved
// setts that no longer read are left out. Runs on a worker: it reads only its arguments and the
// lists.
QList<NearRow> nearestRows(const Sett& sett, const QList<SavedSett>& mine, int count);

// The question the panel asks a worker, numbered by the edit it answers.
struct NearestQuestion {
    quint64 edit = 0;
    Sett sett;
    QList<SavedSett> mine;
};

// Rows of the panel shown by default.
inline constexpr int kNearestShown = 10;

} // namespace loomara
