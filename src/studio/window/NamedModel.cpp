#include "studio/window/NamedModel.h"

#include "studio/ClothThumbnail.h"
#include "studio/NamedEntries.h"

#include <QMetaObject>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

namespace loomara {

NamedModel::NamedModel(QObject* parent) : QAbstractTableModel(parent) {
    workers_.setMaxThreadCount(1);
}

NamedModel::~NamedModel() {
    workers_.clear();
    workers_.waitForDone();
}

void NamedModel::setEntries(QList<const ListedEntry*> entries) {
    beginResetModel();
    all_ = std::move(entries);
    shown_ = entriesMatching(all_, filter_);
    endResetModel();
}

void NamedModel::setFilter(const QString& filter) {
    beginResetModel();
    filter_ = filter;
    shown_ = entriesMatching(all_, filter_);
    endResetModel();
}

const ListedEntry* NamedModel::entryAt(int row) const {
    return row >= 0 && row < shown_.size() ? shown_[row] : nullptr;
}

int NamedModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int NamedModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant NamedModel::data(const QModelIndex& index, int role) const {
    const ListedEntry* entry = entryAt(index.row());
    if (entry == nullptr) {
        return {};
    }
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        return index.column() == 0 ? entry->entry.name : entry->entry.notation;
    }
    if (role == Qt::DecorationRole && index.column() == 0) {
        const auto found = thumbnails_.constFind(entry);
        if (found != thumbnails_.constEnd()) {
            return *found;
        }
        drawThumbnail(entry);
    }
    if (role == Qt::SizeHintRole && index.column() == 0) {
        return QSize(kThumbnailSide, kThumbnailSide + 2);
    }
    return {};
}

QVariant NamedModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    return section == 0 ? QStringLiteral("Name") : QStringLiteral("Sett");
}

void NamedModel::drawThumbnail(const ListedEntry* entry) const {
    if (drawing_.contains(entry)) {
        return;
    }
    drawing_.insert(entry);
    QPointer<NamedModel> model(const_cast<NamedModel*>(this));
    // The worker only reads the entry, which the lists keep for the whole run.
    (void)QtConcurrent::run(&workers_, [model, entry] {
        const QImage picture = clothThumbnail(entry->reading.sett, kThumbnailSide);
        QMetaObject::invokeMethod(
            model.data(), [model, entry, picture] {
                if (model) {
                    model->thumbnailDrawn(entry, picture);
                }
            },
            Qt::QueuedConnection);
    });
}

void NamedModel::thumbnailDrawn(const ListedEntry* entry, const QImage& picture) {
    drawing_.remove(entry);
    thumbnails_.insert(entry, QPixmap::fromImage(picture));
    const int row = static_cast<int>(shown_.indexOf(entry));
    if (row >= 0) {
        emit dataChanged(index(row, 0), index(row, 0), {Qt::DecorationRole});
    }
}

void NamedModel::waitForThumbnails() {
    workers_.waitForDone();
}

} // namespace loomara
