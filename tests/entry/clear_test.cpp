#include "EntryTestSupport.h"

#include "model/SystemColours.h"

using namespace loomara;
using namespace loomara::testing;

namespace {

// A designer with a few locked stripes, a background, a weave and a loaded picture.
void buildADesign(Designer& d) {
    d.selectSwatch(pictureOf("RT"));
    typeAndLock(d, 1, "120");
    d.selectSwatch(pictureOf("G"));
    typeAndLock(d, 2, "90");
    d.takeBackgroundColour();
    d.selectSwatch(pictureOf("LB"));
    d.weave();
    QImage background(8, 8, QImage::Format_RGB32);
    background.fill(Qt::red);
    d.form.weavePicture.setPicture(background);
    d.form.weavePicture.setWidth(3000);
}

} // namespace

TEST(Clear, PutsEveryControlBackAsDesigned) {
    Designer d;
    buildADesign(d);
    d.clear();
    const FormState designed;
    for (int k = 1; k <= DesignState::kSlotCount; ++k) {
        EXPECT_EQ(d.form.countBox(k).text(), "0");
        EXPECT_EQ(d.form.lockBox(k), FormState::designLockBox(k)) << k;
    }
    EXPECT_EQ(d.form.notation.text(), "");
    EXPECT_EQ(d.form.colourName.text(), "");
    EXPECT_EQ(d.form.settWidth.text(), "0");
    EXPECT_EQ(d.form.settWidth.backColour(), FormState::kSettWidthYellow);
    EXPECT_EQ(d.form.backgroundColour, designed.backgroundColour);
    EXPECT_EQ(d.form.weavePicture.width(), WeaveCanvas::kDesignWidthTwips);
    EXPECT_EQ(d.form.weavePicture.height(), WeaveCanvas::kDesignHeightTwips);
    EXPECT_FALSE(d.form.weavePicture.hasPicture());
    EXPECT_EQ(d.form.weavePicture.backColour(), buttonFaceColour());
    EXPECT_EQ(d.form.weavePicture.image(), designed.weavePicture.image());
}

TEST(Clear, ZeroesTheCountsButKeepsEveryColourAndTheCurrentColour) {
    Designer d;
    buildADesign(d);
    d.clear();
    EXPECT_EQ(d.design.slot(1), (Stripe{0, 249, 90, 49}));
    EXPECT_EQ(d.design.slot(2), (Stripe{0, 0, 71, 12}));
    EXPECT_EQ(d.design.currentColour(), (Rgb{30, 125, 190}));
    EXPECT_EQ(d.design.currentCode, "LB");
}

TEST(Clear, LocksAndTheBackgroundAfterwardsUseTheColourPickedBefore) {
    Designer d;
    buildADesign(d);
    d.clear();
    typeAndLock(d, 2, "6");
    EXPECT_EQ(d.design.slot(2), (Stripe{6, 30, 125, 190}));
    EXPECT_EQ(d.form.notation.text(), "LB6, ");
    EXPECT_EQ(d.form.lockBox(2).left, 5400.0f + 255); // slot 1 is unlocked again
    EXPECT_EQ(d.form.settWidth.text(), "6");
    d.takeBackgroundColour();
    EXPECT_EQ(d.form.backgroundColour, (Rgb{30, 125, 190}));
}

TEST(Clear, KeepsTheSettWidthRuleWorking) {
    Designer d;
    buildADesign(d);
    d.clear();
    d.typeSettWidth("abc");
    EXPECT_EQ(d.form.settWidth.text(), "0");
    typeAndLock(d, 12, "300");
    EXPECT_EQ(d.form.settWidth.text(), "300");
    EXPECT_EQ(d.form.settWidth.backColour(), FormState::kSettWidthGreen);
}
