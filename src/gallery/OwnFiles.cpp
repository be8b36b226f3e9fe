#include "gallery/OwnFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

namespace loomara {

namespace {

constexpr qint64 kLargestList = 4 * 1024 * 1024;

} // namespace

QByteArray ownFilesList(const QSet<QString>& written) {
    QStringList names(written.begin(), written.end());
    names.sort();
    return (names.join(u'\n') + u'\n').toUtf8();
}

QSet<QString> writtenBefore(const QString& dir) {
    static const QRegularExpression ours(
        QStringLiteral("^(pictures/[a-z0-9-]+\\.png|cloth/[a-z0-9-]+\\.png|thumbs/"
                       "[a-z0-9-]+\\.jpg|drafts/[a-z0-9-]+\\.wif)$"));
    QFile file(dir + u'/' + QLatin1StringView(kOwnFilesList));
    const QFileInfo info(file.fileName());
    QSet<QString> names;
    if (!info.isFile() || info.size() > kLargestList || !file.open(QIODevice::ReadOnly)) {
        return names;
    }
    for (const QString& line : QString::fromUtf8(file.read(kLargestList)).split(u'\n')) {
        if (ours.match(line).hasMatch()) {
            names.insert(line);
        }
    }
    return names;
}

void removeStaleFiles(const QString& dir, const QSet<QString>& before,
                      const QSet<QString>& written) {
    for (const QString& name : before) {
        if (!written.contains(name)) {
            QFile::remove(dir + u'/' + name);
        }
    }
}

} // namespace loomara
