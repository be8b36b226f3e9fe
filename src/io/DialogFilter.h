#pragma once

#include <QString>
#include <QStringList>

namespace loomara {

// The dialog's "Description|pattern|..." file types as name filters in the toolkit's own
// syntax, "Description (pattern pattern)", one per entry. A description that already ends
// with its patterns in parentheses is kept as it stands; an entry without a pattern is left
// out.
QStringList nameFilters(const QString& filter);

} // namespace loomara
