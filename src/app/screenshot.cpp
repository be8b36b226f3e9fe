// Saves pictures of the main window as the user sees it: at start-up, and after a demo sett has
// been entered and woven through the window's own controls.

#include "ui/Loomara.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTest>

#include <cstdio>

namespace {

using loomara::Loomara;

QWidget* widget(const Loomara& window, const char* name) {
    return qobject_cast<QWidget*>(window.control(QString::fromLatin1(name)));
}

void click(const Loomara& window, const char* name) {
    QTest::mouseClick(widget(window, name), Qt::LeftButton);
}

void type(const Loomara& window, const char* name, const char* text) {
    auto* box = qobject_cast<QLineEdit*>(widget(window, name));
    box->selectAll();
    QTest::keyClicks(box, QString::fromLatin1(text));
}

struct DemoStripe {
    const char* swatch;
    const char* countBox;
    const char* count;
    const char* lockBox;
};

// Navy, black, green, black and a yellow line: 200 threads, so the picture keeps its full size
// and the sett width turns green.
constexpr DemoStripe kDemo[] = {
    {"Picture169", "Text1", "60", "Picture136"}, {"Picture161", "Text2", "48", "Picture137"},
    {"Picture164", "Text3", "72", "Picture138"}, {"Picture161", "Text4", "10", "Picture139"},
    {"Picture173", "Text5", "10", "Picture140"},
};

bool save(Loomara& window, const QDir& folder, const char* file) {
    const QString path = folder.filePath(QString::fromLatin1(file));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder.path()));
        return 1;
    }
    Loomara window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window) || !save(window, folder, "loomara-start.png")) {
        return 1;
    }
    for (const DemoStripe& stripe : kDemo) {
        click(window, stripe.swatch);
        type(window, stripe.countBox, stripe.count);
        click(window, stripe.lockBox);
    }
    // The modern look: the background takes the colour of the widest stripe.
    click(window, "Picture164");
    click(window, "Picture246");
    click(window, "WEAVE");
    return save(window, folder, "loomara-woven.png") ? 0 : 1;
}
