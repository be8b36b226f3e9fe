#pragma once

#include "studio/Nearest.h"

#include <QFutureWatcher>
#include <QObject>
#include <QThreadPool>

#include <optional>

namespace loomara {

// Runs the nearest search on a worker of its own, one question at a time. A question asked while
// another runs waits, and a newer one takes its place, so a burst of typing costs one search
// beyond the one running. Every answer names the edit of its question; the studio drops an answer
// that is not the latest.
class NearestSearcher final : public QObject {
    Q_OBJECT
public:
    explicit NearestSearcher(QObject* parent = nullptr);
    ~NearestSearcher() override;

    void ask(NearestQuestion question);
    bool busy() const { return running_; }

signals:
    void answered(quint64 edit, const QList<loomara::NearRow>& rows);

private:
    void start(NearestQuestion question);
    void finished();

    QThreadPool workers_;
    QFutureWatcher<QList<NearRow>> watcher_;
    quint64 runningEdit_ = 0;
    bool running_ = false;
    std::optional<NearestQuestion> waiting_;
};

} // namespace loomara
