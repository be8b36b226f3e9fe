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

    // The handlers, one per control and event.
    void Swatch_Click(int pictureNumber); // the 163 palette swatches, Picture1 .. Picture185
    void Picture136_Click();
    void Picture137_Click();
    void Picture138_Click();
    void Picture139_Click();
    void Picture140_Click();
    void Picture141_Click();
    void Picture142_Click();
    void Picture143_Click();
    void Picture144_Click();
    void Picture145_Click();
    void Picture146_Click();
    void Picture147_Click();
    void Picture148_Click();
    void Picture149_Click();
    void Picture150_Click();
    void Picture151_Click();
    void Picture152_Click();
    void Picture153_Click();
    void Picture154_Click();
    void Picture155_Click();
    void Picture156_Click();
    void Picture246_Click();
    void Text230_Change();
    void WEAVE_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();
    void Command8_Click();
    void Clear_Click();
    void Open_Click();
    void Save_Click();
    void Print_Click();
    void Exit_Click();
    void Help_Click();

signals:
    // After a handler of the wiring table has run and the widgets were refreshed.
    void handlerRan(const QString& control);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void wireHandlers();
    void forwardEdits();
    void dispatch(const Wire& wire);
    void lock(int slot);
    void warnIf(const QString& title, const std::optional<QString>& problem);

    Designer designer_;
    SecondaryWindows secondary_;
    std::unique_ptr<MessageBoxes> messages_;
    std::unique_ptr<QtIoPlatform> qtIo_; // only when the caller gave no io pieces
    IoPlatform io_;
    QHash<QString, QObject*> controls_;
    std::array<QLineEdit*, DesignState::kSlotCount> countBoxes_{};
    std::array<PictureBox*, DesignState::kSlotCount> lockBoxes_{};
    QLineEdit* text110_ = nullptr;
    QLineEdit* text150_ = nullptr;
    QLineEdit* text230_ = nullptr;
    PictureBox* picture135_ = nullptr;
    PictureBox* picture246_ = nullptr;
};

} // namespace loomara
