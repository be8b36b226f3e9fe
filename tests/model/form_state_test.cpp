#include "model/FormState.h"
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
    EXPECT_EQ(f.text150.text(), "");
    EXPECT_EQ(f.text110.text(), "");
    EXPECT_EQ(f.text230.text(), "0");
    EXPECT_EQ(f.text230.backColour(), (Rgb{255, 255, 128}));
    EXPECT_EQ(f.picture246BackColour, menuTextColour());
    EXPECT_EQ(f.picture135.width(), WeaveCanvas::kDesignWidthTwips);
    EXPECT_EQ(f.picture135.height(), WeaveCanvas::kDesignHeightTwips);
    EXPECT_EQ(f.picture135.backColour(), buttonFaceColour());
    EXPECT_FALSE(f.picture135.hasPicture());
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
    f.text230.onChange = [&] { ++changes; };
    f.countBox(3).onChange = [&] { ++changes; };
    f.countBox(3).setText("12");
    f.lockBox(3) = LockBox{120, 2160, 40, 375, Rgb{1, 2, 3}, false};
    f.text150.setText("K4, ");
    f.text230.setText("250");
    f.text230.setBackColour(FormState::kSettWidthGreen);
    f.text110.setText("Color K");
    f.picture246BackColour = {9, 9, 9};
    f.picture135.setWidth(2000);
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    f.picture135.setPicture(picture);
    f.picture135.line(0, 0, 5, 0, {255, 0, 0});
    changes = 0;

    f.resetToDesign();
    EXPECT_EQ(changes, 0);
    const FormState designed;
    EXPECT_EQ(f.countTexts(), designed.countTexts());
    EXPECT_EQ(f.lockBoxes, designed.lockBoxes);
    EXPECT_EQ(f.text150.text(), "");
    EXPECT_EQ(f.text230.text(), "0");
    EXPECT_EQ(f.text230.backColour(), FormState::kSettWidthYellow);
    EXPECT_EQ(f.text110.text(), "");
    EXPECT_EQ(f.picture246BackColour, designed.picture246BackColour);
    EXPECT_EQ(f.picture135.width(), WeaveCanvas::kDesignWidthTwips);
    EXPECT_FALSE(f.picture135.hasPicture());
    EXPECT_EQ(f.picture135.image(), designed.picture135.image());
    // The callbacks stay installed.
    f.text230.setText("1");
    EXPECT_EQ(changes, 1);
}
