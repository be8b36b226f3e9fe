#include "io/PrematureEndWatch.h"

#include <QLatin1String>
#include <QString>
#include <QtGlobal>

namespace loomara {

namespace {

// libjpeg's words for coded data that stops before the picture's last block. Its other warnings,
// such as stray bytes before a marker in a whole picture, leave the picture whole.
const QLatin1String kPrematureEnd("Corrupt JPEG data: premature end of data segment");

// A message handler is one plain function for the whole process, so what it needs lives here.
// The handler it passes messages on to is read under a lock, so that a message from another
// thread in the instant a watch starts finds it set.
std::mutex watchOne;
std::mutex passOnLock;
QtMessageHandler passOn = nullptr;
// Set only on the thread that watches: messages of other threads are passed on untouched.
thread_local bool* endedEarlyHere = nullptr;

void noteMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (endedEarlyHere != nullptr && type == QtWarningMsg && message.contains(kPrematureEnd)) {
        *endedEarlyHere = true;
    }
    QtMessageHandler to = nullptr;
    {
        const std::lock_guard<std::mutex> lock(passOnLock);
        to = passOn;
    }
    to(type, context, message);
}

} // namespace

PrematureEndWatch::PrematureEndWatch() : onlyWatch_(watchOne) {
    endedEarlyHere = &endedEarly_;
    const std::lock_guard<std::mutex> lock(passOnLock);
    passOn = qInstallMessageHandler(noteMessage);
}

PrematureEndWatch::~PrematureEndWatch() {
    endedEarlyHere = nullptr;
    const std::lock_guard<std::mutex> lock(passOnLock);
    qInstallMessageHandler(passOn);
}

} // namespace loomara
