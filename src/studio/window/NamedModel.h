#pragma once

#include "collection/Collection.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QPixmap>
#include <QSet>
#include <QThreadPool>

namespace loomara {

// The Named panel's rows: the entries the filter lets through, each with its name and sett, and
// a thumbnail of its cloth. A thumbnail is drawn on a worker the first time its row is shown and
// kept, so the list opens at once and scrolling never waits on a drawing.
class NamedModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kThumbnailSide = 32;

    explicit NamedModel(QObject* parent = nullptr);
    ~NamedModel() override;

    void setEntries(QList<const ListedEntry*> entries);
    void setFilter(const QString& filter);
    const ListedEntry* entryAt(int row) const;
    bool hasEntries() const { return !all_.isEmpty(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Waits for the thumbnails being drawn; for tests and the end of the run.
    void waitForThumbnails();

private:
    void drawThumbnail(const ListedEntry* entry) const;
    void thumbnailDrawn(const ListedEntry* entry, const QImage& picture);

    QList<const ListedEntry*> all_;
    QList<const ListedEntry*> shown_;
    QString filter_;
    QHash<const ListedEntry*, QPixmap> thumbnails_;
    mutable QSet<const ListedEntry*> drawing_;
    mutable QThreadPool workers_;
};

} // namespace loomara
