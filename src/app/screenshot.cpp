// Saves pictures of the program as the user sees it: the main window at start-up and after a demo
// sett has been entered and woven through its own controls, then the first reference page and the
// help page, opened through the main window's button and menu; and Loomara Studio with a named
// sett found and loaded from its Named panel.

#include "reference/HelpContent.h"
#include "studio/SettShelf.h"
#include "studio/window/StudioWindow.h"
#include "ui/HelpPage.h"
#include "ui/Loomara.h"
#include "ui/ReferencePage.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

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

bool save(const QImage& picture, const QDir& folder, const char* file) {
    const QString path = folder.filePath(QString::fromLatin1(file));
    if (!picture.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool save(QWidget* window, const QDir& folder, const char* file) {
    return window != nullptr && QTest::qWaitForWindowExposed(window) &&
           save(window->grab().toImage(), folder, file);
}

void clickHelp(Loomara& window) {
    QMenuBar* bar = window.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(bar->actions().at(1)).center());
}

// The studio after the user typed "royal stewart" into the Named panel's search box and pressed
// Enter: the cloth, the thumbnails and the nearest setts all drawn.
bool saveStudio(const QDir& folder) {
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    loomara::StoreShelf shelf(loomara::SettStore::defaultPath());
    loomara::StudioWindow studio(shelf);
    studio.resize(1200, 760);
    studio.show();
    if (!QTest::qWaitForWindowExposed(&studio)) {
        return false;
    }
    studio.readNamedEntries();
    auto* named = qobject_cast<QTreeView*>(studio.part(QStringLiteral("named")));
    if (!QTest::qWaitFor([named] { return named->model()->rowCount() > 0; }, 10000)) {
        std::fprintf(stderr, "the named setts were not read\n");
        return false;
    }
    studio.findName();
    auto* search = qobject_cast<QLineEdit*>(studio.part(QStringLiteral("namedSearch")));
    QTest::keyClicks(search, QStringLiteral("royal stewart"));
    QTest::keyClick(search, Qt::Key_Return);
    const bool answered = QTest::qWaitFor(
        [&studio] {
            return !studio.nearestBusy() && !studio.studio().state().nearest.isEmpty() &&
                   studio.studio().state().nearestEdit == studio.studio().state().edit;
        },
        10000);
    // Every thumbnail in view has been asked for by now; wait for them to be drawn.
    QTest::qWait(300);
    return answered && save(&studio, folder, "studio.png");
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
    if (!save(&window, folder, "loomara-start.png")) {
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
    if (!save(&window, folder, "loomara-woven.png")) {
        return 1;
    }
    click(window, "Command3");
    clickHelp(window);
    const loomara::SecondaryWindows& pages = window.secondaryWindows();
    const loomara::ReferencePage* page = pages.referencePage(1);
    // The list is laid out after the page first shows; only then does the box know its widest
    // entry, show the scroll bar that reaches it and shorten its view to make room for the bar; the
    // bar may come and go while the box measures its lines.
    const auto settled = [page] {
        const QPlainTextEdit* box = page->text1();
        const QScrollBar* bar = box->horizontalScrollBar();
        return bar->isVisible() && bar->maximum() > 0 &&
               box->viewport()->height() <= box->height() - 2 * box->frameWidth() - bar->height();
    };
    const bool laidOut = page != nullptr && QTest::qWaitFor(settled);
    if (!laidOut) {
        std::fprintf(stderr, "the first reference page did not open\n");
        return 1;
    }
    const bool saved = save(pages.referencePage(1), folder, "reference-page-a-to-di.png") &&
                       save(pages.helpPage(), folder, "help-page.png") &&
                       save(loomara::reference::helpIcon(), folder, "help-icon.png");
    return saved && saveStudio(folder) ? 0 : 1;
}
