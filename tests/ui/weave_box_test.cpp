// The weave picture fills its box exactly at every size a sett width gives it: no strip of the
// box's own face shows between the picture and the border.

#include "WindowFixture.h"

using namespace loomara;
using namespace loomara::testing;

TEST_F(WindowTest, WeaveBoxIsItsPictureAndBorderAtEverySettWidth) {
    const WeaveCanvas& canvas = window->designer().form.weavePicture;
    const int border = 2 * PictureBox::kBorderPixels;
    // Downwards, as a bar locked with no threads has no face left to click.
    for (int width = 200; width >= 0; --width) {
        type("Text1", QString::number(width));
        click("Picture136");
        click("WEAVE");
        ASSERT_EQ(text("Text230")->text(), QString::number(width));
        // Below the size of the border itself there is no room for a picture.
        const QSize box = picture("Picture135")->size();
        EXPECT_EQ(std::max(box.width() - border, 0), canvas.scaleWidth()) << "sett width " << width;
        EXPECT_EQ(std::max(box.height() - border, 0), canvas.scaleHeight())
            << "sett width " << width;
    }
}
