// The picture writer's record of a cloth's density, which a printer reads to print it at its
// true size.

#include "cloth/YarnPlan.h"
#include "render/Render.h"
#include "support/HeaderDensity.h"

#include <QImage>
#include <gtest/gtest.h>

#include <memory>

using namespace loomara;
using loomara::testing::headerDensity;

// Printed at the density its header records, each axis of the picture is as long as its threads
// at the cloth's density, in metres worked out here from the inch and the centimetre themselves;
// the record is rounded to a whole pixel a metre, so it may miss by half of one.
TEST(PictureFiles, AClothPrintedAtItsRecordedDensityHasItsTrueSizeBothWays) {
    struct Row {
        PictureFormat format;
        LengthUnit per;
        double threads;
        int scale;
    };
    const Row rows[]{
        {PictureFormat::Png, LengthUnit::Inch, 56, 1},
        {PictureFormat::Png, LengthUnit::Inch, 56, 3},
        {PictureFormat::Bitmap, LengthUnit::Inch, 10, 1},
        {PictureFormat::Bitmap, LengthUnit::Inch, 10, 3},
        {PictureFormat::Png, LengthUnit::Centimetre, 22, 1},
        {PictureFormat::Png, LengthUnit::Centimetre, 12.5, 3},
        {PictureFormat::Bitmap, LengthUnit::Centimetre, 7.3, 1},
        {PictureFormat::Bitmap, LengthUnit::Centimetre, 22, 3},
        {PictureFormat::Bitmap, LengthUnit::Inch, 2540, 1},
    };
    // Not square, so that the two axes cannot stand in for each other.
    RenderRequest request;
    request.drawing = Drawing::Cloth;
    request.sett = readSett(u"K/4 R6 W/2").sett;
    request.sett.ownWeft = std::make_shared<const Sett>(readSett(u"G/8 Y/3").sett);
    const double ends = 4 + 6 + 2 + 6;
    const double picks = 8 + 3;
    for (const Row& row : rows) {
        SCOPED_TRACE(QStringLiteral("%1 per %2, scale %3, %4")
                         .arg(row.threads)
                         .arg(row.per == LengthUnit::Inch ? "inch" : "cm")
                         .arg(row.scale)
                         .arg(row.format == PictureFormat::Png ? "PNG" : "BMP")
                         .toStdString());
        const double metresPerUnit = row.per == LengthUnit::Inch ? 0.0254 : 0.01;
        request.format = row.format;
        request.scale = row.scale;
        request.threadsPerMetre = Density{row.threads, row.per}.threadsPer(LengthUnit::Metre);
        const Rendered rendered = render(request, desktopColours());
        ASSERT_TRUE(rendered.ok());
        const QImage picture = QImage::fromData(rendered.bytes);
        const auto [across, down] = headerDensity(rendered.bytes);
        EXPECT_EQ(picture.dotsPerMeterX(), across);
        EXPECT_EQ(picture.dotsPerMeterY(), down);
        const auto expectTrueSize = [&](int pixels, int perMetre, double threads) {
            const double printed = pixels / static_cast<double>(perMetre);
            const double cloth = threads / row.threads * metresPerUnit;
            EXPECT_NEAR(printed / cloth, 1, 0.5 / perMetre + 1e-12)
                << printed << " m, not " << cloth;
        };
        expectTrueSize(picture.width(), across, ends);
        expectTrueSize(picture.height(), down, picks);
    }
}
