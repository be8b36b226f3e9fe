// What screen readers and UI-automation tools see of the window: every control the user acts on
// has a name of its own, read through the accessibility interface as such a tool reads it, and
// each swatch tells its code and the colour it sets when the pointer rests on it.

#include "WindowFixture.h"

#include "palette/PaletteSwatch.h"
#include "ui/ControlTable.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QAction>
#include <QHelpEvent>
#include <QMenu>
#include <QMenuBar>
#include <QToolTip>

#include <map>

using namespace loomara;
using namespace loomara::testing;

namespace {

QString accessibleName(QObject* object) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(object);
    return face != nullptr ? face->text(QAccessible::Name) : QString();
}

// The names a tool finds on the menu bar and in its menus, by the item's design name.
std::map<QString, QString> menuItemNames(QMenuBar* bar) {
    std::map<QString, QString> names;
    QAccessibleInterface* barFace = QAccessible::queryAccessibleInterface(bar);
    for (int i = 0; barFace != nullptr && i < barFace->childCount(); ++i) {
        const QAction* title = bar->actions().at(i);
        const QString designName =
            title->menu() ? title->menu()->objectName() : title->objectName();
        names[designName] = barFace->child(i)->text(QAccessible::Name);
        if (title->menu() == nullptr) {
            continue;
        }
        QAccessibleInterface* menuFace = QAccessible::queryAccessibleInterface(title->menu());
        for (int j = 0; j < menuFace->childCount(); ++j) {
            names[title->menu()->actions().at(j)->objectName()] =
                menuFace->child(j)->text(QAccessible::Name);
        }
    }
    return names;
}

} // namespace

TEST_F(WindowTest, EveryActingControlHasANameAndEverySwatchATip) {
    // Every control but the caption boxes is named, and no two alike, so that a tool can find
    // each one by its name.
    std::map<QString, QString> owners;
    for (const ControlDescription& row : mainWindowControls()) {
        if (row.kind == ControlKind::CaptionBox) {
            continue;
        }
        SCOPED_TRACE(row.name.toStdString());
        const QString name = accessibleName(get(row.name));
        EXPECT_FALSE(name.isEmpty());
        const auto [at, added] = owners.emplace(name, row.name);
        EXPECT_TRUE(added) << "also the name of " << at->second.toStdString();
    }

    // The menu items, as a tool finds them on the menu bar and in the File menu.
    const std::map<QString, QString> menuNames = menuItemNames(window->menuBar());
    const std::map<QString, QString> captions{
        {"File", "File"},   {"Clear", "Clear"}, {"Save", "Save"}, {"Open", "Open"},
        {"Print", "Print"}, {"Exit", "Exit"},   {"Help", "Help"}};
    EXPECT_EQ(menuNames, captions);

    const std::map<QString, QString> expected{
        {"Picture1", "Swatch K"},
        {"Picture161", "Swatch k"},
        {"Picture167", "Swatch lb"},
        {"Text3", "Thread count of stripe 3"},
        {"Picture138", "Lock stripe 3"},
        {"Picture153", "Lock stripe 18"},
        {"Text110", "Current colour"},
        {"Text150", "Sett notation"},
        {"Picture135", "Weave picture"},
        {"Text230", "Sett width"},
        {"Picture246", "Background colour"},
        {"Command1", "Brighten then reweave"},
        {"Command3", "Reference page A To Di"},
    };
    for (const auto& [control, name] : expected) {
        EXPECT_EQ(accessibleName(get(control)), name) << control.toStdString();
    }

    // Each swatch's tip is its code and the colour its click sets, also where it shows another.
    for (const PaletteSwatch& s : paletteSwatches()) {
        const QWidget* swatch = get(s.controlName());
        ASSERT_NE(swatch, nullptr);
        EXPECT_TRUE(swatch->toolTip().startsWith(s.codeText() + QStringLiteral("  "))) << s.code;
        // A tip adds no focus stop.
        EXPECT_EQ(swatch->focusPolicy(), Qt::NoFocus) << s.code;
    }
    EXPECT_EQ(get("Picture78")->toolTip(),
              QStringLiteral("LB  30, 125, 190")); // shown as 39, 135, 196
    EXPECT_EQ(get("Picture167")->toolTip(), QStringLiteral("lb  128, 128, 255"));
    EXPECT_EQ(get("Picture7")->toolTip(),
              QStringLiteral("N  147, 147, 147")); // shown as 127, 127, 127
    EXPECT_TRUE(get("Picture136")->toolTip().isEmpty());

    // The tip shows when the pointer rests on the swatch.
    QWidget* swatch = get("Picture78");
    const QPoint middle = swatch->rect().center();
    QHelpEvent rest(QEvent::ToolTip, middle, swatch->mapToGlobal(middle));
    QApplication::sendEvent(swatch, &rest);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("LB  30, 125, 190"));
    QToolTip::hideText();
}
