#pragma once

#include <QSet>
#include <QString>

#include <optional>

namespace loomara {

// The list of files a gallery run wrote, kept in the gallery's folder, so that the next run
// removes only files a gallery made: a "pictures" folder that was there before holds the user's
// own pictures too.
inline constexpr auto kOwnFilesList = ".loomara-gallery";

// The list's bytes: one relative name a line.
QByteArray ownFilesList(const QSet<QString>& written);

// What the earlier run's list names, as far as it names files of the gallery's own shape; a list
// that is missing, not a plain file or too large names nothing.
QSet<QString> writtenBefore(const QString& dir);

// What the earlier run wrote and this one did not goes; nothing else is touched.
void removeStaleFiles(const QString& dir, const QSet<QString>& before,
                      const QSet<QString>& written);

} // namespace loomara
