#pragma once

#include "io/CommonDialog.h"
#include "io/Printer.h"
#include "studio/NearestSearcher.h"
#include "studio/SettShelf.h"
#include "studio/Studio.h"
#include "studio/StudioPrompts.h"

#include <QHash>
#include <QMainWindow>
#include <QPrinter>

#include <array>
#include <memory>
#include <optional>

class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;
class QSplitter;
class QTabWidget;
class QTableWidget;
class QTreeView;
class QTreeWidget;

namespace loomara {

class ClothView;
class NamedModel;
class QtCommonDialog;
class QtPrinter;

// The platform pieces the studio's commands work through; tests give their own.
struct StudioPlatform {
    StudioPrompts& prompts;
    CommonDialog& dialog;
    Printer& printer;
};

// Loomara Studio's main window. It holds no rule: each event goes to one handler, which calls one
// rule of the Studio and then shows the state again.
class StudioWindow final : public QMainWindow {
    Q_OBJECT
public:
    // Without platform pieces of the caller's, the window uses the toolkit's dialogs and printer.
    explicit StudioWindow(SettShelf& shelf, std::optional<StudioPlatform> platform = std::nullopt,
                          QWidget* parent = nullptr);
    ~StudioWindow() override;

    const Studio& studio() const { return studio_; }

    // The widgets and actions by name ("sett", "weft", "cloth", "namedSearch", "named", "nearest",
    // "savedSearch", "saved", "yarnTable", "problem", "exportCloth", ...), for tests and tools.
    QObject* part(const QString& name) const { return parts_.value(name); }

    // Reads the lists for the Named panel on a worker; the panel fills when they are read.
    void readNamedEntries();
    // After the window first shows: the store's message, once, when it cannot keep setts.
    void tellStoreProblem();
    bool nearestBusy() const { return searcher_.busy(); }

    // The handlers.
    void settEdited(const QString& text);
    void loadName(const QString& name);
    void weftEdited(const QString& text);
    void yarnEdited(YarnField field, const QString& text);
    void namedFilterEdited(const QString& text);
    void loadFirstNamed();
    void loadNamedRow(int row);
    void loadNearestRow(int row);
    void savedFilterEdited(const QString& text);
    void loadSavedRow(int row);
    void deleteSaved();
    void readPhoto();
    void saveSett();
    void zoomIn();
    void zoomOut();
    void zoomToDefault();
    void trueSizeToggled(bool on);
    void chooseWeave(const Weave& weave);
    void exportRepeatsChanged(int repeats);
    void exportScaleChanged(int scale);
    void exportCloth();
    void exportDraft();
    void exportYarn();
    void printCloth();
    void focusSett();
    void focusWeft();
    void focusNearest();
    void focusLegend();
    // The legend's colour at `row`, or the one chosen in it, in a colour the user picks.
    void recolourRow(int row);
    void recolourChosen();
    void schemeChosen(Scheme scheme);
    void findName();
    void findSaved();
    void showPanel(int panel);
    void rereadSaved();

    // Every widget shown again from the state.
    void refresh();

signals:
    void nearestShown();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildWidgets();
    QGridLayout* buildFields(QWidget* central);
    QWidget* buildClothSide(QWidget* split);
    QWidget* buildNamedPage();
    QWidget* buildSavedPage();
    QWidget* buildYarnPage();
    QWidget* buildNearestPage(QWidget* right);
    void orderTabs();
    void nameParts();
    void connectWidgets();
    void buildMenus();
    void refreshCloth();
    void refreshLegend();
    void refreshYarn();
    void refreshNearest();
    void refreshSaved();
    void askNearest();
    void nearestAnswered(quint64 edit, const QList<NearRow>& rows);
    void tellOutcome(const Outcome& outcome);
    double screenDotsPerInch() const;

    Studio studio_;
    std::unique_ptr<StudioPrompts> ownPrompts_;
    std::unique_ptr<QPrinter> device_;
    std::unique_ptr<CommonDialog> ownDialog_;
    std::unique_ptr<Printer> ownPrinter_;
    StudioPrompts* prompts_ = nullptr;
    CommonDialog* dialog_ = nullptr;
    Printer* printer_ = nullptr;

    NearestSearcher searcher_;
    quint64 askedEdit_ = 0;
    QHash<QString, QObject*> parts_;
    QLineEdit* sett_ = nullptr;
    QLineEdit* weft_ = nullptr;
    QLabel* problem_ = nullptr;
    ClothView* cloth_ = nullptr;
    QSpinBox* repeats_ = nullptr;
    QSpinBox* scale_ = nullptr;
    QTabWidget* panels_ = nullptr;
    QLineEdit* namedSearch_ = nullptr;
    QTreeView* named_ = nullptr;
    NamedModel* namedModel_ = nullptr;
    QTreeWidget* nearest_ = nullptr;
    QLineEdit* savedSearch_ = nullptr;
    QTreeWidget* saved_ = nullptr;
    std::array<QLineEdit*, kYarnFields> yarn_{};
    QLabel* yarnHeading_ = nullptr;
    QTableWidget* yarnTable_ = nullptr;
    QLabel* zoomLabel_ = nullptr;
    QAction* trueSize_ = nullptr;
    QAction* asWoven_ = nullptr;
    QListWidget* legend_ = nullptr;
    QList<LegendColour> shownLegend_;
};

} // namespace loomara
