#include "palette/PaletteSwatch.h"
#include "sett/Colourway.h"
#include "sett/SettText.h"
#include "support/RandomSett.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <cmath>
#include <random>

using namespace loomara;
using namespace loomara::testing;

namespace {

double chroma(const Lab& lab) {
    return std::hypot(lab[1], lab[2]);
}

} // namespace

TEST(Colourway, LabTakesEveryColourBackToItselfAndKeepsTheLightnessOfOnesNoScreenShows) {
    QRandomGenerator random(33);
    for (int i = 0; i < 2000; ++i) {
        const Rgb colour{static_cast<int16>(random.bounded(256)),
                         static_cast<int16>(random.bounded(256)),
                         static_cast<int16>(random.bounded(256))};
        ASSERT_EQ(rgbOfLab(labOf(colour)), colour) << colour.red << " " << colour.green;
        const Lab wild{random.bounded(100.0), random.bounded(256.0) - 128,
                       random.bounded(256.0) - 128};
        const Lab shown = labOf(rgbOfLab(wild));
        ASSERT_NEAR(shown[0], wild[0], 0.5) << wild[1] << " " << wild[2];
        ASSERT_LE(chroma(shown), chroma(wild) + 1);
    }
    EXPECT_EQ(rgbOfLab({140, 0, 0}), (Rgb{255, 255, 255}));
    EXPECT_EQ(rgbOfLab({-5, 60, 0}), (Rgb{0, 0, 0}));
}

TEST(Colourway, PairsChangeTheSettAtOnceSoTwoCodesSwap) {
    const auto swap = readRecolourings(u" K = R , R=K ");
    ASSERT_TRUE(std::holds_alternative<QList<Recolouring>>(swap));
    const Sett sett = readSett(u"K/4 R24 k8 Y/4").sett;
    EXPECT_EQ(recoloured(sett, std::get<0>(swap)), readSett(u"R/4 K24 k8 Y/4").sett);
}

// A colour lighter than another by a step anyone could see stays lighter in every scheme.
TEST(Colourway, SchemesKeepTheOrderOfLightness) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        const Sett sett = randomSett(random);
        EXPECT_EQ(inScheme(sett, Scheme::Modern), sett);
        for (const Scheme scheme : kSchemes) {
            const Sett shaded = inScheme(sett, scheme);
            for (qsizetype i = 0; i < sett.stripes.size(); ++i) {
                for (qsizetype j = 0; j < sett.stripes.size(); ++j) {
                    const auto lighter = [i, j](const Sett& s) {
                        return labOf(s.stripes[j].colour)[0] - labOf(s.stripes[i].colour)[0];
                    };
                    ASSERT_TRUE(lighter(sett) < 1 || lighter(shaded) > 0)
                        << schemeName(scheme).toStdString() << " " << lighter(sett) << " "
                        << lighter(shaded);
                }
            }
        }
    }
}

// Over the palette: lighter is never darker nor more colourful, muted keeps the lightness and
// dulls, and faded takes more from greens and blues than from reds, toward brown, not blue.
TEST(Colourway, EachSchemeMovesThePaletteAsItsNameSays) {
    for (const PaletteSwatch& swatch : paletteSwatches()) {
        const Lab lab = labOf(swatch.colour());
        const auto in = [&](Scheme scheme) { return labOf(inScheme(swatch.colour(), scheme)); };
        EXPECT_GE(in(Scheme::Lighter)[0], lab[0]) << swatch.code;
        EXPECT_LE(chroma(in(Scheme::Lighter)), chroma(lab) + 1) << swatch.code;
        EXPECT_NEAR(in(Scheme::Muted)[0], lab[0], 0.5) << swatch.code;
        EXPECT_LE(chroma(in(Scheme::Muted)), chroma(lab) + 1) << swatch.code;
        EXPECT_GE(in(Scheme::Faded)[0], lab[0] - 0.5) << swatch.code;
    }
    const auto kept = [](QStringView code) {
        const Rgb colour = findSwatchByCode(code)->colour();
        return chroma(labOf(inScheme(colour, Scheme::Faded))) / chroma(labOf(colour));
    };
    EXPECT_LT(kept(u"G"), kept(u"R") - 0.1);
    EXPECT_LT(kept(u"B"), kept(u"R") - 0.1);
    EXPECT_GT(labOf(inScheme(findSwatchByCode(u"G")->colour(), Scheme::Faded))[2], 0);
}
