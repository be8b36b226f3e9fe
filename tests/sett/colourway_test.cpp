#include "palette/PaletteSwatch.h"
#include "sett/Colourway.h"
#include "sett/SettText.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <algorithm>
#include <cmath>

using namespace loomara;

namespace {

const PaletteSwatch& anySwatch(QRandomGenerator& random) {
    const auto swatches = paletteSwatches();
    return swatches[random.bounded(static_cast<int>(swatches.size()))];
}

// A random sett of 1 to 30 stripes of up to six codes, symmetric or straight, with a weft of its
// own one time in three.
Sett randomSett(QRandomGenerator& random) {
    QList<const PaletteSwatch*> codes;
    for (int i = random.bounded(1, 7); i > 0; --i) {
        codes.append(&anySwatch(random));
    }
    const auto stripes = [&] {
        Sett sett;
        sett.repeat = random.bounded(2) ? Repeat::Straight : Repeat::Symmetric;
        for (int i = random.bounded(1, 31); i > 0; --i) {
            const PaletteSwatch* s = codes[random.bounded(static_cast<int>(codes.size()))];
            sett.stripes.append({s->codeText(), s->colour(), random.bounded(1, 60)});
        }
        return sett;
    };
    Sett sett = stripes();
    if (random.bounded(3) == 0) {
        sett.ownWeft = std::make_shared<const Sett>(stripes());
    }
    return sett;
}

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

// Two paths to one colourway: the stripes recoloured, and the sett written again with the new
// codes and read as a user's text.
TEST(Colourway, RecolouringIsTheSettRetypedWithTheNewCodes) {
    QRandomGenerator random(3);
    for (int round = 0; round < 300; ++round) {
        const Sett sett = randomSett(random);
        QList<Recolouring> pairs;
        for (const QString& code : settCodes(sett)) {
            if (random.bounded(2)) {
                pairs.append({code, anySwatch(random).codeText()});
            }
        }
        const auto retyped = [&pairs](Sett s) {
            for (SettStripe& stripe : s.stripes) {
                const auto pair =
                    std::find_if(pairs.begin(), pairs.end(),
                                 [&](const Recolouring& r) { return r.from == stripe.code; });
                stripe.code = pair == pairs.end() ? stripe.code : pair->to;
            }
            const SettReading reading = readSett(writtenForm(s));
            EXPECT_TRUE(reading.ok());
            return reading.sett;
        };
        Sett expected = retyped(sett);
        if (sett.ownWeft) {
            expected.ownWeft = std::make_shared<const Sett>(retyped(*sett.ownWeft));
        }
        ASSERT_FALSE(whyNotRecoloured(sett, pairs));
        ASSERT_EQ(recoloured(sett, pairs), expected) << writtenForm(sett).toStdString();
    }
}

TEST(Colourway, PairsChangeTheSettAtOnceSoTwoCodesSwap) {
    const auto swap = readRecolourings(u" K = R , R=K ");
    ASSERT_TRUE(std::holds_alternative<QList<Recolouring>>(swap));
    const Sett sett = readSett(u"K/4 R24 k8 Y/4").sett;
    EXPECT_EQ(recoloured(sett, std::get<0>(swap)), readSett(u"R/4 K24 k8 Y/4").sett);
}

// A colour lighter than another by a step anyone could see stays lighter in every scheme; each
// scheme does what its name says, and changes only the colours.
TEST(Colourway, SchemesKeepTheOrderOfLightness) {
    QRandomGenerator random(7);
    for (int round = 0; round < 200; ++round) {
        const Sett sett = randomSett(random);
        for (const Scheme scheme : kSchemes) {
            const Sett shaded = inScheme(sett, scheme);
            ASSERT_EQ(shaded.stripes.size(), sett.stripes.size());
            for (qsizetype i = 0; i < sett.stripes.size(); ++i) {
                ASSERT_EQ(shaded.stripes[i].code, sett.stripes[i].code);
                ASSERT_EQ(shaded.stripes[i].count, sett.stripes[i].count);
                for (qsizetype j = 0; j < sett.stripes.size(); ++j) {
                    const double before =
                        labOf(sett.stripes[j].colour)[0] - labOf(sett.stripes[i].colour)[0];
                    const double after =
                        labOf(shaded.stripes[j].colour)[0] - labOf(shaded.stripes[i].colour)[0];
                    ASSERT_TRUE(before < 1 || after > 0)
                        << schemeName(scheme).toStdString() << " " << before << " " << after;
                }
            }
            ASSERT_EQ(shaded.ownWeft != nullptr, sett.ownWeft != nullptr);
        }
        EXPECT_EQ(inScheme(sett, Scheme::Modern), sett);
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
