#include "entry/Designer.h"

#include <gtest/gtest.h>

using namespace loomara;

namespace {

// Locks slot k with the given count in the given colour.
void lockIn(Designer& d, int k, Rgb colour, const QString& count) {
    d.design.setCurrentColour(colour.red, colour.green, colour.blue, "X");
    d.typeCount(k, count);
    ASSERT_FALSE(d.lockStripe(k));
}

} // namespace

TEST(Shades, OneStepOf30EachWay) {
    Designer bright;
    lockIn(bright, 1, {200, 100, 0}, "8");
    bright.brighten();
    EXPECT_EQ(bright.design.slot(1).colour(), (Rgb{230, 130, 30}));

    Designer dark;
    lockIn(dark, 1, {200, 100, 0}, "8");
    dark.darken();
    EXPECT_EQ(dark.design.slot(1).colour(), (Rgb{170, 70, 0}));
}

TEST(Shades, ClampAtTheBoundsSoTheyAreNotInverses) {
    Designer d;
    lockIn(d, 1, {240, 20, 128}, "8");
    d.brighten();
    EXPECT_EQ(d.design.slot(1).colour(), (Rgb{255, 50, 158}));
    d.brighten();
    EXPECT_EQ(d.design.slot(1).colour(), (Rgb{255, 80, 188}));

    Designer e;
    lockIn(e, 1, {240, 20, 128}, "8");
    e.darken();
    EXPECT_EQ(e.design.slot(1).colour(), (Rgb{210, 0, 98}));
    e.brighten();
    EXPECT_EQ(e.design.slot(1).colour(), (Rgb{240, 30, 128}));
}

TEST(Shades, ShiftEmptySlotsAndLeaveCountsBarsNotationAndCurrentColour) {
    Designer d;
    lockIn(d, 1, {100, 100, 100}, "0");
    lockIn(d, 2, {10, 20, 30}, "5");
    const auto boxes = d.form.lockBoxes;
    const QString notation = d.form.notation.text();
    d.brighten();
    EXPECT_EQ(d.design.slot(1), (Stripe{0, 130, 130, 130}));
    EXPECT_EQ(d.design.slot(2), (Stripe{5, 40, 50, 60}));
    EXPECT_EQ(d.design.slot(21), (Stripe{0, 30, 30, 30}));
    EXPECT_EQ(d.form.lockBoxes, boxes);
    EXPECT_EQ(d.form.lockBox(2).backColour, (Rgb{10, 20, 30}));
    EXPECT_EQ(d.form.notation.text(), notation);
    EXPECT_EQ(d.design.currentColour(), (Rgb{10, 20, 30}));
}

TEST(Shades, RelockingAfterBrightenTakesTheUnshiftedCurrentColour) {
    Designer d;
    lockIn(d, 1, {100, 0, 0}, "4");
    lockIn(d, 2, {0, 100, 0}, "4");
    d.brighten();
    d.lockStripe(2);
    EXPECT_EQ(d.design.slot(2).colour(), (Rgb{0, 100, 0}));
    EXPECT_EQ(d.design.slot(1).colour(), (Rgb{130, 30, 30}));
}

TEST(Shades, SurviveClear) {
    Designer d;
    lockIn(d, 3, {50, 50, 50}, "4");
    d.darken();
    d.clear();
    EXPECT_EQ(d.design.slot(3), (Stripe{0, 20, 20, 20}));
}
