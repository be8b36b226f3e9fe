#include "EntryTestSupport.h"

using namespace loomara;
using namespace loomara::testing;

TEST(StripeLock, BeforeAnySwatchLocksBlackWithoutACode) {
    Designer d;
    typeAndLock(d, 1, "8");
    EXPECT_EQ(d.design.slot(1), (Stripe{8, 0, 0, 0}));
    EXPECT_EQ(d.form.notation.text(), "8, ");
    EXPECT_EQ(d.form.lockBox(1).backColour, (Rgb{0, 0, 0}));
    EXPECT_FALSE(d.form.lockBox(1).bordered);
    EXPECT_EQ(d.form.settWidth.text(), "8");
}

TEST(StripeLock, FirstThreeSlotsDockIntoAStripFrom120) {
    Designer d;
    d.selectSwatch(pictureOf("RT"));
    typeAndLock(d, 1, "4");
    d.selectSwatch(pictureOf("K"));
    typeAndLock(d, 2, "6");
    d.selectSwatch(pictureOf("G"));
    typeAndLock(d, 3, "10");
    EXPECT_EQ(d.form.lockBox(1).left, 120.0f);
    EXPECT_EQ(d.form.lockBox(1).width, 40.0f);
    EXPECT_EQ(d.form.lockBox(2).left, 160.0f);
    EXPECT_EQ(d.form.lockBox(2).width, 60.0f);
    EXPECT_EQ(d.form.lockBox(3).left, 220.0f);
    EXPECT_EQ(d.form.lockBox(3).width, 100.0f);
    // Top and height stay as designed.
    EXPECT_EQ(d.form.lockBox(3).top, 2160.0f);
    EXPECT_EQ(d.form.lockBox(3).height, 375.0f);
    EXPECT_EQ(d.form.lockBox(2).backColour, (Rgb{2, 2, 2}));
    EXPECT_EQ(d.design.slot(3), (Stripe{10, 0, 71, 12}));
    EXPECT_EQ(d.form.notation.text(), "RT4, K6, G10, ");
    EXPECT_EQ(d.form.settWidth.text(), "20");
}

TEST(StripeLock, CountsAreConvertedButTheNotationKeepsTheTextAsTyped) {
    Designer d;
    d.selectSwatch(pictureOf("W"));
    typeAndLock(d, 1, "2.5");
    EXPECT_EQ(d.design.slot(1).threadCount, 2);
    EXPECT_EQ(d.form.lockBox(1).width, 20.0f);
    typeAndLock(d, 2, " 7 ");
    EXPECT_EQ(d.design.slot(2).threadCount, 7);
    typeAndLock(d, 3, "3.5");
    EXPECT_EQ(d.design.slot(3).threadCount, 4);
    EXPECT_EQ(d.form.notation.text(), "W2.5, W 7 , W3.5, ");
    EXPECT_EQ(d.form.settWidth.text(), "13");
}

TEST(StripeLock, ZeroCountLeavesAnInvisibleBarAndTheNextDocksOnIt) {
    Designer d;
    typeAndLock(d, 1, "5");
    d.selectSwatch(pictureOf("R"));
    typeAndLock(d, 2, "0");
    typeAndLock(d, 3, "3");
    EXPECT_EQ(d.form.lockBox(2).width, 0.0f);
    EXPECT_EQ(d.form.lockBox(2).left, 170.0f);
    EXPECT_EQ(d.form.lockBox(3).left, 170.0f);
    EXPECT_EQ(d.design.slot(2), (Stripe{0, 165, 0, 0}));
    EXPECT_EQ(d.form.notation.text(), "5, R0, R3, ");
}

TEST(StripeLock, TheLargestCountFillsA16BitBar) {
    Designer d;
    typeAndLock(d, 4, "3276");
    EXPECT_EQ(d.form.lockBox(4).width, 32760.0f);
    EXPECT_EQ(d.form.lockBox(4).left, 5400.0f + 2 * 300 + 255);
    EXPECT_EQ(d.design.slot(4).threadCount, 3276);
    typeAndLock(d, 4, "3276.5"); // the even neighbour
    EXPECT_EQ(d.design.slot(4).threadCount, 3276);
}

TEST(StripeLock, ABoxLockedBeforeItsNeighbourDocksOnTheNeighbourAsDesigned) {
    Designer d;
    typeAndLock(d, 5, "2");
    EXPECT_EQ(d.form.lockBox(5).left, 6300.0f + 255);
    // Slot 18 stands off the 300-twip pitch, and slot 19 docks against it where it stands.
    typeAndLock(d, 19, "2");
    EXPECT_EQ(d.form.lockBox(19).left, 10470.0f + 255);
    // Slot 11 onwards write the total of the whole sett.
    EXPECT_EQ(d.form.settWidth.text(), "4");
}

TEST(StripeLock, RelockingMovesOnlyTheClickedBarAndAppendsToTheNotation) {
    Designer d;
    typeAndLock(d, 1, "4");
    typeAndLock(d, 2, "6");
    typeAndLock(d, 3, "10");
    d.selectSwatch(pictureOf("Y"));
    typeAndLock(d, 2, "20");
    EXPECT_EQ(d.form.lockBox(2).left, 160.0f);
    EXPECT_EQ(d.form.lockBox(2).width, 200.0f);
    EXPECT_EQ(d.form.lockBox(3).left, 220.0f); // now overlapped until it is locked again
    EXPECT_EQ(d.form.lockBox(2).backColour, (Rgb{231, 191, 0}));
    EXPECT_EQ(d.form.notation.text(), "4, 6, 10, Y20, ");
    EXPECT_EQ(d.form.settWidth.text(), "34");
}

TEST(StripeLock, RelockingSlotOneRestartsTheNotationAndKeepsTheOtherSlots) {
    Designer d;
    typeAndLock(d, 1, "4");
    typeAndLock(d, 2, "6");
    typeAndLock(d, 3, "10");
    d.selectSwatch(pictureOf("B"));
    typeAndLock(d, 1, "8");
    EXPECT_EQ(d.form.notation.text(), "B8, ");
    EXPECT_EQ(d.design.slot(2).threadCount, 6);
    EXPECT_EQ(d.design.slot(3).threadCount, 10);
    EXPECT_EQ(d.form.lockBox(2).left, 160.0f);
    EXPECT_EQ(d.form.lockBox(3).left, 220.0f);
    // "8" differs from the "20" shown, so the change rule replaces it by the whole total.
    EXPECT_EQ(d.form.settWidth.text(), "24");
}

TEST(StripeLock, APartialTotalEqualToTheTextShownIsLeftStanding) {
    Designer d;
    typeAndLock(d, 3, "8"); // the box shows 8: the total of slots 1..3
    // Slot 1's count equals the text shown, so no change happens and the total is not redone.
    typeAndLock(d, 1, "8");
    EXPECT_EQ(d.form.settWidth.text(), "8");
    EXPECT_EQ(*d.design.threadCountTotal(21), 16);
    // The next lock of a later slot sets it right again.
    typeAndLock(d, 12, "0");
    EXPECT_EQ(d.form.settWidth.text(), "16");
}

TEST(StripeLock, UnusableCountsAreRefusedWithTheSlotAndTheReasonAndChangeNothing) {
    struct Case {
        const char* count;
        const char* message;
    };
    const Case cases[] = {
        {"", "Slot 5: the count box is empty; type a whole thread count from 0 to 3276 before "
             "locking."},
        {"   ", "Slot 5: the count box is empty; type a whole thread count from 0 to 3276 "
                "before locking."},
        {"abc", "Slot 5: the count is not a number; type a whole thread count from 0 to 3276 "
                "before locking."},
        {"1e3", "Slot 5: the count is not a number; type a whole thread count from 0 to 3276 "
                "before locking."},
        {"2,5", "Slot 5: the count is not a number; type a whole thread count from 0 to 3276 "
                "before locking."},
        {"-1", "Slot 5: a thread count cannot be negative; type a whole thread count from 0 to "
               "3276 before locking."},
        {"3277", "Slot 5: a thread count above 3276 does not fit the strip; type a whole thread "
                 "count from 0 to 3276 before locking."},
        {"3276.51", "Slot 5: a thread count above 3276 does not fit the strip; type a whole "
                    "thread count from 0 to 3276 before locking."},
        {"40000", "Slot 5: a thread count above 3276 does not fit the strip; type a whole thread "
                  "count from 0 to 3276 before locking."},
    };
    for (const Case& c : cases) {
        Designer d;
        d.selectSwatch(pictureOf("RT"));
        typeAndLock(d, 4, "250"); // green, so a colour change would show
        typeAndLock(d, 5, "7");
        d.selectSwatch(pictureOf("K"));
        d.typeCount(5, c.count);
        const EntrySnapshot before(d);
        const auto refused = d.lockStripe(5);
        ASSERT_TRUE(refused) << c.count;
        EXPECT_EQ(*refused, QString::fromUtf8(c.message));
        EXPECT_EQ(EntrySnapshot(d), before) << c.count;
    }
}

TEST(StripeLock, ACountThatWouldPushTheSettPast32767IsRefused) {
    Designer d;
    for (int k = 1; k <= 9; ++k) {
        typeAndLock(d, k, "3276");
    }
    typeAndLock(d, 10, "3276");
    typeAndLock(d, 11, "7"); // 32760 + 7
    EXPECT_EQ(d.form.settWidth.text(), "32767");

    d.typeCount(21, "1");
    const EntrySnapshot before(d);
    const auto refused = d.lockStripe(21);
    ASSERT_TRUE(refused);
    EXPECT_EQ(*refused, "Slot 21: the sett would be wider than 32767 threads; lower a thread "
                        "count before locking.");
    EXPECT_EQ(EntrySnapshot(d), before);

    // Lowering a slot that is already counted is still allowed, and so is locking 0.
    typeAndLock(d, 21, "0");
    typeAndLock(d, 11, "6");
    EXPECT_EQ(d.form.settWidth.text(), "32766");
    typeAndLock(d, 21, "1");
    EXPECT_EQ(d.form.settWidth.text(), "32767");
}

TEST(StripeLock, ARefusedSlotOneKeepsTheNotation) {
    Designer d;
    typeAndLock(d, 1, "4");
    typeAndLock(d, 2, "6");
    d.typeCount(1, "four");
    const EntrySnapshot before(d);
    EXPECT_TRUE(d.lockStripe(1));
    EXPECT_EQ(EntrySnapshot(d), before);
    EXPECT_EQ(d.form.notation.text(), "4, 6, ");
}

TEST(StripeLock, SlotTenIsTheLastToWriteItsPartialTotal) {
    // Slot 11 writes the whole total, 5. Slot 10 then writes the total of slots 1..10, also 5:
    // no change, so the rule does not run and the box keeps 5 although the sett is 10 wide.
    Designer d;
    typeAndLock(d, 11, "5");
    EXPECT_EQ(d.form.settWidth.text(), "5");
    typeAndLock(d, 10, "5");
    EXPECT_EQ(d.form.settWidth.text(), "5");
    EXPECT_EQ(*d.design.threadCountTotal(21), 10);
}

TEST(StripeLock, TheWholeSettBoundsEveryLockNotOnlyTheSlotsBeforeIt) {
    // Slots 12..21 already hold 32760 threads: a lock of an earlier slot whose own partial total
    // is small must still be refused once the whole sett would pass 32767.
    for (const int slot : {1, 2, 10, 11}) {
        SCOPED_TRACE(slot);
        Designer d;
        for (int k = 12; k <= 21; ++k) {
            typeAndLock(d, k, "3276");
        }
        typeAndLock(d, slot, "7");
        EXPECT_EQ(*d.design.threadCountTotal(21), 32767);
        d.typeCount(slot, "8");
        const EntrySnapshot before(d);
        const auto refused = d.lockStripe(slot);
        ASSERT_TRUE(refused);
        EXPECT_EQ(*refused, QStringLiteral("Slot %1: the sett would be wider than 32767 threads; "
                                           "lower a thread count before locking.")
                                .arg(slot));
        EXPECT_EQ(EntrySnapshot(d), before);
    }
}
