#include "studio/Studio.h"

#include "cloth/YarnTitle.h"
#include "collection/Collection.h"
#include "palette/PaletteSwatch.h"
#include "sett/SettText.h"
#include "studio/ClothZoom.h"

#include <algorithm>

namespace loomara {

namespace {

// The most pixels the view's tile has as woven.
constexpr double kMostShownWovenPixels = 4'000'000;

// A weave's draw goes round every few threads; a repeat of another length starts the next one
// elsewhere in it.
QImage clothTile(RenderRequest request, const QImage& repeat) {
    request.repeats = repeatsThatTile(request.sett, request.weave);
    if (request.repeats == 1) {
        return repeat;
    }
    Rendered tile = renderClothPicture(request);
    return tile.ok() ? std::move(tile.picture) : repeat;
}

// The text with each written code of a recolouring changed where it stands, so that the field
// keeps the user's way of writing; the sett written afresh when the changed text would not read
// as the recoloured sett (a code written in another case's form, say).
QString retyped(const QString& text, const QList<Recolouring>& pairs) {
    const SettReading reading = readSett(text);
    if (!reading.ok()) {
        return text;
    }
    const Sett wanted = recoloured(reading.sett, pairs);
    QString changed = text;
    for (auto stripe = reading.sett.stripes.crbegin(); stripe != reading.sett.stripes.crend();
         ++stripe) {
        const auto pair = std::find_if(pairs.begin(), pairs.end(), [&](const Recolouring& r) {
            return r.from == stripe->code;
        });
        if (pair == pairs.end()) {
            continue;
        }
        const qsizetype at = stripe->writtenAt - 1;
        if (at < 0 || QStringView(changed).mid(at, stripe->code.size()) != stripe->code) {
            return writtenForm(wanted);
        }
        changed.replace(at, stripe->code.size(), pair->to);
    }
    const SettReading again = readSett(changed);
    return again.ok() && again.sett == wanted ? changed : writtenForm(wanted);
}

} // namespace

Studio::Studio(SettShelf& shelf) : shelf_(shelf) {
    rereadSaved(true);
    replan();
}

QString Studio::windowTitle() const {
    const QString name = state_.name.isEmpty() ? QStringLiteral("Untitled sett") : state_.name;
    return name + QStringLiteral(" - Loomara Studio");
}

void Studio::editSett(const QString& text) {
    state_.settText = text;
    state_.source = SettSource::Written;
    state_.name.clear();
    reweave();
}

void Studio::editWeft(const QString& text) {
    state_.weftText = text;
    state_.source = SettSource::Written;
    state_.name.clear();
    reweave();
}

void Studio::loadText(const QString& sett, const QString& weft, SettSource source,
                      const QString& name) {
    state_.settText = sett;
    state_.weftText = weft;
    state_.source = source;
    state_.name = name;
    reweave();
}

void Studio::loadEntry(const ListedEntry& entry) {
    loadText(entry.entry.notation, QString(), SettSource::Entry, entry.entry.name);
    state_.status =
        QStringLiteral("%1, from the list %2.").arg(entry.entry.name, pageCaption(entry.page));
}

void Studio::loadSaved(const SavedSett& saved) {
    loadText(saved.sett, saved.weft, SettSource::Saved, saved.name);
    state_.status = QStringLiteral("%1, from your setts.").arg(saved.name);
}

bool Studio::loadName(const QString& name) {
    const QList<const ListedEntry*> matches = entriesNamed(name.trimmed());
    if (matches.isEmpty()) {
        state_.problem = FieldProblem{SettField::Warp, unknownNameReason(name.trimmed()) + u'.', 0};
        return false;
    }
    loadEntry(*matches.constFirst());
    return true;
}

void Studio::reweave() {
    const SettReading warp = readSett(state_.settText);
    if (!warp.ok()) {
        state_.problem =
            FieldProblem{SettField::Warp, warp.refusal->message, warp.refusal->character};
        return;
    }
    Sett sett = warp.sett;
    if (!state_.weftText.trimmed().isEmpty()) {
        const SettReading weft = readSett(state_.weftText);
        if (!weft.ok()) {
            state_.problem =
                FieldProblem{SettField::Weft, weft.refusal->message, weft.refusal->character};
            return;
        }
        sett.ownWeft = std::make_shared<const Sett>(weft.sett);
    }
    if (!state_.repeat.isNull() && sett == state_.sett) {
        // Written another way, the same cloth: nothing new to weave or to search.
        state_.problem.reset();
        state_.wovenText = state_.settText;
        replan();
        return;
    }
    if (std::optional<QString> why = weaveCloth(std::move(sett))) {
        state_.problem = FieldProblem{SettField::Warp, *why, 0};
        return;
    }
    state_.problem.reset();
    state_.wovenText = state_.settText;
    ++state_.edit;
    replan();
}

QList<LegendColour> Studio::legend() const {
    QList<LegendColour> legend;
    for (const QString& code : settCodes(state_.woven)) {
        for (const Sett* sett : {&state_.woven, &state_.woven.weft()}) {
            const auto stripe =
                std::find_if(sett->stripes.begin(), sett->stripes.end(),
                             [&code](const SettStripe& s) { return s.code == code; });
            if (stripe != sett->stripes.end()) {
                legend.append({code, stripe->colour});
                break;
            }
        }
    }
    return legend;
}

bool Studio::recolour(const QString& code, StudioPrompts& prompts) {
    if (state_.problem) {
        prompts.tell(QStringLiteral("Only a sett that reads can be recoloured; the line under the "
                                    "field says what to mend."));
        return false;
    }
    const std::optional<QString> to =
        prompts.pickColour(QStringLiteral("Weave every thread of %1 in:").arg(code), code);
    if (!to || *to == code || !findSwatchByCode(*to) || !settCodes(state_.sett).contains(code)) {
        return false;
    }
    recolour(code, *to);
    return true;
}

void Studio::recolour(const QString& from, const QString& to) {
    const QList<Recolouring> pairs{{from, to}};
    state_.settText = retyped(state_.settText, pairs);
    state_.weftText = retyped(state_.weftText, pairs);
    state_.source = SettSource::Written;
    state_.name.clear();
    state_.status = QStringLiteral("Every thread of %1 is now %2.").arg(from, to);
    reweave();
}

void Studio::setScheme(Scheme scheme) {
    if (scheme == state_.scheme) {
        return;
    }
    state_.scheme = scheme;
    // The sett shown wove once, and a scheme changes only colours, so it weaves again: a new
    // cloth for the nearest search and the yarn plan.
    if (!state_.repeat.isNull()) {
        if (std::optional<QString> why = weaveCloth(state_.sett)) {
            state_.problem = FieldProblem{SettField::Warp, *why, 0};
            return;
        }
        ++state_.edit;
        replan();
    }
    state_.status = QStringLiteral("Woven in the %1 scheme.").arg(schemeName(scheme));
}

std::optional<QString> Studio::weaveCloth(Sett sett) {
    RenderRequest request;
    request.sett = inScheme(sett, state_.scheme);
    request.drawing = Drawing::Cloth;
    request.weave = state_.weave;
    Rendered cloth = renderClothPicture(request);
    if (!cloth.ok()) {
        return cloth.refusal ? cloth.refusal->message : *cloth.failure;
    }
    state_.sett = std::move(sett);
    state_.woven = request.sett;
    state_.repeat = std::move(cloth.picture);
    state_.tile = clothTile(request, state_.repeat);
    return std::nullopt;
}

void Studio::chooseWeave(const Weave& weave) {
    if (weave == state_.weave) {
        return;
    }
    state_.weave = weave;
    // The sett shown wove once, and a weave changes no count, so it weaves again.
    if (!state_.repeat.isNull()) {
        if (std::optional<QString> why = weaveCloth(state_.sett)) {
            state_.problem = FieldProblem{SettField::Warp, *why, 0};
        }
    }
    state_.status = QStringLiteral("Woven as %1.").arg(weave.title);
}

void Studio::editYarn(YarnField field, const QString& text) {
    state_.yarn[static_cast<std::size_t>(field)] = text;
    replan();
}

void Studio::replan() {
    state_.yarnPlan.reset();
    state_.yarnHeading.clear();
    const auto text = [this](YarnField field) {
        return state_.yarn[static_cast<std::size_t>(field)].trimmed();
    };
    if (text(YarnField::Width).isEmpty() || text(YarnField::Length).isEmpty() ||
        text(YarnField::Density).isEmpty()) {
        state_.yarnProblem = QStringLiteral("Give the cloth's width, length and density to count "
                                            "its yarn.");
        return;
    }
    if (state_.woven.stripes.isEmpty()) {
        state_.yarnProblem = QStringLiteral("Type a sett to count its yarn.");
        return;
    }
    ClothOrder order;
    QString problem;
    const auto given = [&](YarnField field, const QString& label, auto reader, auto& into) {
        if (!problem.isEmpty() || text(field).isEmpty()) {
            return;
        }
        const auto read = reader(text(field));
        if (const QString* why = std::get_if<QString>(&read)) {
            problem = label + QStringLiteral(": ") + *why;
        } else {
            into = std::get<0>(read);
        }
    };
    given(YarnField::Width, QStringLiteral("Width"), readLength, order.width);
    given(YarnField::Length, QStringLiteral("Length"), readLength, order.length);
    given(YarnField::Density, QStringLiteral("Density"), readDensity, order.density);
    order.weftDensity = order.density;
    given(YarnField::WeftDensity, QStringLiteral("Weft density"), readDensity, order.weftDensity);
    given(YarnField::Waste, QStringLiteral("Loom waste"), readLength, order.waste);
    given(YarnField::TakeUp, QStringLiteral("Take-up"), readPercentage, order.takeUp);
    if (!problem.isEmpty()) {
        state_.yarnProblem = problem;
        return;
    }
    YarnPlan plan = yarnPlan(state_.woven, order);
    if (plan.refusal) {
        state_.yarnProblem = *plan.refusal;
        return;
    }
    const bool named = state_.source == SettSource::Entry;
    state_.yarnHeading =
        yarnHeading(yarnTitle(named ? state_.name : state_.wovenText, state_.woven, named), order,
                    text(YarnField::Waste).isEmpty(), text(YarnField::TakeUp).isEmpty());
    state_.yarnPlan = std::move(plan);
    state_.yarnProblem.clear();
}

void Studio::setExportRepeats(int repeats) {
    state_.exportRepeats = std::max(1, repeats);
}

void Studio::setExportScale(int scale) {
    state_.exportScale = std::max(1, scale);
}

int Studio::shownZoom(QSize view) const {
    return state_.zoom != 0 ? state_.zoom : defaultZoom(state_.repeat.size(), view);
}

void Studio::zoomIn(QSize view) {
    state_.zoom = std::min(kMostZoom, shownZoom(view) + 1);
    state_.trueSize = false;
}

void Studio::zoomOut(QSize view) {
    state_.zoom = std::max(kLeastZoom, shownZoom(view) - 1);
    state_.trueSize = false;
}

void Studio::zoomToDefault() {
    state_.zoom = 0;
    state_.trueSize = false;
}

bool Studio::setTrueSize(bool on) {
    state_.trueSize = on && threadsPerMetre() > 0;
    return state_.trueSize == on;
}

double Studio::threadsPerMetre() const {
    const auto read =
        readDensity(state_.yarn[static_cast<std::size_t>(YarnField::Density)].trimmed());
    const Density* density = std::get_if<Density>(&read);
    return density ? threadsIn(Length{1, LengthUnit::Metre}, *density) : 0;
}

double Studio::weftThreadsPerMetre() const {
    const auto read =
        readDensity(state_.yarn[static_cast<std::size_t>(YarnField::WeftDensity)].trimmed());
    const Density* density = std::get_if<Density>(&read);
    return density ? threadsIn(Length{1, LengthUnit::Metre}, *density) : 0;
}

LookChoice Studio::lookChoice() const {
    LookChoice choice;
    choice.endsPerMetre = threadsPerMetre();
    choice.picksPerMetre = weftThreadsPerMetre();
    return choice;
}

void Studio::setAsWoven(bool on) {
    state_.asWoven = on;
    state_.status = on ? QStringLiteral("As woven: the threads at their width, the yarn round "
                                        "and lit; the density from the Yarn panel.")
                       : QStringLiteral("Exact: a square of colour a crossing.");
}

Studio::ShownTile Studio::shownTile(double pixelsPerThread) {
    if (!state_.asWoven || state_.tile.isNull() || !(pixelsPerThread > 0)) {
        return {state_.tile, pixelsPerThread};
    }
    LookChoice choice = lookChoice();
    const double ends = choice.endsPerMetre > 0 ? choice.endsPerMetre : kKiltThreadsPerMetre;
    const double picks = choice.picksPerMetre > 0 ? choice.picksPerMetre : ends;
    if (woven_.tile == state_.tile.cacheKey() && woven_.pixelsPerThread == pixelsPerThread &&
        woven_.ends == ends && woven_.picks == picks) {
        return woven_.shown;
    }
    // A large tile at a large zoom is drawn smaller and shown enlarged, so that drawing it stays
    // quick and its picture small.
    const double pixels = state_.tile.width() * state_.tile.height() * pixelsPerThread *
                          pixelsPerThread * picks / ends;
    const double enlarged = std::max(1.0, std::sqrt(pixels / kMostShownWovenPixels));
    choice.pixelsPerMm = pixelsPerThread / enlarged * ends / 1000;
    RenderRequest request;
    request.sett = state_.woven;
    request.weave = state_.weave;
    request.drawing = Drawing::AsWoven;
    request.repeats = repeatsThatTile(state_.sett, state_.weave);
    request.look = chosenLook(choice, state_.weave).look;
    Rendered drawn = renderClothPicture(request);
    woven_ = {state_.tile.cacheKey(), pixelsPerThread, ends, picks,
              drawn.ok() ? ShownTile{std::move(drawn.picture), enlarged}
                         : ShownTile{state_.tile, pixelsPerThread}};
    return woven_.shown;
}

NearestQuestion Studio::nearestQuestion() const {
    return {state_.edit, state_.woven, state_.saved};
}

bool Studio::answerNearest(quint64 edit, const QList<NearRow>& rows) {
    if (edit != state_.edit) {
        return false;
    }
    state_.nearest = rows;
    state_.nearestEdit = edit;
    return true;
}

QList<SavedSett> Studio::shownSaved() const {
    const QString filter = state_.savedFilter.trimmed();
    QList<SavedSett> shown;
    for (const SavedSett& saved : state_.saved) {
        if (saved.name.contains(filter, Qt::CaseInsensitive)) {
            shown.append(saved);
        }
    }
    return shown;
}

void Studio::filterSaved(const QString& filter) {
    state_.savedFilter = filter;
}

bool Studio::rereadSaved(bool always) {
    if (!always && !shelf_.changedSinceLastList()) {
        return false;
    }
    state_.saved = shelf_.list(QString());
    ++state_.edit;
    return true;
}

void Studio::tellStoreProblem(StudioPrompts& prompts) {
    if (!state_.storeTold && shelf_.state() != StoreState::Open) {
        state_.storeTold = true;
        prompts.tell(shelf_.message());
    }
}

void Studio::saveSett(StudioPrompts& prompts) {
    if (!shelf_.canSave()) {
        prompts.tell(
            QStringLiteral("Your setts cannot be saved in this session: %1").arg(shelf_.message()));
        return;
    }
    if (state_.problem || state_.settText.trimmed().isEmpty()) {
        prompts.tell(QStringLiteral("Only a sett that reads can be saved; the line under the "
                                    "field says what to mend."));
        return;
    }
    const std::optional<QString> asked =
        prompts.askName(QStringLiteral("Save the sett as:"), state_.name);
    const QString name = asked ? asked->simplified() : QString();
    if (name.isEmpty()) {
        return;
    }
    SettStore::SaveResult result = shelf_.save(name, state_.settText, state_.weftText, false);
    if (result == SettStore::SaveResult::NameExists) {
        if (!prompts.confirm(QStringLiteral("You have a sett named \"%1\" already. Replace it "
                                            "with this one?")
                                 .arg(name))) {
            return;
        }
        result = shelf_.save(name, state_.settText, state_.weftText, true);
    }
    if (result != SettStore::SaveResult::Saved) {
        prompts.tell(QStringLiteral("\"%1\" was not saved: %2").arg(name, shelf_.lastError()));
        return;
    }
    state_.source = SettSource::Saved;
    state_.name = name;
    state_.status = QStringLiteral("Saved \"%1\" in your setts.").arg(name);
    rereadSaved(true);
}

void Studio::removeSaved(const QString& name, StudioPrompts& prompts) {
    if (!prompts.confirm(
            QStringLiteral("Delete your sett \"%1\"? It cannot be brought back.").arg(name))) {
        return;
    }
    if (!shelf_.remove(name)) {
        prompts.tell(QStringLiteral("\"%1\" was not deleted: %2").arg(name, shelf_.lastError()));
        return;
    }
    if (state_.source == SettSource::Saved && state_.name.compare(name, Qt::CaseInsensitive) == 0) {
        state_.source = SettSource::Written;
        state_.name.clear();
    }
    state_.status = QStringLiteral("Deleted \"%1\" from your setts.").arg(name);
    rereadSaved(true);
}

} // namespace loomara
