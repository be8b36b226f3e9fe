#include "studio/window/StudioWindow.h"

#include "io/QtPrinter.h"
#include "studio/ClothZoom.h"
#include "studio/NamedEntries.h"
#include "studio/window/ClothView.h"
#include "studio/window/NamedModel.h"
#include "studio/window/QtStudioPrompts.h"
#include "ui/LoomaraIcon.h"
#include "ui/QtCommonDialog.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFormLayout>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <vector>

namespace loomara {

namespace {

// How often the My setts panel asks the store whether another studio changed it.
constexpr int kSavedPollMs = 2000;
// Characters of the field shown on each side of a refused place.
constexpr int kAroundPlace = 24;
// The side of a colour's swatch in the legend.
constexpr int kLegendSwatch = 20;

enum Panel { NamedPanel, SavedPanel, YarnPanel };

struct MenuItem {
    const char* menu;
    const char* name;
    const char* text;
    QKeySequence shortcut;
    void (StudioWindow::*handler)();
};

// Every command, its menu and its key. The View menu has room for a weave chooser and the cloth as
// woven. Made when the menus are built: a standard key is known only once the application runs.
std::vector<MenuItem> menuItems() {
    return {
        {"&File", "readPhoto", "&Read a photo...", QKeySequence::Open, &StudioWindow::readPhoto},
        {"&File", "saveSett", "&Save sett...", QKeySequence::Save, &StudioWindow::saveSett},
        {"&File", "exportCloth", "&Export cloth...", QKeySequence(Qt::CTRL | Qt::Key_E),
         &StudioWindow::exportCloth},
        {"&File", "exportDraft", "Export &draft...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E),
         &StudioWindow::exportDraft},
        {"&File", "exportYarn", "Export &yarn table...", QKeySequence(Qt::CTRL | Qt::Key_Y),
         &StudioWindow::exportYarn},
        {"&File", "print", "&Print cloth...", QKeySequence::Print, &StudioWindow::printCloth},
        {"&File", "quit", "&Quit", QKeySequence(Qt::CTRL | Qt::Key_Q), nullptr},
        {"&Edit", "focusSett", "&Sett field", QKeySequence(Qt::CTRL | Qt::Key_L),
         &StudioWindow::focusSett},
        {"&Edit", "focusWeft", "&Weft field", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L),
         &StudioWindow::focusWeft},
        {"&Edit", "findName", "&Find a name", QKeySequence::Find, &StudioWindow::findName},
        {"&Edit", "findSaved", "Find in &my setts", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F),
         &StudioWindow::findSaved},
        {"&Edit", "deleteSaved", "&Delete saved sett", QKeySequence::Delete,
         &StudioWindow::deleteSaved},
        {"&Edit", "focusLegend", "&Colours of the sett", QKeySequence(Qt::CTRL | Qt::Key_K),
         &StudioWindow::focusLegend},
        {"&Edit", "recolour", "&Recolour...", QKeySequence(Qt::CTRL | Qt::Key_R),
         &StudioWindow::recolourChosen},
        {"&View", "zoomIn", "Zoom &in", QKeySequence::ZoomIn, &StudioWindow::zoomIn},
        {"&View", "zoomOut", "Zoom &out", QKeySequence::ZoomOut, &StudioWindow::zoomOut},
        {"&View", "zoomDefault", "&Default zoom", QKeySequence(Qt::CTRL | Qt::Key_0),
         &StudioWindow::zoomToDefault},
        {"&View", "trueSize", "&True size", QKeySequence(Qt::CTRL | Qt::Key_T), nullptr},
        {"&View", "asWoven", "&As woven", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A), nullptr},
        {"&View", "showNamed", "&Named setts", QKeySequence(Qt::CTRL | Qt::Key_1), nullptr},
        {"&View", "showSaved", "&My setts", QKeySequence(Qt::CTRL | Qt::Key_2), nullptr},
        {"&View", "showYarn", "&Yarn", QKeySequence(Qt::CTRL | Qt::Key_3), nullptr},
        {"&View", "focusNearest", "N&earest setts", QKeySequence(Qt::CTRL | Qt::Key_4),
         &StudioWindow::focusNearest},
        {"S&cheme", "schemeModern", "&Modern", QKeySequence(), nullptr},
        {"S&cheme", "schemeLighter", "&Lighter", QKeySequence(), nullptr},
        {"S&cheme", "schemeMuted", "M&uted", QKeySequence(), nullptr},
        {"S&cheme", "schemeFaded", "&Faded", QKeySequence(), nullptr},
    };
}

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

// The refusal in the reader's words, and the field's text around the place it names with that
// character marked.
QString problemHtml(const QString& text, const FieldProblem& problem) {
    QString html = QStringLiteral("<span style=\"color:#a00000\">%1%2</span>")
                       .arg(problem.field == SettField::Weft ? QStringLiteral("Weft: ") : QString(),
                            escaped(problem.message));
    const int at = problem.character - 1;
    if (at < 0 || at > text.size()) {
        return html;
    }
    const int from = std::max(0, at - kAroundPlace);
    const QString before = text.mid(from, at - from);
    const QString marked = at < text.size() ? text.mid(at, 1) : QStringLiteral(" ");
    const QString after = text.mid(at + 1, kAroundPlace);
    return html + QStringLiteral("&nbsp;&nbsp;<tt>%1%2<u style=\"background:#ffd0d0\">%3</u>%4%5"
                                 "</tt>")
                      .arg(from > 0 ? QStringLiteral("...") : QString(), escaped(before),
                           escaped(marked), escaped(after),
                           at + 1 + kAroundPlace < text.size() ? QStringLiteral("...") : QString());
}

// The Scheme menu's action for a scheme, as parts_ names it: "schemeModern".
QString schemeKey(Scheme scheme) {
    QString key = schemeName(scheme);
    key[0] = key[0].toUpper();
    return QStringLiteral("scheme") + key;
}

void name(QWidget* widget, const QString& accessible) {
    widget->setAccessibleName(accessible);
}

} // namespace

StudioWindow::StudioWindow(SettShelf& shelf, std::optional<StudioPlatform> platform,
                           QWidget* parent)
    : QMainWindow(parent), studio_(shelf) {
    if (platform) {
        prompts_ = &platform->prompts;
        dialog_ = &platform->dialog;
        printer_ = &platform->printer;
    } else {
        ownPrompts_ = std::make_unique<QtStudioPrompts>(this);
        device_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        ownDialog_ = std::make_unique<QtCommonDialog>(this, *device_);
        ownPrinter_ = std::make_unique<QtPrinter>(*device_);
        prompts_ = ownPrompts_.get();
        dialog_ = ownDialog_.get();
        printer_ = ownPrinter_.get();
    }
    setWindowIcon(QPixmap::fromImage(studioIcon()));
    buildWidgets();
    buildMenus();
    connect(&searcher_, &NearestSearcher::answered, this, &StudioWindow::nearestAnswered);
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, &StudioWindow::rereadSaved);
    poll->start(kSavedPollMs);
    refresh();
    sett_->setFocus();
}

StudioWindow::~StudioWindow() = default;

void StudioWindow::buildWidgets() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->addLayout(buildFields(central));
    auto* split = new QSplitter(Qt::Horizontal, central);
    QWidget* left = buildClothSide(split);
    auto* right = new QSplitter(Qt::Vertical, split);
    panels_ = new QTabWidget(right);
    name(panels_, QStringLiteral("Panels"));
    panels_->addTab(buildNamedPage(), QStringLiteral("&Named"));
    panels_->addTab(buildSavedPage(), QStringLiteral("&My setts"));
    panels_->addTab(buildYarnPage(), QStringLiteral("&Yarn"));
    QWidget* nearestPage = buildNearestPage(right);
    right->addWidget(panels_);
    right->addWidget(nearestPage);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    split->setSizes({660, 540});
    right->setSizes({440, 300});
    layout->addWidget(split, 1);
    setCentralWidget(central);

    zoomLabel_ = new QLabel(this);
    name(zoomLabel_, QStringLiteral("Zoom"));
    statusBar()->addPermanentWidget(zoomLabel_);

    orderTabs();
    nameParts();
    connectWidgets();
}

QGridLayout* StudioWindow::buildFields(QWidget* central) {
    auto* fields = new QGridLayout;
    sett_ = new QLineEdit(central);
    sett_->setPlaceholderText(QStringLiteral("A sett, e.g. B/24 W4 B24 R2 K24 G24 W/2"));
    name(sett_, QStringLiteral("Sett"));
    weft_ = new QLineEdit(central);
    weft_->setPlaceholderText(QStringLiteral("as the warp"));
    name(weft_, QStringLiteral("Weft sett"));
    auto* settLabel = new QLabel(QStringLiteral("&Sett:"), central);
    settLabel->setBuddy(sett_);
    auto* weftLabel = new QLabel(QStringLiteral("&Weft:"), central);
    weftLabel->setBuddy(weft_);
    fields->addWidget(settLabel, 0, 0);
    fields->addWidget(sett_, 0, 1);
    fields->addWidget(weftLabel, 0, 2);
    fields->addWidget(weft_, 0, 3);
    fields->setColumnStretch(1, 3);
    fields->setColumnStretch(3, 1);
    problem_ = new QLabel(central);
    problem_->setTextFormat(Qt::RichText);
    name(problem_, QStringLiteral("Why the sett does not read"));
    fields->addWidget(problem_, 1, 1, 1, 3);
    legend_ = new QListWidget(central);
    legend_->setFlow(QListView::LeftToRight);
    legend_->setWrapping(false);
    legend_->setIconSize(QSize(kLegendSwatch, kLegendSwatch));
    legend_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    legend_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A row of swatches on the window's own ground, not a white box.
    legend_->setFrameShape(QFrame::NoFrame);
    legend_->viewport()->setAutoFillBackground(false);
    legend_->setFixedHeight(kLegendSwatch + 2 * legend_->frameWidth() +
                            legend_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8);
    legend_->setToolTip(QStringLiteral("Click a colour, or choose it and press Enter, to weave "
                                       "every thread of it in another"));
    name(legend_, QStringLiteral("Colours of the sett"));
    auto* legendLabel = new QLabel(QStringLiteral("C&olours:"), central);
    legendLabel->setBuddy(legend_);
    fields->addWidget(legendLabel, 2, 0);
    fields->addWidget(legend_, 2, 1, 1, 3);
    return fields;
}

QWidget* StudioWindow::buildClothSide(QWidget* split) {
    auto* left = new QWidget(split);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    cloth_ = new ClothView(left);
    name(cloth_, QStringLiteral("Cloth"));
    leftLayout->addWidget(cloth_, 1);
    auto* output = new QHBoxLayout;
    repeats_ = new QSpinBox(left);
    repeats_->setRange(1, 100);
    name(repeats_, QStringLiteral("Repeats to export and print"));
    scale_ = new QSpinBox(left);
    scale_->setRange(kLeastZoom, 8);
    name(scale_, QStringLiteral("Pixels a thread in exported pictures"));
    auto* repeatsLabel = new QLabel(QStringLiteral("Export and print &repeats:"), left);
    repeatsLabel->setBuddy(repeats_);
    auto* scaleLabel = new QLabel(QStringLiteral("pi&xels a thread:"), left);
    scaleLabel->setBuddy(scale_);
    output->addWidget(repeatsLabel);
    output->addWidget(repeats_);
    output->addWidget(scaleLabel);
    output->addWidget(scale_);
    output->addStretch();
    leftLayout->addLayout(output);
    return left;
}

QWidget* StudioWindow::buildNamedPage() {
    auto* namedPage = new QWidget(panels_);
    auto* namedLayout = new QVBoxLayout(namedPage);
    namedSearch_ = new QLineEdit(namedPage);
    namedSearch_->setPlaceholderText(QStringLiteral("Find a name (Ctrl+F), Enter loads the first"));
    namedSearch_->setClearButtonEnabled(true);
    name(namedSearch_, QStringLiteral("Find a named sett"));
    named_ = new QTreeView(namedPage);
    namedModel_ = new NamedModel(named_);
    named_->setModel(namedModel_);
    named_->setRootIsDecorated(false);
    named_->setUniformRowHeights(true);
    named_->setIconSize(QSize(NamedModel::kThumbnailSide, NamedModel::kThumbnailSide));
    named_->header()->resizeSection(0, 240);
    name(named_, QStringLiteral("Named setts"));
    namedLayout->addWidget(namedSearch_);
    namedLayout->addWidget(named_);
    return namedPage;
}

QWidget* StudioWindow::buildSavedPage() {
    auto* savedPage = new QWidget(panels_);
    auto* savedLayout = new QVBoxLayout(savedPage);
    savedSearch_ = new QLineEdit(savedPage);
    savedSearch_->setPlaceholderText(QStringLiteral("Find in my setts, Enter loads the first"));
    savedSearch_->setClearButtonEnabled(true);
    name(savedSearch_, QStringLiteral("Find in my setts"));
    saved_ = new QTreeWidget(savedPage);
    saved_->setColumnCount(3);
    saved_->setHeaderLabels(
        {QStringLiteral("Name"), QStringLiteral("Sett"), QStringLiteral("Saved")});
    saved_->setRootIsDecorated(false);
    saved_->header()->resizeSection(0, 160);
    name(saved_, QStringLiteral("My setts"));
    savedLayout->addWidget(savedSearch_);
    savedLayout->addWidget(saved_);
    return savedPage;
}

QWidget* StudioWindow::buildYarnPage() {
    auto* yarnPage = new QWidget(panels_);
    auto* yarnLayout = new QVBoxLayout(yarnPage);
    auto* yarnForm = new QFormLayout;
    const std::array<std::pair<const char*, const char*>, kYarnFields> yarnBoxes{{
        {"Width", "28in"},
        {"Length", "8yd"},
        {"Density", "56/in (also the cloth's, for true size)"},
        {"Weft density", "as the density"},
        {"Loom waste", "0.75m per end"},
        {"Take-up", "10%"},
    }};
    for (int i = 0; i < kYarnFields; ++i) {
        auto* box = new QLineEdit(yarnPage);
        const QString label = QString::fromLatin1(yarnBoxes[static_cast<std::size_t>(i)].first);
        box->setPlaceholderText(QString::fromLatin1(yarnBoxes[static_cast<std::size_t>(i)].second));
        name(box, label);
        yarnForm->addRow(label + u':', box);
        yarn_[static_cast<std::size_t>(i)] = box;
        connect(box, &QLineEdit::textEdited, this,
                [this, i](const QString& text) { yarnEdited(static_cast<YarnField>(i), text); });
    }
    yarnLayout->addLayout(yarnForm);
    yarnHeading_ = new QLabel(yarnPage);
    yarnHeading_->setWordWrap(true);
    name(yarnHeading_, QStringLiteral("Yarn heading"));
    yarnLayout->addWidget(yarnHeading_);
    yarnTable_ = new QTableWidget(yarnPage);
    yarnTable_->setColumnCount(7);
    yarnTable_->setHorizontalHeaderLabels({QStringLiteral("Code"), QStringLiteral("Colour"),
                                           QStringLiteral("Ends"), QStringLiteral("Picks"),
                                           QStringLiteral("Warp m"), QStringLiteral("Weft m"),
                                           QStringLiteral("Total m")});
    yarnTable_->verticalHeader()->hide();
    yarnTable_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    name(yarnTable_, QStringLiteral("Yarn per colour"));
    yarnLayout->addWidget(yarnTable_, 1);
    return yarnPage;
}

QWidget* StudioWindow::buildNearestPage(QWidget* right) {
    auto* nearestPage = new QWidget(right);
    auto* nearestLayout = new QVBoxLayout(nearestPage);
    nearestLayout->setContentsMargins(0, 0, 0, 0);
    nearestLayout->addWidget(new QLabel(QStringLiteral("Nearest setts"), nearestPage));
    nearest_ = new QTreeWidget(nearestPage);
    nearest_->setColumnCount(3);
    nearest_->setHeaderLabels(
        {QStringLiteral("Score"), QStringLiteral("Name"), QStringLiteral("Sett")});
    nearest_->setRootIsDecorated(false);
    nearest_->header()->resizeSection(0, 50);
    nearest_->header()->resizeSection(1, 200);
    name(nearest_, QStringLiteral("Nearest setts"));
    nearestLayout->addWidget(nearest_);
    return nearestPage;
}

void StudioWindow::orderTabs() {
    // Reading order: the fields, the cloth and its export numbers, the panels, the nearest.
    setTabOrder(sett_, weft_);
    setTabOrder(weft_, legend_);
    setTabOrder(legend_, cloth_);
    setTabOrder(cloth_, repeats_);
    setTabOrder(repeats_, scale_);
    // The tab widget passes its focus to its bar of tabs, which is what the chain must hold.
    setTabOrder(scale_, panels_->tabBar());
    setTabOrder(panels_->tabBar(), namedSearch_);
    setTabOrder(namedSearch_, named_);
    setTabOrder(named_, savedSearch_);
    setTabOrder(savedSearch_, saved_);
    setTabOrder(saved_, yarn_.front());
    for (std::size_t i = 1; i < yarn_.size(); ++i) {
        setTabOrder(yarn_[i - 1], yarn_[i]);
    }
    setTabOrder(yarn_.back(), yarnTable_);
    setTabOrder(yarnTable_, nearest_);
}

void StudioWindow::nameParts() {
    parts_ = {
        {QStringLiteral("sett"), sett_},           {QStringLiteral("weft"), weft_},
        {QStringLiteral("problem"), problem_},     {QStringLiteral("cloth"), cloth_},
        {QStringLiteral("repeats"), repeats_},     {QStringLiteral("scale"), scale_},
        {QStringLiteral("panels"), panels_},       {QStringLiteral("namedSearch"), namedSearch_},
        {QStringLiteral("named"), named_},         {QStringLiteral("savedSearch"), savedSearch_},
        {QStringLiteral("saved"), saved_},         {QStringLiteral("yarnHeading"), yarnHeading_},
        {QStringLiteral("yarnTable"), yarnTable_}, {QStringLiteral("nearest"), nearest_},
        {QStringLiteral("legend"), legend_}};
    for (int i = 0; i < kYarnFields; ++i) {
        parts_.insert(QStringLiteral("yarn%1").arg(i), yarn_[static_cast<std::size_t>(i)]);
    }
}

void StudioWindow::connectWidgets() {
    connect(sett_, &QLineEdit::textEdited, this, &StudioWindow::settEdited);
    connect(weft_, &QLineEdit::textEdited, this, &StudioWindow::weftEdited);
    connect(namedSearch_, &QLineEdit::textEdited, this, &StudioWindow::namedFilterEdited);
    connect(namedSearch_, &QLineEdit::returnPressed, this, &StudioWindow::loadFirstNamed);
    connect(named_, &QTreeView::activated, this,
            [this](const QModelIndex& index) { loadNamedRow(index.row()); });
    connect(nearest_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { loadNearestRow(nearest_->indexOfTopLevelItem(item)); });
    connect(nearest_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { loadNearestRow(nearest_->indexOfTopLevelItem(item)); });
    connect(savedSearch_, &QLineEdit::textEdited, this, &StudioWindow::savedFilterEdited);
    connect(savedSearch_, &QLineEdit::returnPressed, this, [this] { loadSavedRow(0); });
    connect(saved_, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { loadSavedRow(saved_->indexOfTopLevelItem(item)); });
    // A click picks a colour; so does Enter, which is the view's activation from the keyboard.
    connect(legend_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { recolourRow(legend_->row(item)); });
    legend_->installEventFilter(this);
    connect(repeats_, &QSpinBox::valueChanged, this, &StudioWindow::exportRepeatsChanged);
    connect(scale_, &QSpinBox::valueChanged, this, &StudioWindow::exportScaleChanged);
}

void StudioWindow::buildMenus() {
    QHash<QString, QMenu*> menus;
    for (const MenuItem& item : menuItems()) {
        const QString title = QString::fromLatin1(item.menu);
        if (!menus.contains(title)) {
            menus.insert(title, menuBar()->addMenu(title));
        }
        QAction* action = menus[title]->addAction(QString::fromLatin1(item.text));
        action->setShortcut(item.shortcut);
        const QString key = QString::fromLatin1(item.name);
        parts_.insert(key, action);
        if (item.handler != nullptr) {
            connect(action, &QAction::triggered, this, item.handler);
        }
    }
    // Delete belongs to the list of saved setts: in a text box it deletes a character.
    auto* remove = qobject_cast<QAction*>(parts_.value(QStringLiteral("deleteSaved")));
    remove->setShortcutContext(Qt::WidgetShortcut);
    saved_->addAction(remove);
    // Ctrl+= as well as Ctrl++, which on most keyboards needs Shift.
    auto* in = qobject_cast<QAction*>(parts_.value(QStringLiteral("zoomIn")));
    in->setShortcuts({QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)});
    connect(qobject_cast<QAction*>(parts_.value(QStringLiteral("quit"))), &QAction::triggered, this,
            &QWidget::close);
    trueSize_ = qobject_cast<QAction*>(parts_.value(QStringLiteral("trueSize")));
    trueSize_->setCheckable(true);
    connect(trueSize_, &QAction::toggled, this, &StudioWindow::trueSizeToggled);
    asWoven_ = qobject_cast<QAction*>(parts_.value(QStringLiteral("asWoven")));
    asWoven_->setCheckable(true);
    connect(asWoven_, &QAction::toggled, this, [this](bool on) {
        studio_.setAsWoven(on);
        refresh();
    });
    // A text box on X11 takes Ctrl+E (end of line) and the like for itself before the menus see
    // them; the window's own keys must work from every box.
    for (QLineEdit* box : findChildren<QLineEdit*>()) {
        box->installEventFilter(this);
    }
    auto* schemes = new QActionGroup(this);
    for (const Scheme scheme : kSchemes) {
        auto* action = qobject_cast<QAction*>(parts_.value(schemeKey(scheme)));
        action->setCheckable(true);
        action->setActionGroup(schemes);
        connect(action, &QAction::triggered, this, [this, scheme] { schemeChosen(scheme); });
    }
    const std::array<std::pair<const char*, int>, 3> shows{
        {{"showNamed", NamedPanel}, {"showSaved", SavedPanel}, {"showYarn", YarnPanel}}};
    for (const auto& [key, panel] : shows) {
        connect(qobject_cast<QAction*>(parts_.value(QString::fromLatin1(key))), &QAction::triggered,
                this, [this, panel = panel] { showPanel(panel); });
    }
    // View > Weave: one weave checked at a time, as the cloth is woven in one.
    menus[QStringLiteral("&View")]->addSeparator();
    QMenu* weaveMenu = menus[QStringLiteral("&View")]->addMenu(QStringLiteral("&Weave"));
    auto* oneWeave = new QActionGroup(this);
    for (const Weave& weave : weaves()) {
        QString title = weave.title;
        title[0] = title[0].toUpper();
        QAction* action = weaveMenu->addAction(title);
        action->setCheckable(true);
        oneWeave->addAction(action);
        parts_.insert(QStringLiteral("weave:") + weave.name, action);
        connect(action, &QAction::triggered, this, [this, weave] { chooseWeave(weave); });
    }
}

void StudioWindow::readNamedEntries() {
    auto* watcher = new QFutureWatcher<QList<const ListedEntry*>>(this);
    connect(watcher, &QFutureWatcher<QList<const ListedEntry*>>::finished, this, [this, watcher] {
        namedModel_->setEntries(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run(readableEntries));
}

void StudioWindow::tellStoreProblem() {
    studio_.tellStoreProblem(*prompts_);
}

void StudioWindow::settEdited(const QString& text) {
    studio_.editSett(text);
    refresh();
}

void StudioWindow::loadName(const QString& name) {
    studio_.loadName(name);
    refresh();
}

void StudioWindow::weftEdited(const QString& text) {
    studio_.editWeft(text);
    refresh();
}

void StudioWindow::yarnEdited(YarnField field, const QString& text) {
    studio_.editYarn(field, text);
    refresh();
}

void StudioWindow::namedFilterEdited(const QString& text) {
    namedModel_->setFilter(text);
}

void StudioWindow::loadFirstNamed() {
    loadNamedRow(0);
}

void StudioWindow::loadNamedRow(int row) {
    if (const ListedEntry* entry = namedModel_->entryAt(row)) {
        studio_.loadEntry(*entry);
        refresh();
    }
}

void StudioWindow::loadNearestRow(int row) {
    const QList<NearRow>& rows = studio_.state().nearest;
    if (row < 0 || row >= rows.size()) {
        return;
    }
    const NearRow chosen = rows[row];
    if (chosen.mine) {
        studio_.loadSaved(*chosen.mine);
    } else {
        studio_.loadEntry(*chosen.entry);
    }
    refresh();
}

void StudioWindow::savedFilterEdited(const QString& text) {
    studio_.filterSaved(text);
    refreshSaved();
}

void StudioWindow::loadSavedRow(int row) {
    const QList<SavedSett> shown = studio_.shownSaved();
    if (row >= 0 && row < shown.size()) {
        studio_.loadSaved(shown[row]);
        refresh();
    }
}

void StudioWindow::deleteSaved() {
    const QList<SavedSett> shown = studio_.shownSaved();
    const int row = saved_->indexOfTopLevelItem(saved_->currentItem());
    if (row >= 0 && row < shown.size()) {
        studio_.removeSaved(shown[row].name, *prompts_);
        refresh();
    }
}

void StudioWindow::saveSett() {
    studio_.saveSett(*prompts_);
    refresh();
}

void StudioWindow::zoomIn() {
    studio_.zoomIn(cloth_->size() * cloth_->devicePixelRatioF());
    refresh();
}

void StudioWindow::zoomOut() {
    studio_.zoomOut(cloth_->size() * cloth_->devicePixelRatioF());
    refresh();
}

void StudioWindow::zoomToDefault() {
    studio_.zoomToDefault();
    refresh();
}

void StudioWindow::trueSizeToggled(bool on) {
    if (!studio_.setTrueSize(on)) {
        statusBar()->showMessage(QStringLiteral("True size needs the cloth's density: give it in "
                                                "the Yarn panel, e.g. 56/in."));
    }
    refresh();
}

void StudioWindow::exportRepeatsChanged(int repeats) {
    studio_.setExportRepeats(repeats);
}

void StudioWindow::chooseWeave(const Weave& weave) {
    studio_.chooseWeave(weave);
    refresh();
}

void StudioWindow::exportScaleChanged(int scale) {
    studio_.setExportScale(scale);
}

void StudioWindow::tellOutcome(const Outcome& outcome) {
    if (outcome.result == Outcome::Result::Failed) {
        prompts_->tell(outcome.message);
    } else if (outcome.result == Outcome::Result::Done) {
        statusBar()->showMessage(outcome.message);
    }
}

void StudioWindow::readPhoto() {
    tellOutcome(studio_.readPhoto(*dialog_));
    refresh();
}

void StudioWindow::exportCloth() {
    tellOutcome(studio_.exportCloth(*dialog_));
}

void StudioWindow::exportDraft() {
    tellOutcome(studio_.exportDraft(*dialog_));
}

void StudioWindow::exportYarn() {
    tellOutcome(studio_.exportYarn(*dialog_));
}

void StudioWindow::printCloth() {
    tellOutcome(studio_.printCloth(*dialog_, *printer_));
}

void StudioWindow::focusSett() {
    sett_->setFocus(Qt::ShortcutFocusReason);
    sett_->selectAll();
}

void StudioWindow::focusWeft() {
    weft_->setFocus(Qt::ShortcutFocusReason);
    weft_->selectAll();
}

void StudioWindow::focusNearest() {
    nearest_->setFocus(Qt::ShortcutFocusReason);
    if (nearest_->currentItem() == nullptr && nearest_->topLevelItemCount() > 0) {
        nearest_->setCurrentItem(nearest_->topLevelItem(0));
    }
}

void StudioWindow::findName() {
    panels_->setCurrentIndex(NamedPanel);
    namedSearch_->setFocus(Qt::ShortcutFocusReason);
    namedSearch_->selectAll();
}

void StudioWindow::findSaved() {
    panels_->setCurrentIndex(SavedPanel);
    savedSearch_->setFocus(Qt::ShortcutFocusReason);
    savedSearch_->selectAll();
}

void StudioWindow::showPanel(int panel) {
    panels_->setCurrentIndex(panel);
    panels_->currentWidget()->nextInFocusChain()->setFocus(Qt::ShortcutFocusReason);
}

void StudioWindow::rereadSaved() {
    if (studio_.rereadSaved()) {
        refresh();
    }
}

void StudioWindow::focusLegend() {
    legend_->setFocus(Qt::ShortcutFocusReason);
    if (legend_->currentItem() == nullptr && legend_->count() > 0) {
        legend_->setCurrentRow(0);
    }
}

void StudioWindow::recolourRow(int row) {
    const QList<LegendColour> legend = studio_.legend();
    if (row >= 0 && row < legend.size() && studio_.recolour(legend[row].code, *prompts_)) {
        refresh();
    }
}

void StudioWindow::recolourChosen() {
    recolourRow(std::max(0, legend_->currentRow()));
}

void StudioWindow::schemeChosen(Scheme scheme) {
    studio_.setScheme(scheme);
    refresh();
}

bool StudioWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == legend_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
            recolourChosen();
            return true;
        }
    }
    if (event->type() != QEvent::ShortcutOverride) {
        return QMainWindow::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    for (const QAction* action : menuBar()->findChildren<QAction*>()) {
        // Delete stays the box's own: it deletes a character there.
        if (action->shortcutContext() == Qt::WindowShortcut &&
            action->shortcuts().contains(pressed)) {
            return true; // not taken by the box, so the menu's key runs
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool StudioWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        rereadSaved();
    }
    return QMainWindow::event(event);
}

void StudioWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    refreshCloth();
}

double StudioWindow::screenDotsPerInch() const {
    const QScreen* shown = screen();
    return shown ? shown->physicalDotsPerInch() : 0;
}

void StudioWindow::refresh() {
    const StudioState& state = studio_.state();
    setWindowTitle(studio_.windowTitle());
    // Writing a box from state never feeds back: edits come only from textEdited.
    if (sett_->text() != state.settText) {
        sett_->setText(state.settText);
    }
    if (weft_->text() != state.weftText) {
        weft_->setText(state.weftText);
    }
    problem_->setText(
        state.problem
            ? problemHtml(state.problem->field == SettField::Weft ? state.weftText : state.settText,
                          *state.problem)
            : QString());
    if (!state.status.isEmpty()) {
        statusBar()->showMessage(state.status);
    }
    refreshCloth();
    refreshLegend();
    refreshYarn();
    refreshSaved();
    refreshNearest();
    askNearest();
}

void StudioWindow::refreshCloth() {
    const StudioState& state = studio_.state();
    const QSize view = cloth_->size() * cloth_->devicePixelRatioF();
    const double trueZoom =
        state.trueSize ? trueSizeZoom(screenDotsPerInch(), studio_.threadsPerMetre()) : 0;
    const double zoom = trueZoom > 0 ? trueZoom : studio_.shownZoom(view);
    const Studio::ShownTile shown = studio_.shownTile(zoom);
    cloth_->show(shown.picture, shown.scale, state.problem.has_value());
    qobject_cast<QAction*>(parts_.value(QStringLiteral("weave:") + state.weave.name))
        ->setChecked(true);
    QSignalBlocker block(trueSize_);
    trueSize_->setChecked(trueZoom > 0);
    QSignalBlocker blockWoven(asWoven_);
    asWoven_->setChecked(state.asWoven);
    // The cloth as woven is exported at its own pixels to the millimetre.
    scale_->setEnabled(!state.asWoven);
    scale_->setToolTip(state.asWoven ? QStringLiteral("As woven, the cloth is exported and printed "
                                                      "at six pixels a thread, at true size.")
                                     : QString());
    zoomLabel_->setText(trueZoom > 0 ? QStringLiteral("True size")
                                     : QStringLiteral("Zoom %1").arg(static_cast<int>(zoom)));
}

void StudioWindow::refreshLegend() {
    const QList<LegendColour> legend = studio_.legend();
    for (const Scheme scheme : kSchemes) {
        auto* action = qobject_cast<QAction*>(parts_.value(schemeKey(scheme)));
        QSignalBlocker block(action);
        action->setChecked(scheme == studio_.state().scheme);
    }
    if (legend == shownLegend_) {
        return;
    }
    const int current = legend_->currentRow();
    legend_->clear();
    for (const LegendColour& colour : legend) {
        auto* item =
            new QListWidgetItem(swatchIcon(colour.colour, kLegendSwatch), colour.code, legend_);
        item->setToolTip(QStringLiteral("%1: %2,%3,%4. Click or press Enter to weave it in another "
                                        "colour.")
                             .arg(colour.code)
                             .arg(colour.colour.red)
                             .arg(colour.colour.green)
                             .arg(colour.colour.blue));
    }
    if (current >= 0 && current < legend_->count()) {
        legend_->setCurrentRow(current);
    }
    shownLegend_ = legend;
}

void StudioWindow::refreshYarn() {
    const StudioState& state = studio_.state();
    for (int i = 0; i < kYarnFields; ++i) {
        QLineEdit* box = yarn_[static_cast<std::size_t>(i)];
        if (box->text() != state.yarn[static_cast<std::size_t>(i)]) {
            box->setText(state.yarn[static_cast<std::size_t>(i)]);
        }
    }
    if (!state.yarnPlan) {
        yarnHeading_->setText(state.yarnProblem);
        yarnTable_->setRowCount(0);
        return;
    }
    yarnHeading_->setText(state.yarnHeading);
    const YarnPlan& plan = *state.yarnPlan;
    const QList<YarnLine> lines = plan.lines + QList<YarnLine>{plan.total};
    yarnTable_->setRowCount(static_cast<int>(lines.size()));
    for (int row = 0; row < lines.size(); ++row) {
        const YarnLine& line = lines[row];
        const bool total = row == lines.size() - 1;
        const QStringList cells = yarnFields(line, total);
        for (int column = 0; column < cells.size(); ++column) {
            auto* cell = new QTableWidgetItem(cells[column]);
            if (column == 1 && !total) {
                cell->setBackground(QColor(line.colour.red, line.colour.green, line.colour.blue));
                cell->setForeground(
                    qGray(line.colour.red, line.colour.green, line.colour.blue) < 128 ? Qt::white
                                                                                      : Qt::black);
            }
            yarnTable_->setItem(row, column, cell);
        }
    }
}

void StudioWindow::refreshNearest() {
    const QList<NearRow>& rows = studio_.state().nearest;
    nearest_->clear();
    for (const NearRow& row : rows) {
        auto* item = new QTreeWidgetItem(
            nearest_,
            {QString::number(row.score),
             row.mine ? row.name() + QStringLiteral(" (yours)") : row.name(), row.sett()});
        item->setTextAlignment(0, Qt::AlignRight);
    }
}

void StudioWindow::refreshSaved() {
    const QList<SavedSett> shown = studio_.shownSaved();
    const int current = saved_->indexOfTopLevelItem(saved_->currentItem());
    saved_->clear();
    for (const SavedSett& saved : shown) {
        new QTreeWidgetItem(
            saved_, {saved.name,
                     saved.weft.isEmpty() ? saved.sett
                                          : saved.sett + QStringLiteral("; weft ") + saved.weft,
                     QLocale().toString(saved.savedAt.toLocalTime(), QLocale::ShortFormat)});
    }
    if (current >= 0 && current < saved_->topLevelItemCount()) {
        saved_->setCurrentItem(saved_->topLevelItem(current));
    }
}

void StudioWindow::askNearest() {
    const NearestQuestion question = studio_.nearestQuestion();
    if (question.sett.stripes.isEmpty() || question.edit == askedEdit_ ||
        question.edit == studio_.state().nearestEdit) {
        return;
    }
    askedEdit_ = question.edit;
    searcher_.ask(question);
}

void StudioWindow::nearestAnswered(quint64 edit, const QList<NearRow>& rows) {
    if (studio_.answerNearest(edit, rows)) {
        refreshNearest();
        emit nearestShown();
    }
}

} // namespace loomara
