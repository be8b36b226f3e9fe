#pragma once

#include "io/CommonDialog.h"
#include "io/Printer.h"
#include "render/Render.h"
#include "studio/SettShelf.h"
#include "studio/StudioPrompts.h"
#include "studio/StudioState.h"

#include <QByteArray>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <variant>

namespace loomara {

// What a command that writes or prints did, for the status line or a message.
struct Outcome {
    enum class Result { Cancelled, Done, Failed };
    Result result = Result::Cancelled;
    QString message;
};

// Loomara Studio's rules: one entry point for each thing the user does, each changing the state
// that the window then shows. Every rule calls the rooms the tool calls (the sett readers, the
// cloth and its render step, the lists, the yarn plan, the checked save), so the studio and
// loomara-render give the same cloth, draft and table for the same sett.
class Studio {
public:
    explicit Studio(SettShelf& shelf);

    const StudioState& state() const { return state_; }
    // "Aberdeen University - Loomara Studio", or "Untitled sett - Loomara Studio".
    QString windowTitle() const;

    // Typing: each edit reads the sett again and weaves it; a text that does not read keeps the
    // last good cloth and says why.
    void editSett(const QString& text);
    void editWeft(const QString& text);
    void editYarn(YarnField field, const QString& text);
    void setExportRepeats(int repeats);
    void setExportScale(int scale);
    // Weaves the cloth shown (the last that read) again in another weave.
    void chooseWeave(const Weave& weave);

    // Loading into the field.
    void loadEntry(const ListedEntry& entry);
    void loadSaved(const SavedSett& saved);
    // The first entry of the name, whatever its case; false, with the reason as the field's
    // problem, when there is none.
    bool loadName(const QString& name);

    // The colours: each code of the sett once, as the warp and then the weft first use it, in the
    // scheme's colours.
    QList<LegendColour> legend() const;
    // Every stripe of `code`, warp and weft, in a palette colour the user picks: the fields are
    // retyped with the new code where it stands. False when nothing changed.
    bool recolour(const QString& code, StudioPrompts& prompts);
    void recolour(const QString& from, const QString& to);
    void setScheme(Scheme scheme);

    // The view, `view` being its size in screen pixels.
    int shownZoom(QSize view) const;
    void zoomIn(QSize view);
    void zoomOut(QSize view);
    void zoomToDefault();
    // True size needs the cloth's density (the yarn panel's); false when there is none.
    bool setTrueSize(bool on);
    // Threads to the metre, from the density box; 0 when it is empty or does not read.
    double threadsPerMetre() const;
    void setAsWoven(bool on);

    // What the view tiles and the screen pixels each of its pixels takes, for a view of
    // `pixelsPerThread` screen pixels a thread: the tile, a pixel a crossing; or, as woven, the
    // tile drawn as it will look at that size, at the yarn panel's densities (a kilt's unless
    // given). Null when there is no cloth.
    struct ShownTile {
        QImage picture;
        double scale = 1;
    };
    ShownTile shownTile(double pixelsPerThread);

    // The nearest panel: the question for a worker, and its answer, taken only when it answers
    // the latest edit.
    NearestQuestion nearestQuestion() const;
    bool answerNearest(quint64 edit, const QList<NearRow>& rows);

    // My setts.
    QList<SavedSett> shownSaved() const; // those the filter lets through
    void filterSaved(const QString& filter);
    // Reads the shelf again when it changed since it was last read, or always when `always`;
    // true when the list was read.
    bool rereadSaved(bool always = false);
    // Tells the shelf's message once, when it cannot keep setts.
    void tellStoreProblem(StudioPrompts& prompts);
    void saveSett(StudioPrompts& prompts);
    void removeSaved(const QString& name, StudioPrompts& prompts);

    // Files, each through the render step and the checked save the tool uses.
    Outcome exportCloth(CommonDialog& dialog);
    Outcome exportDraft(CommonDialog& dialog);
    Outcome exportYarn(CommonDialog& dialog);
    Outcome printCloth(CommonDialog& dialog, Printer& printer);
    // The sett read from a photograph or a scan of cloth the user picks, put into the field as if
    // typed; a picture without a readable plaid leaves the field as it was and says why.
    Outcome readPhoto(CommonDialog& dialog);

    // The request for the cloth or draft files of the sett shown. The cloth as woven is drawn at
    // the yarn panel's densities (a kilt's unless given) and at the tool's pixels to the
    // millimetre, which its picture records, so that it prints at true size.
    RenderRequest request(Drawing drawing, PictureFormat format) const;
    // What export and print draw of the cloth: as woven while the view shows it so.
    Drawing clothDrawing() const { return state_.asWoven ? Drawing::AsWoven : Drawing::Cloth; }

private:
    void reweave();
    // The sett's cloth in the chosen weave becomes the cloth shown; why not, when it cannot.
    std::optional<QString> weaveCloth(Sett sett);
    double weftThreadsPerMetre() const;
    // The yarn panel's densities for the cloth as woven, the picture's size left to the tool.
    LookChoice lookChoice() const;
    void replan();
    void loadText(const QString& sett, const QString& weft, SettSource source, const QString& name);
    // The bytes for the chosen ending (its index in `endings`), or why there are none.
    using Bytes = std::function<std::variant<QByteArray, QString>(qsizetype)>;
    Outcome write(CommonDialog& dialog, const QString& what, const QString& filter,
                  const QStringList& endings, const Bytes& bytes);
    std::optional<QString> whyNotShown() const;

    SettShelf& shelf_;
    StudioState state_;
    // The last tile drawn as woven, and what it was drawn from.
    struct WovenTile {
        qint64 tile = 0;
        double pixelsPerThread = 0;
        double ends = 0;
        double picks = 0;
        ShownTile shown;
    } woven_;
};

} // namespace loomara
