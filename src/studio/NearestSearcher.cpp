#include "studio/NearestSearcher.h"

#include <QtConcurrent/QtConcurrentRun>

namespace loomara {

NearestSearcher::NearestSearcher(QObject* parent) : QObject(parent) {
    workers_.setMaxThreadCount(1);
    connect(&watcher_, &QFutureWatcher<QList<NearRow>>::finished, this,
            &NearestSearcher::finished);
}

NearestSearcher::~NearestSearcher() {
    waiting_.reset();
    watcher_.waitForFinished();
}

void NearestSearcher::ask(NearestQuestion question) {
    if (running_) {
        waiting_ = std::move(question);
        return;
    }
    start(std::move(question));
}

void NearestSearcher::start(NearestQuestion question) {
    running_ = true;
    runningEdit_ = question.edit;
    watcher_.setFuture(QtConcurrent::run(&workers_, [question = std::move(question)] {
        return nearestRows(question.sett, question.mine, kNearestShown);
    }));
}

void NearestSearcher::finished() {
    running_ = false;
    const quint64 edit = runningEdit_;
    const QList<NearRow> rows = watcher_.result();
    if (waiting_) {
        NearestQuestion next = std::move(*waiting_);
        waiting_.reset();
        start(std::move(next));
    }
    emit answered(edit, rows);
}

} // namespace loomara
