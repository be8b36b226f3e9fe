#include "EntryTestSupport.h"

#include "entry/SettWidth.h"
#include "model/SystemColours.h"

using namespace loomara;
using namespace loomara::testing;

TEST(SettWidth, TurnsGreenAbove199Only) {
    Designer d;
    typeAndLock(d, 1, "199");
    EXPECT_EQ(d.form.settWidth.text(), "199");
    EXPECT_EQ(d.form.settWidth.backColour(), FormState::kSettWidthYellow);
    typeAndLock(d, 2, "1");
    EXPECT_EQ(d.form.settWidth.text(), "200");
    EXPECT_EQ(d.form.settWidth.backColour(), FormState::kSettWidthGreen);
}

TEST(SettWidth, StaysGreenWhenTheSettNarrowsUntilClear) {
    Designer d;
    typeAndLock(d, 1, "250");
    EXPECT_EQ(d.form.settWidth.backColour(), FormState::kSettWidthGreen);
    typeAndLock(d, 1, "100");
    EXPECT_EQ(d.form.settWidth.text(), "100");
    EXPECT_EQ(d.form.settWidth.backColour(), FormState::kSettWidthGreen);
    d.clear();
    EXPECT_EQ(d.form.settWidth.text(), "0");
    EXPECT_EQ(d.form.settWidth.backColour(), FormState::kSettWidthYellow);
}

TEST(SettWidth, TypedTextIsReplacedAtOnceByTheTotal) {
    Designer d;
    typeAndLock(d, 1, "12");
    typeAndLock(d, 14, "30");
    for (const char* typed : {"abc", "", "12", "999", "-5"}) {
        d.typeSettWidth(QString::fromUtf8(typed));
        EXPECT_EQ(d.form.settWidth.text(), "42") << typed;
    }
    EXPECT_EQ(d.form.settWidth.backColour(), FormState::kSettWidthYellow);
}

TEST(SettWidth, APartialTotalOfTheFirstTenSlotsIsReplacedByTheWholeTotal) {
    Designer d;
    typeAndLock(d, 15, "150");
    typeAndLock(d, 2, "60"); // writes 60, the rule makes it 210
    EXPECT_EQ(d.form.settWidth.text(), "210");
    EXPECT_EQ(d.form.settWidth.backColour(), FormState::kSettWidthGreen);
}

TEST(SettWidth, TheRuleRunsOnceMoreNestedAndThenStops) {
    DesignState design;
    design.storeStripe(1, 5);
    TextBox box("0", FormState::kSettWidthYellow);
    int runs = 0;
    box.onChange = [&] {
        ++runs;
        applySettWidthRule(design, box);
    };
    box.setText("x"); // the edit, then the rule's own write
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(box.text(), "5");
}

TEST(SettWidth, ATotalPast16BitsLeavesTheBoxAsItIs) {
    // Only reachable by writing the slots directly: locking refuses such a sett.
    Designer d;
    for (int k = 1; k <= 11; ++k) {
        d.design.storeStripe(k, 3276);
    }
    d.typeSettWidth("typed");
    EXPECT_EQ(d.form.settWidth.text(), "typed");
    EXPECT_EQ(d.form.settWidth.backColour(), FormState::kSettWidthYellow);
}

TEST(Background, TakesTheCurrentColourAndNothingElse) {
    Designer d;
    EXPECT_EQ(d.form.backgroundColour, menuTextColour());
    d.selectSwatch(pictureOf("LB"));
    const EntrySnapshot before(d);
    d.takeBackgroundColour();
    EXPECT_EQ(d.form.backgroundColour, (Rgb{30, 125, 190}));
    EXPECT_EQ(EntrySnapshot(d), before);
}
