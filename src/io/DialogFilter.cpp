#include "io/DialogFilter.h"

namespace loomara {

QStringList nameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'))) {
            if (!pattern.trimmed().isEmpty()) {
                patterns << pattern.trimmed();
            }
        }
        if (patterns.isEmpty()) {
            continue;
        }
        const QString listed =
            QLatin1Char('(') + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
        if (description.endsWith(listed)) {
            filters << description;
        } else if (description.isEmpty()) {
            filters << listed;
        } else {
            filters << description + QLatin1Char(' ') + listed;
        }
    }
    return filters;
}

} // namespace loomara
