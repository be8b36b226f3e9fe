// loomara-render's cloth as it will look: what it takes unless told and says so, the yarn, the
// backing and the size it is given, and what it refuses.

#include "RenderTestSupport.h"
#include "cloth/AsWoven.h"
#include "cloth/YarnSize.h"
#include "sett/SettText.h"

#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace loomara;
using namespace loomara::testing;

namespace {

const QString kKilt = QStringLiteral("B/24 W4 B24 R2 K24 G24 W/2");

} // namespace

// Unless told, a kilt's density, the yarn that weaves it firm and six pixels a thread, each
// named on standard error; the file records its size, and the same run writes the same bytes.
TEST(RenderAsWoven, WhatIsTakenUnlessToldIsSaid) {
    QTemporaryDir dir;
    const QString file = dir.filePath("woven.png");
    const RenderRun run = render({kKilt, "--cloth", "--as-woven", "-o", file});
    ASSERT_EQ(run.status, kRenderDone) << run.err.toStdString();
    const QStringList notes = run.errLines();
    ASSERT_EQ(notes.size(), 2) << run.err.toStdString();
    EXPECT_TRUE(notes[0].contains("56 threads to the inch")) << notes[0].toStdString();
    EXPECT_TRUE(notes[1].contains("Nm 2/35, 0.30 mm across and 0.38 mm")) << notes[1].toStdString();
    const QByteArray bytes = readFile(file);
    const QImage picture = QImage::fromData(bytes);
    EXPECT_EQ(picture.size(), QSize(1156, 1156)); // 182 threads at 14 px/mm, 56 to 25.4 mm
    EXPECT_EQ(picture.dotsPerMeterX(), 14'000);
    EXPECT_EQ(picture.dotsPerMeterY(), 14'000);
    ASSERT_EQ(render({kKilt, "--cloth", "--as-woven", "-o", file}).status, kRenderDone);
    EXPECT_TRUE(readFile(file) == bytes);
}

// What is given is what is drawn: the densities each way, the yarn flattened in the cloth, the
// backing's colour and the pixels to the millimetre, in the weave asked for.
TEST(RenderAsWoven, WhatIsGivenIsWhatIsDrawn) {
    QTemporaryDir dir;
    const QString file = dir.filePath("woven.png");
    const RenderRun run =
        render({"K/4 R24 K24 Y/4", "--as-woven", "--threads-per-cm", "20",
                "--weft-threads-per-inch", "40", "--yarn-size", "Nm 2/28", "--backing", "R",
                "--pixels-per-mm", "9.5", "--weave", "plain", "--repeats", "2", "-o", file});
    ASSERT_EQ(run.status, kRenderDone) << run.err.toStdString();
    EXPECT_EQ(run.errLines(),
              QStringList{"loomara-render: the yarn Nm 2/28 is 0.34 mm across and 0.42 mm as it "
                          "lies flattened in the cloth."});
    ClothLook look;
    look.endsPerMm = 2;
    look.picksPerMm = 40 / 25.4;
    look.warpWidthMm = std::get<double>(yarnWidthMm(u"Nm 2/28")) * kFlattenedInCloth;
    look.weftWidthMm = look.warpWidthMm;
    look.backing = Rgb{165, 0, 0};
    look.pixelsPerMm = 9.5;
    const ClothThreads threads =
        clothThreads(readSett(u"K/4 R24 K24 Y/4").sett, 2, 0, *weaveNamed(u"plain")).threads;
    EXPECT_EQ(QImage(file).convertToFormat(QImage::Format_RGB32), asWovenPicture(threads, look));
}

TEST(RenderAsWoven, OptionsThatDoNotFitAreRefusedAndNothingIsWritten) {
    QTemporaryDir dir;
    const QString png = dir.filePath("woven.png");
    const QList<QStringList> refused{
        {"--as-woven", "--yarn-size", "Nm 0", "-o", png},
        {"--as-woven", "--yarn-size", "tex 30", "-o", png},
        {"--as-woven", "--backing", "ZZ", "-o", png},
        {"--as-woven", "--pixels-per-mm", "0", "-o", png},
        {"--as-woven", "--pixels-per-mm", "many", "-o", png},
        {"--as-woven", "--pixels-per-mm", "400", "-o", png},
        {"--as-woven", "--pixels-per-mm", "100", "--repeats", "9", "-o", png},
        {"--as-woven", "--scale", "2", "-o", png},
        {"--as-woven", "-o", dir.filePath("woven.wif")},
        {"--as-woven", "--weft-threads-per-inch", "40", "--weft-threads-per-cm", "16", "-o", png},
        {"--cloth", "--backing", "K", "-o", png},
        {"--cloth", "--yarn-size", "Nm 2/28", "-o", png},
    };
    for (const QStringList& options : refused) {
        const RenderRun run = render(QStringList{kKilt} + options);
        EXPECT_EQ(run.status, kRenderRefused) << options.join(' ').toStdString();
        EXPECT_EQ(run.errLines().size(), 1) << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(png));
    }
}
