#pragma once

#include "collection/Collection.h"

#include <QList>
#include <QString>

namespace loomara {

// Every entry of the lists with a name and a sett that reads, in list order: what the studio's
// Named panel offers.
QList<const ListedEntry*> readableEntries();

// Those of `entries` whose name holds `filter`, ignoring case; all of them when it is blank.
QList<const ListedEntry*> entriesMatching(const QList<const ListedEntry*>& entries,
                                          const QString& filter);

} // namespace loomara
