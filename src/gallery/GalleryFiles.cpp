#include "gallery/GalleryFiles.h"

#include <QRegularExpression>

namespace loomara {

QString galleryPath(GalleryFile file, const QString& stem) {
    const GalleryFileKind& kind = kGalleryFiles.at(static_cast<std::size_t>(file));
    return QStringLiteral("%1/%2.%3")
        .arg(QLatin1StringView(kind.folder), stem, QLatin1StringView(kind.extension));
}

QStringList galleryFolders() {
    QStringList folders;
    for (const GalleryFileKind& kind : kGalleryFiles) {
        folders.append(QLatin1StringView(kind.folder));
    }
    return folders;
}

QStringList galleryFiles(const QString& stem) {
    QStringList files;
    for (const GalleryFileKind& kind : kGalleryFiles) {
        files.append(galleryPath(kind.file, stem));
    }
    return files;
}

bool galleryFileName(const QString& name) {
    static const QRegularExpression ours = [] {
        QStringList names{QRegularExpression::escape(QLatin1StringView(kGalleryIndex))};
        for (const QString& file : galleryFiles(QStringLiteral("STEM"))) {
            names.append(QRegularExpression::escape(file).replace(QStringLiteral("STEM"),
                                                                  QStringLiteral("[a-z0-9-]+")));
        }
        return QRegularExpression(QStringLiteral("^(%1)$").arg(names.join(u'|')));
    }();
    return ours.match(name).hasMatch();
}

} // namespace loomara
