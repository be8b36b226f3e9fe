// What the tool's cloth files record beyond their pixels: the density a printer reads, and a weft
// of the sett's own.

#include "RenderTestSupport.h"
#include "formats/WifReader.h"
#include "support/HeaderDensity.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace loomara;
using namespace loomara::testing;

namespace {

class RenderClothFiles : public ::testing::Test {
protected:
    QByteArray written(const QStringList& arguments, const QString& name) const {
        const RenderRun run = render(arguments + QStringList{"-o", dir.filePath(name)});
        EXPECT_EQ(run.status, kRenderDone) << run.err.toStdString();
        return readFile(dir.filePath(name));
    }

    QTemporaryDir dir;
};

} // namespace

// Read back twice: through the picture reader, and from the header's own bytes.
TEST_F(RenderClothFiles, TheDensityIsRecordedForBothAxesInEitherUnitAtEveryScale) {
    struct Case {
        QString option;
        QString threads;
        QString scale;
        int pixelsPerMetre;
    };
    const QList<Case> cases{
        {"--threads-per-inch", "56", "1", 2205}, // 56 / 0.0254 = 2204.7
        {"--threads-per-inch", "56", "3", 6614}, {"--threads-per-inch", "10", "1", 394},
        {"--threads-per-inch", "10", "3", 1181}, // 3 x 393.7, not 3 x 394
        {"--threads-per-cm", "22", "1", 2200},   {"--threads-per-cm", "22", "3", 6600},
        {"--threads-per-cm", "12.5", "3", 3750},
    };
    for (const Case& c : cases) {
        for (const QString name : {"cloth.png", "cloth.bmp"}) {
            SCOPED_TRACE((c.option + ' ' + c.threads + " x" + c.scale + ' ' + name).toStdString());
            const QByteArray bytes =
                written({"K8 r2 w4", "--cloth", c.option, c.threads, "--scale", c.scale}, name);
            const QImage picture = QImage::fromData(bytes);
            EXPECT_EQ(picture.dotsPerMeterX(), c.pixelsPerMetre);
            EXPECT_EQ(picture.dotsPerMeterY(), c.pixelsPerMetre);
            EXPECT_EQ(headerDensity(bytes), std::make_pair(c.pixelsPerMetre, c.pixelsPerMetre));
        }
    }
}

// The weft's colours, pick by pick, are the ends of the weft's own sett woven alone; the warp is
// the sett's. A weft that quietly followed the warp would still draw a drawdown of its draft.
TEST_F(RenderClothFiles, AWeftOfItsOwnIsWovenAsItsOwnSettWouldBeWarped) {
    const auto coloursOf = [](const Wif& wif, const QString& section) {
        const QList<QList<int>> table = wifList(wif, QStringLiteral("COLOR TABLE"));
        QList<QList<int>> colours;
        for (const QList<int>& thread : wifList(wif, section)) {
            colours.append(table.value(thread.value(0) - 1));
        }
        return colours;
    };
    const QList<std::pair<QString, QString>> setts{
        {"K/4 R24 K24 Y/4", "W/8 K2 W/8"},
        {"...B6 G2...", "...R3 W1 Y5..."},
        {"r2 K8", "w40"},
    };
    for (const auto& [warp, weft] : setts) {
        SCOPED_TRACE((warp + " / " + weft).toStdString());
        const Wif both = readWif(written({warp, "--weft", weft, "--repeats", "2"}, "both.wif"));
        const Wif warpAlone = readWif(written({warp, "--repeats", "2"}, "warp.wif"));
        const Wif weftAlone = readWif(written({weft, "--repeats", "2"}, "weft.wif"));
        EXPECT_EQ(coloursOf(both, "WARP COLORS"), coloursOf(warpAlone, "WARP COLORS"));
        EXPECT_EQ(coloursOf(both, "WEFT COLORS"), coloursOf(weftAlone, "WARP COLORS"));
        const QImage cloth = QImage::fromData(
            written({warp, "--weft", weft, "--repeats", "2", "--cloth"}, "both.png"));
        EXPECT_EQ(cloth.convertToFormat(QImage::Format_RGB32), drawdownOf(both));
    }
}
