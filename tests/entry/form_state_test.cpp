#include "entry/FormState.h"
#include "model/SystemColours.h"

#include <gtest/gtest.h>

using namespace loomara;

TEST(FormState, StartsAsDesigned) {
    const FormState f;
    for (int k = 1; k <= DesignState::kSlotCount; ++k) {
        EXPECT_EQ(f.countBox(k).text(), "0");
        const LockBox& box = f.lockBox(k);
        EXPECT_EQ(box.top, 2160.0f);
        EXPECT_EQ(box.width, 255.0f);
        EXPECT_EQ(box.height, 375.0f);
        EXPECT_FALSE(box.backColour);
        EXPECT_TRUE(box.bordered);
    }
    EXPECT_EQ(f.lockBox(1).left, 5400.0f);
    EXPECT_EQ(f.lockBox(2).left, 5700.0f);
    EXPECT_EQ(f.lockBox(17).left, 10200.0f);
    EXPECT_EQ(f.lockBox(18).left, 10470.0f);
    EXPECT_EQ(f.lockBox(19).left, 10800.0f);
    EXPECT_EQ(f.lockBox(21).left, 11400.0f);
    EXPECT_EQ(f.notation.text(), "");
    EXPECT_EQ(f.colourName.text(), "");
    EXPECT_EQ(f.settWidth.text(), "0");
    EXPECT_EQ(f.settWidth.backColour(), (Rgb{255, 255, 128}));
    EXPECT_EQ(f.backgroundColour, menuTextColour());
    EXPECT_EQ(f.weavePicture.width(), WeaveCanvas::kDesignWidthTwips);
    EXPECT_EQ(f.weavePicture.height(), WeaveCanvas::kDesignHeightTwips);
    EXPECT_EQ(f.weavePicture.backColour(), buttonFaceColour());
    EXPECT_FALSE(f.weavePicture.hasPicture());
}

TEST(FormState, CountTextsAreInSlotOrderAsTyped) {
    FormState f;
    f.countBox(1).setText("4");
    f.countBox(21).setText(" 2.5 ");
    const auto texts = f.countTexts();
    EXPECT_EQ(texts[0], "4");
    EXPECT_EQ(texts[1], "0");
    EXPECT_EQ(texts[20], " 2.5 ");
}

TEST(FormState, ResetToDesignRestoresEverythingWithoutRaisingChanges) {
    FormState f;
    int changes = 0;
    f.settWidth.onChange = [&] { ++changes; };
    f.countBox(3).onChange = [&] { ++changes; };
    f.countBox(3).setText("12");
    f.lockBox(3) = LockBox{120, 2160, 40, 375, Rgb{1, 2, 3}, false};
    f.notation.setText("K4, ");
    f.settWidth.setText("250");
    f.settWidth.setBackColour(FormState::kSettWidthGreen);
    f.colourName.setText("Color K");
    f.backgroundColour = {9, 9, 9};
    f.weavePicture.setWidth(2000);
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    f.weavePicture.setPicture(picture);
    f.weavePicture.line(0, 0, 5, 0, {255, 0, 0});
    changes = 0;

    f.resetToDesign();
    EXPECT_EQ(changes, 0);
    const FormState designed;
    EXPECT_EQ(f.countTexts(), designed.countTexts());
    EXPECT_EQ(f.lockBoxes, designed.lockBoxes);
    EXPECT_EQ(f.notation.text(), "");
    EXPECT_EQ(f.settWidth.text(), "0");
    EXPECT_EQ(f.settWidth.backColour(), FormState::kSettWidthYellow);
    EXPECT_EQ(f.colourName.text(), "");
    EXPECT_EQ(f.backgroundColour, designed.backgroundColour);
    EXPECT_EQ(f.weavePicture.width(), WeaveCanvas::kDesignWidthTwips);
    EXPECT_FALSE(f.weavePicture.hasPicture());
    EXPECT_EQ(f.weavePicture.image(), designed.weavePicture.image());
    // The callbacks stay installed.
    f.settWidth.setText("1");
    EXPECT_EQ(changes, 1);
}
