#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace loomara {

// Writes the bytes under exactly the given name, replacing a regular file of that name (through a
// symbolic link, the file it leads to; the link stays). Anything else there (a folder, a FIFO, a
// device, a link that leads nowhere) is refused. The bytes go to a temporary file beside it that
// is renamed over the target only when every byte is on disk, so a failed save leaves a file
// already there as it was. Empty on success, otherwise the reason for the user, e.g. "the folder
// \"/x\" does not exist"; `what` names the contents in the reasons ("picture", "draft").
std::optional<QString> saveFile(const QByteArray& bytes, const QString& fileName,
                                const QString& what);

// Why a save cannot replace what the name holds, looked up without opening it: a folder, a FIFO,
// a device, a socket (each named for what it is) or a symbolic link that leads nowhere. Empty
// when it holds a regular file, a link to one, or nothing yet.
std::optional<QString> whyNotSavedOver(const QString& fileName);

} // namespace loomara
