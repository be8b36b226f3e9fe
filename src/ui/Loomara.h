#pragma once

#include "entry/Designer.h"
#include "io/IoPlatform.h"
#include "ui/MessageBoxes.h"
#include "ui/SecondaryWindows.h"

#include <QHash>
#include <QMainWindow>

#include <array>
#include <memory>
#include <optional>

class QLineEdit;

namespace loomara {

class PictureBox;
struct ControlDescription;
struct QtIoPlatform;
struct Wire;

// The main window. It is built from the control table, forwards every event to the handler of
// the wiring table that is named after its control and event, and after each handler shows the
// state again. It holds no rule of its own: each handler calls one rule, of the designer or, for
// the file commands, of io on the weave picture.
class Loomara : public QMainWindow {
    Q_OBJECT
public:
    // Without messages or io pieces of the caller's, the window uses the toolkit's own: message
    // boxes, and Cd1 with the picture loader and the printer on one QPrinter of its own.
    explicit Loomara(std::unique_ptr<MessageBoxes> messages = nullptr,
                     std::optional<IoPlatform> io = std::nullopt, QWidget* parent = nullptr);
    ~Loomara() override;

    Designer& designer() { return designer_; }
    const Designer& designer() const { return designer_; }
    const SecondaryWindows& secondaryWindows() const { return secondary_; }

    // The widget or menu item of a design name ("Text230", "Picture135", "Clear", "File").
    QObject* control(const QString& name) const { return controls_.value(name); }

    // Every state-carrying widget shown again from the form state. Writing a widget from state
    // never feeds back into state: edits are taken only from the user's own typing.
    void refresh();

    // The handlers. The wiring table runs one of them for each event it routes.
    void selectSwatch(int pictureNumber); // any of the 163 palette swatches
    void lockStripe(int slot);            // the lock box of slot 1..21
    void takeBackgroundColour();
    void settWidthEdited();
    void weave();
    void brighten();
    void darken();
    void showReferencePage(int page); // 1..6, in the order of the six buttons
    void clear();
    void openBackground();
    void savePicture();
    void printPicture();
    void exit();
    void showHelp();

signals:
    // After a handler of the wiring table has run and the widgets were refreshed.
    void handlerRan(const QString& control);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void keepIfItShowsState(const ControlDescription& row, QWidget* widget);
    void buildMenus();
    void wireHandlers();
    void forwardEdits();
    void dispatch(const Wire& wire);
    void warnIf(const QString& title, const std::optional<QString>& problem);

    Designer designer_;
    SecondaryWindows secondary_;
    std::unique_ptr<MessageBoxes> messages_;
    std::unique_ptr<QtIoPlatform> qtIo_; // only when the caller gave no io pieces
    IoPlatform io_;
    QHash<QString, QObject*> controls_;
    std::array<QLineEdit*, DesignState::kSlotCount> countBoxes_{};
    std::array<PictureBox*, DesignState::kSlotCount> lockBoxes_{};
    QLineEdit* colourNameBox_ = nullptr;
    QLineEdit* notationBox_ = nullptr;
    QLineEdit* settWidthBox_ = nullptr;
    PictureBox* weavePictureBox_ = nullptr;
    PictureBox* backgroundBox_ = nullptr;
};

} // namespace loomara
