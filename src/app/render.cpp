#include "app/RenderCommand.h"
#include "io/FileSizeLimit.h"

#include <QGuiApplication>

#include <cstdio>
#include <unistd.h>

namespace {

// Scripts read this program's stderr, where a failure is one line. Qt's own notes (a missing
// runtime folder on a headless machine, say) would crowd it, so only its critical and fatal
// messages pass.
void onlyQtFailures(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

} // namespace

int main(int argc, char** argv) {
    loomara::letWritesPastTheFileSizeLimitFail();
    // No display is needed; the platform's palette still gives the window's desktop colours.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qInstallMessageHandler(onlyQtFailures);
    const QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return loomara::runRender(QGuiApplication::arguments(), out, err, isatty(STDERR_FILENO) == 1);
}
