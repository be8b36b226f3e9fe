#pragma once

#include "cloth/Weave.h"
#include "cloth/YarnPlan.h"
#include "collection/Collection.h"
#include "sett/Colourway.h"
#include "sett/Sett.h"
#include "store/SettStore.h"
#include "studio/Nearest.h"

#include <QImage>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace loomara {

// Where the sett in the field came from: typed, an entry of the lists, or one of the user's own.
enum class SettSource { Written, Entry, Saved };

// The two fields a sett is typed into.
enum class SettField { Warp, Weft };

// Why the text in a field does not read, in the reader's own words, and the place it names.
struct FieldProblem {
    SettField field = SettField::Warp;
    QString message;
    int character = 0; // 1-based in the field's text; 0 when the message is about the whole
};

// The yarn panel's boxes, in the order shown.
enum class YarnField { Width, Length, Density, WeftDensity, Waste, TakeUp };
inline constexpr int kYarnFields = 6;

// A colour of the sett's legend: a code as the sett writes it and its colour in the scheme.
struct LegendColour {
    QString code;
    Rgb colour;

    friend bool operator==(const LegendColour&, const LegendColour&) = default;
};

// The studio's window as plain data: what is typed, what it reads as, the cloth shown, the panels'
// contents. The window shows it; the rules in Studio change it.
struct StudioState {
    QString settText;
    QString weftText;
    SettSource source = SettSource::Written;
    QString name; // the entry's or the saved sett's name; empty for a sett typed by the user

    // The last sett that read, the text it was read from, and its cloth of one repeat, one pixel
    // a crossing. The cloth, the yarn plan, the files and the nearest search take the sett in the
    // colours of the scheme (`woven`).
    Sett sett;
    Scheme scheme = Scheme::Modern;
    Sett woven;
    QString wovenText;
    QImage repeat;
    // What the view tiles: as many repeats as bring the weave's draw back to where it began, so
    // that the tiles meet as the cloth's repeats do.
    QImage tile;
    // The weave the cloth, its export and its draft are woven in; the yarn is the same in every
    // weave.
    Weave weave = defaultWeave();
    // Set while the text does not read: the cloth is the last good one, shown greyed.
    std::optional<FieldProblem> problem;

    // Counts every change of the cloth and of the user's own setts, which the nearest panel
    // answers: a worker's answer names the edit it answers, and one that is not the latest is
    // dropped.
    quint64 edit = 0;

    // 0 for the default zoom, worked out from the view's size; otherwise 1..16.
    int zoom = 0;
    bool trueSize = false;
    // The cloth as it will look, at the yarn panel's density, instead of the drawdown.
    bool asWoven = false;

    std::array<QString, kYarnFields> yarn;
    std::optional<YarnPlan> yarnPlan; // when every box needed reads and the cloth fits
    QString yarnHeading;
    QString yarnProblem; // why there is no plan, for the line under the boxes

    // Export and print: repeats each way and pixels a thread.
    int exportRepeats = 1;
    int exportScale = 1;

    QList<NearRow> nearest;
    quint64 nearestEdit = 0; // the edit the rows answer

    QString savedFilter;
    QList<SavedSett> saved; // every one, newest first, as last read
    bool storeTold = false; // the store's message has been given once

    QString status; // the last thing done, for the status line
};

} // namespace loomara
