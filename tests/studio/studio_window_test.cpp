// The studio's window offscreen, driven with QTest from the keyboard: its cloth against the tool's
// picture, typing, finding and loading a named sett, saving and loading one of the user's own, an
// export, the nearest panel, and the names and order that reach every control.

#include "StudioFakes.h"

#include "../app/RenderTestSupport.h"
#include "sett/SettText.h"
#include "studio/window/ClothView.h"
#include "studio/window/StudioWindow.h"
#include "support/FakeCommonDialog.h"
#include "support/RecordingPrinter.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace loomara;
using namespace loomara::testing;

namespace {

const QString kKilt = QStringLiteral("B/24 W4 B24 R2 K24 G24 W/2");
constexpr int kWaitMs = 10000;

// The user's data folder, a temporary one for each test, so that the studio's real database is
// made there and nowhere else.
struct DataHome {
    QTemporaryDir dir;
    QByteArray kept = qgetenv("XDG_DATA_HOME");
    DataHome() { qputenv("XDG_DATA_HOME", dir.path().toUtf8()); }
    ~DataHome() { qputenv("XDG_DATA_HOME", kept); }
};

struct StudioFixture : ::testing::Test {
    DataHome home;
    StoreShelf shelf{SettStore::defaultPath()};
    ScriptedPrompts prompts;
    FakeCommonDialog dialog;
    RecordingPrinter printer;
    StudioWindow window{shelf, StudioPlatform{prompts, dialog, printer}};

    void SetUp() override {
        window.resize(1000, 700);
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    template <typename T> T* part(const char* name) {
        return qobject_cast<T*>(window.part(QString::fromLatin1(name)));
    }
    QLineEdit* sett() { return part<QLineEdit>("sett"); }
    ClothView* cloth() { return part<ClothView>("cloth"); }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
    }
    void type(const QString& text) {
        QWidget* box = QApplication::focusWidget();
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(box, text);
    }
    bool namedRead() {
        window.readNamedEntries();
        auto* named = part<QTreeView>("named");
        return QTest::qWaitFor([named] { return named->model()->rowCount() > 3000; }, kWaitMs);
    }
};

} // namespace

TEST_F(StudioFixture, TheViewShowsExactlyTheToolsClothAtEveryZoom) {
    type(kKilt);
    ASSERT_EQ(QApplication::focusWidget(), sett()) << "the sett field has the focus at start";
    QTemporaryDir folder;
    const QSize view = cloth()->size();
    // At the default zoom, then at others reached with Ctrl+- and Ctrl++.
    for (const int steps : {0, -5, 2, 5, 20}) {
        for (int i = 0; i < std::abs(steps); ++i) {
            key(steps < 0 ? Qt::Key_Minus : Qt::Key_Equal);
        }
        const int zoom = window.studio().shownZoom(view);
        if (steps == 0) {
            EXPECT_GE(view.width(), 2 * 182 * zoom);
            EXPECT_GE(view.height(), 2 * 182 * zoom);
        }
        const int repeats = std::max(view.width(), view.height()) / (182 * zoom) + 1;
        QImage expected;
        if (zoom <= 8) {
            const QString file = folder.filePath(QStringLiteral("zoom%1.png").arg(zoom));
            const RenderRun run = render({kKilt, "--cloth", "--repeats", QString::number(repeats),
                                          "--scale", QString::number(zoom), "-o", file});
            ASSERT_EQ(run.status, 0) << run.err.toStdString();
            expected = QImage(file);
        } else {
            RenderRequest request = window.studio().request(Drawing::Cloth, PictureFormat::Png);
            request.repeats = repeats;
            request.scale = zoom;
            expected = QImage::fromData(render(request, desktopColours()).bytes);
        }
        const QImage shown = cloth()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(shown, expected.convertToFormat(QImage::Format_RGB32).copy(QRect({}, view)))
            << "zoom " << zoom;
    }
    key(Qt::Key_0);
    EXPECT_EQ(window.studio().shownZoom(view),
              window.studio().shownZoom(view * 2) / 2 + (window.studio().shownZoom(view * 2) % 2));
}

TEST_F(StudioFixture, TypingReweavesAndARefusedSettGreysTheLastClothAndSaysWhy) {
    type(QStringLiteral("K4 R4"));
    EXPECT_EQ(window.windowTitle(), "Untitled sett - Loomara Studio");
    EXPECT_EQ(cloth()->repeat().size(), QSize(8, 8));
    const QImage good = cloth()->grab().toImage();
    QTest::keyClicks(sett(), QStringLiteral(" Y"));
    const QString why = part<QLabel>("problem")->text();
    EXPECT_TRUE(why.contains("at character 7")) << why.toStdString();
    EXPECT_EQ(cloth()->repeat().size(), QSize(8, 8));
    const QImage greyed = cloth()->grab().toImage();
    EXPECT_NE(greyed, good);
    QSet<QRgb> colours;
    for (int x = 0; x < greyed.width(); ++x) {
        colours.insert(greyed.pixel(x, x % greyed.height()));
    }
    EXPECT_GT(colours.size(), 1) << "the cloth still shows under the grey";
    QTest::keyClicks(sett(), QStringLiteral("4"));
    EXPECT_TRUE(part<QLabel>("problem")->text().isEmpty());
    EXPECT_EQ(cloth()->repeat().size(), QSize(16, 16));
}

TEST_F(StudioFixture, CtrlFANameAndEnterLoadsItThenCtrlSSavesAndMySettsLoadsItBack) {
    ASSERT_TRUE(namedRead());
    key(Qt::Key_F);
    ASSERT_EQ(QApplication::focusWidget(), part<QWidget>("namedSearch"));
    type(QStringLiteral("aberdeen UNIV"));
    EXPECT_EQ(part<QTreeView>("named")->model()->rowCount(), 1);
    key(Qt::Key_Return, Qt::NoModifier);
    EXPECT_EQ(window.windowTitle(), "Aberdeen University - Loomara Studio");
    EXPECT_EQ(sett()->text(), entriesNamed("Aberdeen University").first()->entry.notation);

    prompts.names.push_back(QStringLiteral("My Aberdeen"));
    key(Qt::Key_L);
    key(Qt::Key_End, Qt::NoModifier);
    QTest::keyClicks(sett(), QStringLiteral("4"));
    const QString mine = sett()->text();
    key(Qt::Key_S);
    EXPECT_EQ(window.windowTitle(), "My Aberdeen - Loomara Studio");
    EXPECT_EQ(part<QTreeWidget>("saved")->topLevelItemCount(), 1);
    // In the database under the user's data folder, where a second studio reads it.
    SettStore other(home.dir.filePath("loomara/setts.sqlite"));
    ASSERT_EQ(other.list().size(), 1);
    EXPECT_EQ(other.list().first().sett, mine);

    // The second studio's save shows in this one's panel, newest first, once it looks again.
    ASSERT_EQ(other.save("Their kilt", kKilt, {}, false), SettStore::SaveResult::Saved);
    auto* saved = part<QTreeWidget>("saved");
    ASSERT_TRUE(QTest::qWaitFor([saved] { return saved->topLevelItemCount() == 2; }, kWaitMs));
    EXPECT_EQ(saved->topLevelItem(0)->text(0), "Their kilt");

    // Saving under a name that is there asks first; no keeps the one saved.
    prompts.names.push_back(QStringLiteral("their KILT"));
    prompts.answers = {false};
    key(Qt::Key_S);
    EXPECT_EQ(prompts.asked.last(),
              "You have a sett named \"their KILT\" already. Replace it with this one?");
    EXPECT_EQ(other.find("Their kilt")->sett, kKilt);

    key(Qt::Key_L);
    type(kKilt);
    key(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(QApplication::focusWidget(), part<QWidget>("savedSearch"));
    type(QStringLiteral("aberd"));
    key(Qt::Key_Return, Qt::NoModifier);
    EXPECT_EQ(sett()->text(), mine);
    EXPECT_EQ(window.windowTitle(), "My Aberdeen - Loomara Studio");

    // Delete on the list asks first.
    saved->setFocus();
    saved->setCurrentItem(saved->topLevelItem(0));
    prompts.answers = {true};
    key(Qt::Key_Delete, Qt::NoModifier);
    EXPECT_FALSE(other.find("My Aberdeen"));
    EXPECT_EQ(other.list().size(), 1);
    EXPECT_EQ(prompts.asked.last(), "Delete your sett \"My Aberdeen\"? It cannot be brought back.");
}

TEST_F(StudioFixture, CtrlEExportsTheToolsFileAndTheNearestPanelLoadsAClickedRow) {
    type(kKilt);
    QTemporaryDir folder;
    dialog.confirmFile(folder.filePath("kilt.png"));
    key(Qt::Key_E);
    const RenderRun run = render({kKilt, "--cloth", "-o", folder.filePath("tool.png")});
    ASSERT_EQ(run.status, 0);
    QFile ours(folder.filePath("kilt.png"));
    QFile theirs(folder.filePath("tool.png"));
    ASSERT_TRUE(ours.open(QIODevice::ReadOnly) && theirs.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ours.readAll() == theirs.readAll());

    auto* nearest = part<QTreeWidget>("nearest");
    ASSERT_TRUE(QTest::qWaitFor([&] { return nearest->topLevelItemCount() == 10; }, kWaitMs));
    EXPECT_EQ(window.studio().state().nearestEdit, window.studio().state().edit);
    QTreeWidgetItem* first = nearest->topLevelItem(0);
    const QString name = first->text(1);
    QTest::mouseClick(nearest->viewport(), Qt::LeftButton, {},
                      nearest->visualItemRect(first).center());
    EXPECT_EQ(window.windowTitle(), name + " - Loomara Studio");
}

// View > Weave, one weave checked at a time, weaves the draft exported as the tool's --weave does.
TEST_F(StudioFixture, TheWeaveMenuWeavesTheDraftAsTheToolDoes) {
    type(QStringLiteral("K/5 W3 R/6"));
    EXPECT_TRUE(part<QAction>("weave:twill")->isChecked());
    part<QAction>("weave:point")->trigger();
    EXPECT_TRUE(part<QAction>("weave:point")->isChecked());
    EXPECT_FALSE(part<QAction>("weave:twill")->isChecked());
    QTemporaryDir folder;
    dialog.confirmFile(folder.filePath("ours.wif"));
    key(Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(render({"K/5 W3 R/6", "--weave", "point", "-o", folder.filePath("tool.wif")}).status,
              0);
    QFile ours(folder.filePath("ours.wif"));
    QFile theirs(folder.filePath("tool.wif"));
    ASSERT_TRUE(ours.open(QIODevice::ReadOnly) && theirs.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ours.readAll() == theirs.readAll());
}

TEST_F(StudioFixture, CtrlOPutsTheSettReadFromAPhotoInTheFieldAsTheToolReadsIt) {
    QTemporaryDir folder;
    const QString photo = folder.filePath("cloth.png");
    ASSERT_EQ(render({kKilt, "--cloth", "--scale", "3", "--repeats", "2", "-o", photo}).status, 0);
    const RenderRun read = render({"--from-picture", photo});
    ASSERT_EQ(read.status, 0) << read.err.toStdString();
    dialog.confirmFile(photo);
    key(Qt::Key_O);
    EXPECT_EQ(sett()->text(), read.out.trimmed());
    EXPECT_EQ(window.studio().state().sett, readSett(read.out.trimmed()).sett);
    EXPECT_TRUE(prompts.told.isEmpty()) << prompts.told.join('\n').toStdString();

    // A picture without a plaid leaves the field as it was and says why; a cancel does nothing.
    QImage flat(200, 200, QImage::Format_RGB32);
    flat.fill(Qt::darkGreen);
    ASSERT_TRUE(flat.save(folder.filePath("flat.png")));
    dialog.confirmFile(folder.filePath("flat.png"));
    key(Qt::Key_O);
    dialog.cancel();
    key(Qt::Key_O);
    EXPECT_EQ(sett()->text(), read.out.trimmed());
    ASSERT_EQ(prompts.told.size(), 1);
    EXPECT_TRUE(prompts.told.first().contains("no repeating stripes"))
        << prompts.told.first().toStdString();
}

// Ctrl+Shift+A shows the tool's cloth as woven at the view's zoom, a tile of the repeats that meet
// as the cloth's do, and again the exact cloth.
TEST_F(StudioFixture, CtrlShiftAShowsTheToolsClothAsWovenAndBack) {
    type(QStringLiteral("K/5 W3 R/6"));
    const QImage exact = cloth()->grab().toImage();
    const int zoom = window.studio().shownZoom(cloth()->size());
    key(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(part<QAction>("asWoven")->isChecked());
    QTemporaryDir folder;
    const QString file = folder.filePath("woven.png");
    const double pixelsPerMm = zoom * kKiltThreadsPerMetre / 1000;
    const QSize tile = window.studio().state().tile.size();
    const int repeats = tile.width() / window.studio().state().repeat.width();
    const RenderRun run =
        render({"K/5 W3 R/6", "--cloth", "--as-woven", "--repeats", QString::number(repeats),
                "--pixels-per-mm", QString::number(pixelsPerMm, 'g', 17), "-o", file});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QImage tool = QImage(file).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(tool.size(), tile * zoom);
    const QImage shown = cloth()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect both = shown.rect() & tool.rect();
    EXPECT_EQ(shown.copy(both), tool.copy(both));
    EXPECT_FALSE(part<QSpinBox>("scale")->isEnabled()) << "as woven, the tool's pixels a thread";
    key(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(part<QAction>("asWoven")->isChecked());
    EXPECT_EQ(cloth()->grab().toImage(), exact);
    EXPECT_TRUE(part<QSpinBox>("scale")->isEnabled());

    // The mouse: View, then As woven, on and off.
    for (const bool on : {true, false}) {
        QMenuBar* bar = window.menuBar();
        const QList<QAction*> menus = bar->actions();
        QAction* view = *std::find_if(menus.begin(), menus.end(),
                                      [](QAction* a) { return a->text() == "&View"; });
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(view).center());
        QMenu* menu = view->menu();
        ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, kWaitMs));
        QTest::mouseClick(menu, Qt::LeftButton, {},
                          menu->actionGeometry(part<QAction>("asWoven")).center());
        EXPECT_EQ(part<QAction>("asWoven")->isChecked(), on);
        EXPECT_EQ(window.studio().state().asWoven, on);
    }
    EXPECT_EQ(cloth()->grab().toImage(), exact);
}

TEST_F(StudioFixture, EveryControlHasANameAndTabGoesThroughThePanelsInReadingOrder) {
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget->focusPolicy() & Qt::TabFocus && widget->isVisible() &&
            qobject_cast<QAbstractScrollArea*>(widget->parentWidget()) == nullptr &&
            widget->parentWidget()->inherits("QAbstractSpinBox") == false &&
            !widget->inherits("QTabBar")) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->metaObject()->className();
        }
    }
    QStringList order;
    for (int i = 0; i < 10; ++i) {
        QWidget* focused = QApplication::focusWidget();
        while (focused->accessibleName().isEmpty() && focused->parentWidget()) {
            focused = focused->parentWidget();
        }
        order.append(focused->accessibleName());
        key(Qt::Key_Tab, Qt::NoModifier);
    }
    EXPECT_EQ(order,
              QStringList({"Sett", "Weft sett", "Colours of the sett", "Cloth",
                           "Repeats to export and print", "Pixels a thread in exported pictures",
                           "Panels", "Find a named sett", "Named setts", "Nearest setts"}))
        << order.join('|').toStdString();
}

TEST_F(StudioFixture, TheLegendRecoloursFromTheKeyboardAndTheMouseAndTheSchemeMenuShadesIt) {
    type(QStringLiteral("K/4 R24 Y/4"));
    auto* legend = part<QListWidget>("legend");
    ASSERT_EQ(legend->count(), 3);
    EXPECT_EQ(legend->item(1)->text(), "R");
    key(Qt::Key_K);
    ASSERT_EQ(QApplication::focusWidget(), legend);
    key(Qt::Key_Right, Qt::NoModifier);
    prompts.names = {QStringLiteral("DR")};
    key(Qt::Key_Return, Qt::NoModifier);
    EXPECT_EQ(sett()->text(), "K/4 DR24 Y/4");
    EXPECT_EQ(prompts.asked.last(), "Weave every thread of R in:");
    prompts.names = {QStringLiteral("NB")};
    QTest::mouseClick(legend->viewport(), Qt::LeftButton, {},
                      legend->visualItemRect(legend->item(0)).center());
    EXPECT_EQ(sett()->text(), "NB/4 DR24 Y/4");
    EXPECT_EQ(legend->item(0)->text(), "NB");

    const QImage modern = cloth()->repeat();
    part<QAction>("schemeFaded")->trigger();
    EXPECT_TRUE(part<QAction>("schemeFaded")->isChecked());
    EXPECT_FALSE(part<QAction>("schemeModern")->isChecked());
    EXPECT_EQ(cloth()->repeat(), window.studio().state().repeat);
    EXPECT_NE(cloth()->repeat(), modern);
    part<QAction>("schemeModern")->trigger();
    EXPECT_EQ(cloth()->repeat(), modern);
}
