// A double-click on a box that answers clicks clicks it once, whatever the click did to the box
// under the pointer; a separate click afterwards clicks again.

#include "WindowFixture.h"

using namespace loomara;
using namespace loomara::testing;

namespace {

class DoubleClick : public WindowTest {
protected:
    // Where the box's centre lies in the window, for events that go the whole way from the
    // window system: that is where a second press is told to be a double-click.
    QPoint centreOf(const QString& name) const {
        QWidget* box = get(name);
        return box->mapTo(window.get(), box->rect().center());
    }

    // Through the window system, which tells the second press from a click by its time and
    // place; the box gets a press, a release, a double-click and a release.
    void doubleClick(const QString& name) const {
        QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, {}, centreOf(name));
    }

    void separateClick(const QString& name) const {
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, centreOf(name));
    }
};

} // namespace

TEST_F(DoubleClick, LocksASlotOnceAndSelectsASwatchOnce) {
    click("Picture161"); // "k"
    type("Text1", "8");
    click("Picture136");
    type("Text2", "700");
    takeHandlers();

    // The first click grows slot 2's bar under the pointer; the second press is no click.
    doubleClick("Picture137");
    EXPECT_EQ(text("Text150")->text(), "k8, k700, ");
    EXPECT_EQ(takeHandlers(), QStringList{"Picture137"});
    separateClick("Picture137");
    EXPECT_EQ(text("Text150")->text(), "k8, k700, k700, ");
    EXPECT_EQ(takeHandlers(), QStringList{"Picture137"});

    doubleClick("Picture159"); // "r"
    EXPECT_EQ(takeHandlers(), QStringList{"Picture159"});
    separateClick("Picture159");
    EXPECT_EQ(takeHandlers(), QStringList{"Picture159"});
    EXPECT_EQ(text("Text110")->text(), "Color r");
}
