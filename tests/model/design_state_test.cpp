#include "model/DesignState.h"
#include "model/Int16.h"
#include "model/TextBox.h"

#include <gtest/gtest.h>

using namespace loomara;

TEST(Int16, CheckedArithmeticReportsOverflowInsteadOfWrapping) {
    EXPECT_EQ(checkedAdd16(32766, 1), std::optional<int16>(32767));
    EXPECT_FALSE(checkedAdd16(32767, 1));
    EXPECT_FALSE(checkedAdd16(-32768, -1));
    EXPECT_EQ(checkedMul16(3276, 10), std::optional<int16>(32760));
    EXPECT_FALSE(checkedMul16(3277, 10));
    EXPECT_EQ(checkedMul16(-3276, 10), std::optional<int16>(-32760));
}

TEST(DesignState, StartsZeroedWithBlackCurrentColourAndNoCode) {
    const DesignState d;
    EXPECT_EQ(d.currentColour(), (Rgb{0, 0, 0}));
    EXPECT_TRUE(d.currentCode.isEmpty());
    for (int k = 1; k <= DesignState::kSlotCount; ++k) {
        EXPECT_EQ(d.slot(k), Stripe{});
    }
}

TEST(DesignState, StoreStripeCopiesTheCurrentColourIntoOnlyThatSlot) {
    DesignState d;
    d.setCurrentColour(249, 90, 49, "RT");
    d.storeStripe(3, 8);
    EXPECT_EQ(d.slot(3), (Stripe{8, 249, 90, 49}));
    EXPECT_EQ(d.slot(2), Stripe{});
    EXPECT_EQ(d.currentCode, "RT");
}

TEST(DesignState, ClearThreadCountsKeepsEveryColour) {
    DesignState d;
    d.setCurrentColour(10, 20, 30, "X");
    d.storeStripe(1, 5);
    d.storeStripe(21, 7);
    d.clearThreadCounts();
    EXPECT_EQ(d.slot(1), (Stripe{0, 10, 20, 30}));
    EXPECT_EQ(d.slot(21), (Stripe{0, 10, 20, 30}));
    EXPECT_EQ(d.currentColour(), (Rgb{10, 20, 30}));
}

TEST(DesignState, ShadeShiftClampsEachComponentOnItsOwnIncludingEmptySlots) {
    DesignState d;
    d.setCurrentColour(200, 100, 0, "");
    d.storeStripe(1, 10);
    d.setCurrentColour(240, 20, 255, "");
    d.storeStripe(2, 0);
    d.shiftStripeShades(30);
    EXPECT_EQ(d.slot(1).colour(), (Rgb{230, 130, 30}));
    EXPECT_EQ(d.slot(2).colour(), (Rgb{255, 50, 255}));
    EXPECT_EQ(d.slot(3).colour(), (Rgb{30, 30, 30}));
    d.shiftStripeShades(-30);
    d.shiftStripeShades(-30);
    EXPECT_EQ(d.slot(1).colour(), (Rgb{170, 70, 0}));
    EXPECT_EQ(d.slot(2).colour(), (Rgb{195, 0, 195}));
    EXPECT_EQ(d.currentColour(), (Rgb{240, 20, 255}));
}

TEST(DesignState, ThreadCountTotalAtThe16BitEdge) {
    DesignState d;
    for (int k = 1; k <= 10; ++k) {
        d.storeStripe(k, 3276);
    }
    d.storeStripe(11, 7); // 32760 + 7 = 32767
    EXPECT_EQ(d.threadCountTotal(21), std::optional<int16>(32767));
    EXPECT_EQ(d.threadCountTotal(2), std::optional<int16>(6552));
    d.storeStripe(12, 1);
    EXPECT_FALSE(d.threadCountTotal(21));
    EXPECT_EQ(d.threadCountTotal(11), std::optional<int16>(32767));
    EXPECT_EQ(d.slot(12).threadCount, 1); // a total only reads
}

TEST(TextBox, ChangeCallbackRunsOnlyOnARealChange) {
    TextBox box("0");
    int changes = 0;
    box.onChange = [&] { ++changes; };
    box.setText("0");
    EXPECT_EQ(changes, 0);
    box.setText("12");
    EXPECT_EQ(changes, 1);
    box.reset("0", {});
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(box.text(), "0");
}
