#include "entry/Designer.h"
#include "palette/PaletteSwatch.h"

#include <gtest/gtest.h>

using namespace loomara;

namespace {

int pictureOf(const char* code) {
    for (const auto& s : paletteSwatches()) {
        if (s.codeText() == QLatin1String(code)) {
            return s.pictureNumber;
        }
    }
    ADD_FAILURE() << "no swatch " << code;
    return 0;
}

} // namespace

TEST(SelectSwatch, SetsTheTableColourAndShowsTheCodeCaseKept) {
    Designer d;
    d.selectSwatch(pictureOf("K"));
    EXPECT_EQ(d.design.currentColour(), (Rgb{2, 2, 2}));
    EXPECT_EQ(d.design.currentCode, "K");
    EXPECT_EQ(d.form.colourName.text(), "Color K");
    d.selectSwatch(pictureOf("k"));
    EXPECT_EQ(d.design.currentColour(), (Rgb{0, 0, 0}));
    EXPECT_EQ(d.form.colourName.text(), "Color k");
    d.selectSwatch(pictureOf("LLP"));
    EXPECT_EQ(d.form.colourName.text(), "Color LLP");
}

TEST(SelectSwatch, SetsTheColourOfTheTableNotTheOneShown) {
    Designer d;
    d.selectSwatch(pictureOf("N"));
    EXPECT_EQ(d.design.currentColour(), (Rgb{147, 147, 147}));
    d.selectSwatch(pictureOf("y"));
    EXPECT_EQ(d.design.currentColour(), (Rgb{192, 192, 0}));
}

TEST(SelectSwatch, DogThenTChangesOnlyTheCode) {
    Designer d;
    d.selectSwatch(pictureOf("DOG"));
    d.selectSwatch(pictureOf("T"));
    EXPECT_EQ(d.design.currentColour(), (Rgb{95, 63, 0}));
    EXPECT_EQ(d.design.currentCode, "T");
    EXPECT_EQ(d.form.colourName.text(), "Color T");
}

TEST(SelectSwatch, EveryRowOfTheTableIsReachableByItsPicture) {
    Designer d;
    for (const auto& s : paletteSwatches()) {
        d.selectSwatch(s.pictureNumber);
        ASSERT_EQ(d.design.currentColour(), s.colour()) << s.code;
        ASSERT_EQ(d.design.currentCode, s.codeText());
    }
}

TEST(SelectSwatch, TouchesNothingButTheCurrentColourAndTheColourName) {
    Designer d;
    d.typeCount(1, "12");
    d.lockStripe(1);
    d.weave();
    const DesignState designBefore = d.design;
    const LockBox boxBefore = d.form.lockBox(1);
    const QString notationBefore = d.form.notation.text();
    const QString widthBefore = d.form.settWidth.text();
    const Rgb backgroundBefore = d.form.backgroundColour;
    const QImage pictureBefore = d.form.weavePicture.image();

    d.selectSwatch(pictureOf("RT"));
    d.selectSwatch(pictureOf("RT"));
    EXPECT_EQ(d.design.stripes, designBefore.stripes);
    EXPECT_EQ(d.form.lockBox(1), boxBefore);
    EXPECT_EQ(d.form.notation.text(), notationBefore);
    EXPECT_EQ(d.form.settWidth.text(), widthBefore);
    EXPECT_EQ(d.form.backgroundColour, backgroundBefore);
    EXPECT_EQ(d.form.weavePicture.image(), pictureBefore);
    EXPECT_EQ(d.design.currentColour(), (Rgb{249, 90, 49}));
    EXPECT_EQ(d.form.colourName.text(), "Color RT");
}

TEST(SelectSwatch, EditingTheColourNameChangesNoColourAndTheNextClickOverwritesIt) {
    Designer d;
    d.selectSwatch(pictureOf("G"));
    d.typeColourName("Color R");
    EXPECT_EQ(d.design.currentCode, "G");
    EXPECT_EQ(d.design.currentColour(), (Rgb{0, 71, 12}));
    d.selectSwatch(pictureOf("B"));
    EXPECT_EQ(d.form.colourName.text(), "Color B");
}

TEST(SelectSwatch, AnUnknownPictureChangesNothing) {
    Designer d;
    d.selectSwatch(pictureOf("RT"));
    d.selectSwatch(135);
    d.selectSwatch(999);
    EXPECT_EQ(d.design.currentCode, "RT");
    EXPECT_EQ(d.form.colourName.text(), "Color RT");
}
