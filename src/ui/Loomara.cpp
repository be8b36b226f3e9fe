#include "ui/Loomara.h"

#include "io/OpenBackground.h"
#include "io/PrintWovenPicture.h"
#include "io/SaveWovenPicture.h"
#include "model/SystemColours.h"
#include "ui/CommandButton.h"
#include "ui/ControlTable.h"
#include "ui/LoomaraIcon.h"
#include "ui/PictureBox.h"
#include "ui/QtIoPlatform.h"
#include "ui/Wiring.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>

#include <algorithm>
#include <array>

namespace loomara {

namespace {

constexpr const char* kCaption = "LOOMARAS by loomara";

// The window's default font stands in for the small "MS Sans Serif" at its usual 8.25 points.
constexpr double kWindowPoints = 8.25;

constexpr std::array kFileItems{"Clear", "Save", "Open", "Print", "Exit"};

QColor toQColor(Rgb c) {
    return QColor(c.red, c.green, c.blue);
}

QFont fontFor(const ControlDescription& row, const QFont& windowFont) {
    QFont font = windowFont;
    if (row.typeface == Typeface::Serif) {
        font = QFont(QStringLiteral("Serif"));
        font.setStyleHint(QFont::Serif);
    }
    if (row.pointSize > 0) {
        font.setPointSizeF(row.pointSize);
    }
    return font;
}

QColor designBackColour(const ControlDescription& row) {
    const QPalette palette = QApplication::palette();
    switch (row.back) {
    case BackColour::WindowColour:
        return palette.color(QPalette::Window);
    case BackColour::WindowText:
        return palette.color(QPalette::WindowText);
    case BackColour::Fixed:
        return toQColor(row.colour);
    case BackColour::Default:
        break;
    }
    return row.kind == ControlKind::PictureBox ? toQColor(buttonFaceColour())
                                               : palette.color(QPalette::Base);
}

void setBase(QLineEdit* box, const QColor& colour) {
    if (box->palette().color(QPalette::Base) != colour) {
        QPalette palette = box->palette();
        palette.setColor(QPalette::Base, colour);
        box->setPalette(palette);
    }
}

void setText(QLineEdit* box, const QString& text) {
    if (box->text() != text) {
        box->setText(text);
    }
}

QLineEdit* makeTextBox(const ControlDescription& row, QWidget* parent) {
    auto* box = new QLineEdit(row.text, parent);
    box->setAlignment((row.alignment == Alignment::Centre ? Qt::AlignHCenter : Qt::AlignLeft) |
                      Qt::AlignVCenter);
    if (row.kind == ControlKind::CaptionBox) {
        box->setReadOnly(true);
        box->setFrame(false);
        box->setFocusPolicy(Qt::NoFocus);
        box->setContextMenuPolicy(Qt::NoContextMenu);
        box->setCursor(Qt::ArrowCursor);
        // A caption wider than its box shows its beginning.
        box->setCursorPosition(0);
    }
    setBase(box, designBackColour(row));
    return box;
}

// A caption whose design text is wider than its box is set in a narrower cut of the same face,
// so that it stays whole whatever the desktop's default font; the legend under the base colours
// then also keeps each code under its swatch.
void condenseToFit(QLineEdit* box) {
    constexpr int kTextMargins = 4; // the line edit keeps two pixels free on either side
    const int room = box->width() - kTextMargins;
    QFont font = box->font();
    for (int stretch = QFont::Unstretched; stretch > QFont::UltraCondensed &&
                                           QFontMetrics(font).horizontalAdvance(box->text()) > room;
         --stretch) {
        font.setStretch(stretch - 1);
    }
    box->setFont(font);
}

// A twip rectangle whose size may be any single-precision value, rounded one coordinate at a
// time like the rest of the window.
QRect pixelRect(float left, float top, float width, float height) {
    return {twipsToPixels(left), twipsToPixels(top), std::max(0, twipsToPixels(width)),
            std::max(0, twipsToPixels(height))};
}

} // namespace

Loomara::Loomara(std::unique_ptr<MessageBoxes> messages, std::optional<IoPlatform> io,
                 QWidget* parent)
    : QMainWindow(parent),
      messages_(messages ? std::move(messages) : std::make_unique<QtMessageBoxes>()),
      qtIo_(io ? nullptr : std::make_unique<QtIoPlatform>(this)), io_(io ? *io : qtIo_->parts()) {
    setObjectName(QStringLiteral("Loomara"));
    setWindowTitle(QString::fromLatin1(kCaption));
    setWindowIcon(QIcon(QPixmap::fromImage(loomaraIcon())));
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(kWindowPoints);
    setFont(font);
    buildMenus();
    buildControls();
    wireHandlers();
    forwardEdits();
    // The client area keeps its designed size; the window cannot be resized.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    refresh();
}

Loomara::~Loomara() = default;

void Loomara::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twipsToPixels(kClientWidthTwips), twipsToPixels(kClientHeightTwips));
    client->setAutoFillBackground(true);
    setCentralWidget(client);

    for (const ControlDescription& row : mainWindowControls()) {
        QWidget* widget = nullptr;
        switch (row.kind) {
        case ControlKind::PictureBox: {
            auto* box = new PictureBox(client);
            box->setBackColour(designBackColour(row));
            box->setBordered(row.bordered);
            widget = box;
            break;
        }
        case ControlKind::TextBox:
        case ControlKind::CaptionBox:
            widget = makeTextBox(row, client);
            break;
        case ControlKind::CommandButton:
            widget = new CommandButton(row.text, client);
            break;
        }
        widget->setObjectName(row.name);
        widget->setFont(fontFor(row, font()));
        widget->setGeometry(twipsToPixels(row));
        widget->setAccessibleName(row.accessibleName);
        widget->setToolTip(row.toolTip);
        if (row.kind == ControlKind::CaptionBox) {
            condenseToFit(static_cast<QLineEdit*>(widget));
        }
        controls_.insert(row.name, widget);
        keepIfItShowsState(row, widget);
    }
}

void Loomara::keepIfItShowsState(const ControlDescription& row, QWidget* widget) {
    const auto at = static_cast<std::size_t>(row.slot - 1);
    auto* box = qobject_cast<QLineEdit*>(widget);
    auto* picture = qobject_cast<PictureBox*>(widget);
    switch (row.role) {
    case Role::None:
        break;
    case Role::CountBox:
        countBoxes_.at(at) = box;
        break;
    case Role::LockBox:
        lockBoxes_.at(at) = picture;
        break;
    case Role::ColourName:
        colourNameBox_ = box;
        break;
    case Role::Notation:
        notationBox_ = box;
        break;
    case Role::SettWidth:
        settWidthBox_ = box;
        break;
    case Role::WeavePicture:
        weavePictureBox_ = picture;
        break;
    case Role::Background:
        backgroundBox_ = picture;
        break;
    }
}

void Loomara::buildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("File"));
    controls_.insert(file->objectName(), file);
    for (const char* item : kFileItems) {
        QAction* action = file->addAction(QString::fromLatin1(item));
        action->setObjectName(action->text());
        controls_.insert(action->objectName(), action);
    }
    // Help has no items: it acts as soon as it is clicked on the menu bar.
    QAction* help = menuBar()->addAction(QStringLiteral("Help"));
    help->setObjectName(help->text());
    controls_.insert(help->objectName(), help);
}

void Loomara::wireHandlers() {
    for (const Wire& wire : wiringTable()) {
        QObject* source = control(wire.control);
        Q_ASSERT_X(source != nullptr, "wiring", qPrintable(wire.control));
        const auto run = [this, &wire] { dispatch(wire); };
        if (wire.event == Event::Change) {
            connect(qobject_cast<QLineEdit*>(source), &QLineEdit::textEdited, this, run);
        } else if (auto* picture = qobject_cast<PictureBox*>(source)) {
            connect(picture, &PictureBox::clicked, this, run);
        } else if (auto* button = qobject_cast<QAbstractButton*>(source)) {
            connect(button, &QAbstractButton::clicked, this, run);
        } else if (auto* action = qobject_cast<QAction*>(source)) {
            connect(action, &QAction::triggered, this, run);
        }
    }
}

// Typing is the one flow from the widgets into the state; these edits run no handler.
void Loomara::forwardEdits() {
    for (int k = 1; k <= DesignState::kSlotCount; ++k) {
        connect(countBoxes_[static_cast<std::size_t>(k - 1)], &QLineEdit::textEdited, this,
                [this, k](const QString& text) {
                    designer_.typeCount(k, text);
                    refresh();
                });
    }
    connect(notationBox_, &QLineEdit::textEdited, this, [this](const QString& text) {
        designer_.typeNotation(text);
        refresh();
    });
    connect(colourNameBox_, &QLineEdit::textEdited, this, [this](const QString& text) {
        designer_.typeColourName(text);
        refresh();
    });
}

void Loomara::dispatch(const Wire& wire) {
    wire.handler(*this);
    refresh();
    emit handlerRan(wire.control);
}

void Loomara::refresh() {
    const FormState& form = designer_.form;
    for (int k = 1; k <= DesignState::kSlotCount; ++k) {
        const auto at = static_cast<std::size_t>(k - 1);
        setText(countBoxes_[at], form.countBox(k).text());
        const LockBox& state = form.lockBox(k);
        PictureBox* box = lockBoxes_[at];
        box->setGeometry(pixelRect(state.left, state.top, state.width, state.height));
        box->setBackColour(toQColor(state.backColour.value_or(buttonFaceColour())));
        box->setBordered(state.bordered);
    }
    setText(colourNameBox_, form.colourName.text());
    setText(notationBox_, form.notation.text());
    setText(settWidthBox_, form.settWidth.text());
    setBase(settWidthBox_, toQColor(form.settWidth.backColour()));
    backgroundBox_->setBackColour(toQColor(form.backgroundColour));
    const WeaveCanvas& canvas = form.weavePicture;
    weavePictureBox_->resize(std::max(0, twipsToPixels(canvas.width())),
                             std::max(0, twipsToPixels(canvas.height())));
    weavePictureBox_->setImage(canvas.image());
}

void Loomara::warnIf(const QString& title, const std::optional<QString>& problem) {
    if (problem) {
        messages_->warning(this, title, *problem);
    }
}

void Loomara::selectSwatch(int pictureNumber) {
    designer_.selectSwatch(pictureNumber);
}

void Loomara::lockStripe(int slot) {
    if (const auto refusal = designer_.lockStripe(slot)) {
        messages_->warning(this, windowTitle(), *refusal);
        countBoxes_[static_cast<std::size_t>(slot - 1)]->setFocus();
    }
}

void Loomara::takeBackgroundColour() {
    designer_.takeBackgroundColour();
}

void Loomara::settWidthEdited() {
    designer_.typeSettWidth(settWidthBox_->text());
}

void Loomara::weave() {
    designer_.weave();
}

void Loomara::brighten() {
    designer_.brighten();
}

void Loomara::darken() {
    designer_.darken();
}

void Loomara::showReferencePage(int page) {
    secondary_.showReferencePage(page);
}

void Loomara::clear() {
    designer_.clear();
}

void Loomara::openBackground() {
    warnIf(QStringLiteral("Open"),
           loomara::openBackground(io_.cd1, io_.loader, designer_.form.weavePicture));
}

void Loomara::savePicture() {
    warnIf(QStringLiteral("Save"), saveWovenPicture(io_.cd1, designer_.form.weavePicture));
}

void Loomara::printPicture() {
    warnIf(QStringLiteral("Print"),
           printWovenPicture(io_.cd1, io_.printer, designer_.form.weavePicture));
}

void Loomara::exit() {
    close();
}

void Loomara::showHelp() {
    secondary_.showHelp();
}

// Closing the main window ends the program and takes the reference and help pages with it.
void Loomara::closeEvent(QCloseEvent* event) {
    secondary_.closeAll();
    event->accept();
    QCoreApplication::quit();
}

} // namespace loomara
