// The studio's colours without a window: the legend, recolouring from it and the schemes.

#include "StudioFakes.h"

#include "palette/PaletteSwatch.h"
#include "sett/Colourway.h"
#include "sett/SettText.h"
#include "studio/Studio.h"

#include <gtest/gtest.h>

using namespace loomara;
using namespace loomara::testing;

namespace {

QStringList codes(const QList<LegendColour>& legend) {
    QStringList codes;
    for (const LegendColour& colour : legend) {
        codes.append(colour.code);
    }
    return codes;
}

} // namespace

// Two paths to one cloth: the field recoloured from the legend, and the new codes typed.
TEST(StudioColours, RecolouringFromTheLegendRetypesTheFieldsInTheirOwnForm) {
    const struct {
        QString sett;
        QString weft;
        QString from;
        QString to;
        QString retyped; // empty where any text that reads as the recoloured sett will do
        QString weftRetyped;
    } cases[] = {
        {"K/4 R24 k8 Y/4", "", "K", "NB", "NB/4 R24 k8 Y/4", ""},
        {"K10, R20, lr4, ", "", "lr", "Y", "K10, R20, Y4, ", ""},
        {"  ...K4 R24 K24 Y4...", "R8 Y8", "R", "DR", "  ...K4 DR24 K24 Y4...", "DR8 Y8"},
        {"K4 R24", "Y8 LG8", "LG", "K", "K4 R24", "Y8 K8"},
        {"y8b32k28r60y8", "", "k", "NB", "", ""},
        {"B/24 W4 B24 R2 K24 G24 W/2", "", "W", "B", "B/24 B4 B24 R2 K24 G24 B/2", ""},
    };
    for (const auto& c : cases) {
        FakeShelf shelf;
        ScriptedPrompts prompts;
        Studio studio(shelf);
        studio.editWeft(c.weft);
        studio.editSett(c.sett);
        const Sett before = studio.state().sett;
        ASSERT_TRUE(codes(studio.legend()).contains(c.from)) << c.sett.toStdString();
        prompts.names = {c.to};
        ASSERT_TRUE(studio.recolour(c.from, prompts));
        const StudioState& state = studio.state();
        if (!c.retyped.isEmpty()) {
            EXPECT_EQ(state.settText, c.retyped);
            EXPECT_EQ(state.weftText, c.weftRetyped);
        }
        ASSERT_FALSE(state.problem) << state.settText.toStdString();
        EXPECT_EQ(state.sett, recoloured(before, {{c.from, c.to}})) << state.settText.toStdString();
        EXPECT_FALSE(codes(studio.legend()).contains(c.from));
        EXPECT_TRUE(codes(studio.legend()).contains(c.to));

        Studio typed(shelf);
        typed.editWeft(state.weftText);
        typed.editSett(state.settText);
        EXPECT_EQ(typed.state().repeat, state.repeat);
    }
}

TEST(StudioColours, NothingChangesWhenTheUserPicksNothingOrTheSettDoesNotRead) {
    FakeShelf shelf;
    ScriptedPrompts prompts;
    Studio studio(shelf);
    studio.editSett(QStringLiteral("K/4 R24 Y/4"));
    const StudioState before = studio.state();
    prompts.names = {std::nullopt, QStringLiteral("R")};
    EXPECT_FALSE(studio.recolour(QStringLiteral("K"), prompts)); // cancelled
    EXPECT_FALSE(studio.recolour(QStringLiteral("R"), prompts)); // the colour it was
    EXPECT_EQ(studio.state().settText, before.settText);
    EXPECT_EQ(studio.state().edit, before.edit);

    studio.editSett(QStringLiteral("K/4 R24 Q"));
    prompts.names = {QStringLiteral("NB")};
    EXPECT_FALSE(studio.recolour(QStringLiteral("K"), prompts));
    EXPECT_EQ(studio.state().settText, "K/4 R24 Q");
    ASSERT_EQ(prompts.told.size(), 1);
    EXPECT_TRUE(prompts.told[0].contains("Only a sett that reads"))
        << prompts.told[0].toStdString();

    ASSERT_TRUE(studio.loadName(QStringLiteral("Wallace")));
    prompts.names = {QStringLiteral("NB")};
    ASSERT_TRUE(studio.recolour(QStringLiteral("k"), prompts));
    EXPECT_EQ(studio.windowTitle(), "Untitled sett - Loomara Studio") << "a new colourway";
}

// What the studio shows and writes in a scheme is the tool's sett in that scheme, and the sett as
// typed comes back with the modern scheme.
TEST(StudioColours, ASchemeColoursTheClothTheLegendTheFilesTheYarnAndTheNearest) {
    FakeShelf shelf;
    Studio studio(shelf);
    const QString kilt = QStringLiteral("B/24 W4 B24 R2 K24 G24 W/2");
    studio.editSett(kilt);
    const Sett typed = readSett(kilt).sett;
    const QImage modern = studio.state().repeat;
    studio.editYarn(YarnField::Width, QStringLiteral("28in"));
    studio.editYarn(YarnField::Length, QStringLiteral("8yd"));
    studio.editYarn(YarnField::Density, QStringLiteral("56/in"));
    for (const Scheme scheme : {Scheme::Faded, Scheme::Lighter, Scheme::Muted, Scheme::Modern}) {
        const quint64 edit = studio.state().edit;
        studio.setScheme(scheme);
        const Sett woven = inScheme(typed, scheme);
        const StudioState& state = studio.state();
        EXPECT_EQ(state.sett, typed);
        EXPECT_EQ(state.woven, woven);
        RenderRequest request;
        request.sett = woven;
        request.drawing = Drawing::Cloth;
        EXPECT_EQ(state.repeat, renderClothPicture(request).picture);
        EXPECT_EQ(studio.request(Drawing::Draft, PictureFormat::Png).sett, woven);
        EXPECT_EQ(studio.nearestQuestion().sett, woven);
        EXPECT_GT(state.edit, edit) << "the nearest setts are asked again";
        ASSERT_TRUE(state.yarnPlan);
        for (const YarnLine& line : state.yarnPlan->lines) {
            EXPECT_EQ(line.colour, inScheme(findSwatchByCode(line.code)->colour(), scheme));
        }
        for (const LegendColour& colour : studio.legend()) {
            EXPECT_EQ(colour.colour, inScheme(findSwatchByCode(colour.code)->colour(), scheme));
        }
    }
    EXPECT_EQ(studio.state().repeat, modern);
    // As woven, the view shows the scheme too: the tile the tool draws of the sett in it.
    studio.setScheme(Scheme::Faded);
    studio.setAsWoven(true);
    RenderRequest woven = studio.request(Drawing::AsWoven, PictureFormat::Png);
    woven.repeats = repeatsThatTile(woven.sett, woven.weave);
    woven.look.pixelsPerMm = 4 * studio.threadsPerMetre() / 1000;
    EXPECT_EQ(studio.shownTile(4).picture, renderClothPicture(woven).picture);
    studio.setScheme(Scheme::Muted);
    studio.editSett(QStringLiteral("K4 R4"));
    EXPECT_EQ(studio.state().woven, inScheme(readSett(u"K4 R4").sett, Scheme::Muted))
        << "the scheme stays for the next sett";
}
