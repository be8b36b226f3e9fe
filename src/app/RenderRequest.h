#pragma once

#include "app/RenderCommand.h"
#include "app/RenderOptions.h"
#include "cloth/YarnPlan.h"
#include "collection/AskedSett.h"
#include "render/Render.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

namespace loomara {

// Why a run of loomara-render ends early: its exit status, the one line that says why, and the
// lines that show the place that line names (the sett, and a caret under the character).
struct RenderStop {
    int status = kRenderRefused;
    QString why;
    QStringList shown;
};

RenderStop renderRefused(const QString& why, QStringList shown = {});

// What the options ask of a picture or a draft, once every one has been accepted.
struct PictureRequest {
    RenderRequest render;
    QString fileName;
    QString several;   // which entry was taken when several share its name, for out
    QStringList notes; // for the user once the file is written
    QString shownLine; // the line the sett was read from, for a caret under a refused place
};

// The option's value as a whole number from least to most (`unset` when it is not given), or its
// refusal naming the range.
std::variant<int, RenderStop> wholeNumber(const QCommandLineParser& parser,
                                          const QCommandLineOption& option, int least, int most,
                                          int unset);

// The weave --weave names, or the default.
std::variant<Weave, RenderStop> askedWeave(const QCommandLineParser& parser,
                                           const RenderOptions& o);

// The sett the arguments give, written or by --name, with the weft --weft gives it.
std::variant<AskedSett, RenderStop> askedSett(const QCommandLineParser& parser,
                                              const RenderOptions& o);

// The picture or draft the options ask for, or why they ask for none.
std::variant<PictureRequest, RenderStop> readRequest(const QCommandLineParser& parser,
                                                     const RenderOptions& o);

// The cloth --width, --length and the densities, waste and take-up describe, or why they
// describe none or -o names no CSV file.
std::variant<ClothOrder, RenderStop> readOrder(const QCommandLineParser& parser,
                                               const RenderOptions& o);

} // namespace loomara
