#pragma once

#include "app/RenderOptions.h"
#include "app/RenderRequest.h"

#include <QCommandLineParser>
#include <QList>
#include <QString>

#include <optional>

namespace loomara {

// The work a mode of loomara-render does; the command runs each.
enum class RenderWork { Picture, Yarn, Similar, List, Gallery, PictureSett };

// One mode of the tool: the options it takes, whether it takes a sett, and the work it does. A
// mode is asked for by its own option; the pictures by --cloth or a .wif file, else the designer's
// picture.
struct RenderMode {
    QString shown; // how a refusal names it
    OptionOf askedBy;
    bool takesSett;
    QList<OptionOf> takes;
    RenderWork work;
    OptionOf notWith = nullptr; // its own option asks for another mode when this one is given
};

// Every mode, in the order the help and the manual page list them.
const QList<RenderMode>& renderModes();

// The mode the options ask for: the first whose own option is given, else the cloth or draft
// when --cloth or a .wif file is, else the designer's picture.
const RenderMode& askedMode(const QCommandLineParser& parser, const RenderOptions& o);

// The one check of which options go together: refuses a sett or an option the mode does not
// take, an option given twice, and two options of which a run takes one.
std::optional<RenderStop> notTogether(const QCommandLineParser& parser, const RenderOptions& o,
                                      const RenderMode& mode);

} // namespace loomara
