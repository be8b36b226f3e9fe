#include "EntryTestSupport.h"

using namespace loomara;
using namespace loomara::testing;

TEST(DesignerWeave, ReadsTheSettWidthAndTheBackgroundFromTheForm) {
    Designer d;
    d.selectSwatch(pictureOf("W"));
    d.takeBackgroundColour();
    d.selectSwatch(pictureOf("K"));
    typeAndLock(d, 1, "100"); // narrower than 160: the picture shrinks to 100/150
    d.weave();
    EXPECT_EQ(d.form.weavePicture.backColour(), (Rgb{250, 250, 250}));
    EXPECT_FLOAT_EQ(d.form.weavePicture.width(), WeaveCanvas::kDesignWidthTwips * 100 / 150);
    EXPECT_FLOAT_EQ(d.form.weavePicture.height(), WeaveCanvas::kDesignHeightTwips * 100 / 150);
}

TEST(DesignerWeave, AWideSettKeepsTheDesignSizeAndDraws) {
    Designer d;
    const QImage blank = d.form.weavePicture.image();
    d.selectSwatch(pictureOf("R"));
    typeAndLock(d, 1, "200");
    d.weave();
    EXPECT_EQ(d.form.weavePicture.width(), WeaveCanvas::kDesignWidthTwips);
    EXPECT_EQ(d.form.weavePicture.height(), WeaveCanvas::kDesignHeightTwips);
    EXPECT_NE(d.form.weavePicture.image(), blank);
}

TEST(DesignerWeave, WeavingAfterClearWithNothingLockedDoesNotFail) {
    Designer d;
    typeAndLock(d, 1, "40");
    d.weave();
    d.clear();
    d.weave();
    EXPECT_EQ(d.form.settWidth.text(), "0");
    EXPECT_EQ(d.form.weavePicture.scaleWidth(), 0);
}
