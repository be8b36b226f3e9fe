#include "io/FileSizeLimit.h"
#include "studio/StudioStart.h"
#include "studio/window/ClothView.h"
#include "studio/window/StudioWindow.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
    loomara::letWritesPastTheFileSizeLimitFail();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Loomara Studio"));
    const loomara::StudioStart start = loomara::readStudioStart(QApplication::arguments().mid(1));
    if (start.printed) {
        std::fputs(qPrintable(*start.printed), start.status == 0 ? stdout : stderr);
        return start.status;
    }
    loomara::StoreShelf shelf(loomara::SettStore::defaultPath());
    loomara::StudioWindow window(shelf);
    if (!start.name.isEmpty()) {
        window.loadName(start.name);
    } else {
        // A sett to start from, selected, so that typing replaces it.
        window.settEdited(start.sett.isEmpty() ? QStringLiteral("B/24 W4 B24 R2 K24 G24 W/2")
                                               : start.sett);
        window.focusSett();
    }
    window.resize(1200, 760);
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           window.screen()->availableGeometry()));
    // For checks that the program starts (CI, on a display without a screen): quit once the
    // first cloth is on the screen. Documented in the manual page.
    if (qEnvironmentVariable("LOOMARA_STUDIO_QUIT_AFTER_PAINT") == QStringLiteral("1")) {
        QObject::connect(qobject_cast<loomara::ClothView*>(window.part(QStringLiteral("cloth"))),
                         &loomara::ClothView::painted, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
    }
    window.show();
    // The lists are read, and the store's trouble told, once the cloth is on the screen.
    QTimer::singleShot(0, &window, [&window] {
        window.readNamedEntries();
        window.tellStoreProblem();
    });
    return QApplication::exec();
}
