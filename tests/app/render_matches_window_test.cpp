// loomara-render writes the picture the main window shows after a user enters the same sett
// through its widgets: pixel for pixel, byte for byte as the window's Save writes it.

#include "RenderTestSupport.h"
#include "ui/WindowFixture.h"

#include "formats/PictureFiles.h"
#include "io/SavePicture.h"
#include "palette/PaletteSwatch.h"

#include <QProcess>
#include <QTemporaryDir>

using namespace loomara;
using namespace loomara::testing;

namespace {

struct Stripe {
    const char* code;
    int count;
};

struct Case {
    const char* name;
    QList<Stripe> stripes;
    bool notationForm = false;        // "K10, R20, " rather than "K10R20"
    const char* background = nullptr; // entered before the stripes, as enterFourStripeSett does
    int shadeSteps = 0;
    const char* ending = ".bmp";
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

QString settText(const Case& c) {
    QString text;
    for (const Stripe& s : c.stripes) {
        text += QString::fromLatin1(s.code) + QString::number(s.count) +
                (c.notationForm ? QStringLiteral(", ") : QString());
    }
    return text;
}

QList<Stripe> twentyOneStripes() {
    const char* codes[] = {"K",  "DB", "G",  "R", "y", "w",  "LR", "n",  "DG", "Y", "b",
                           "RO", "lg", "MU", "A", "p", "DW", "g",  "CN", "k",  "W"};
    QList<Stripe> stripes;
    for (int k = 0; k < 21; ++k) {
        stripes.append({codes[k], 2 + (k * 7) % 13});
    }
    return stripes;
}

class RenderMatchesWindow : public WindowTest, public ::testing::WithParamInterface<Case> {
protected:
    void clickSwatch(const char* code) const {
        const PaletteSwatch* swatch = findSwatchByCode(QString::fromLatin1(code));
        ASSERT_NE(swatch, nullptr) << code;
        click(swatch->controlName());
    }

    // The user's clicks and typing for the case, ending on WEAVE.
    void enterByHand(const Case& c) const {
        if (c.background != nullptr) {
            clickSwatch(c.background);
            click("Picture246");
        }
        int slot = 0;
        for (const Stripe& s : c.stripes) {
            ++slot;
            clickSwatch(s.code);
            type(QStringLiteral("Text%1").arg(slot), QString::number(s.count));
            click(QStringLiteral("Picture%1").arg(135 + slot));
        }
        for (int step = 0; step < c.shadeSteps; ++step) {
            click("Command1"); // Brighten
        }
        for (int step = 0; step > c.shadeSteps; --step) {
            click("Command2"); // Darken
        }
        click("WEAVE");
        EXPECT_TRUE(messages->warnings.isEmpty()) << messages->warnings.join('\n').toStdString();
    }

    QImage windowPicture() const { return window->designer().form.weavePicture.image(); }

    QTemporaryDir dir;
};

} // namespace

TEST_P(RenderMatchesWindow, PixelForPixel) {
    const Case& c = GetParam();
    enterByHand(c);

    const QString file = dir.filePath(QStringLiteral("woven") + QString::fromLatin1(c.ending));
    QStringList arguments{settText(c), "-o", file};
    if (c.background != nullptr) {
        arguments << "--background" << c.background;
    }
    if (c.shadeSteps != 0) {
        arguments << (c.shadeSteps > 0 ? "--brighten" : "--darken")
                  << QString::number(std::abs(c.shadeSteps));
    }
    const RenderRun run = render(arguments);
    ASSERT_EQ(run.status, kRenderDone) << run.err.toStdString();
    EXPECT_EQ(run.err, QString());

    const QImage shown = windowPicture().convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(QImage(file).convertToFormat(QImage::Format_RGB32), shown);
    if (QString::fromLatin1(c.ending) == u".bmp") {
        EXPECT_EQ(readFile(file), bitmap24Bytes(windowPicture()));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Setts, RenderMatchesWindow,
    ::testing::Values(Case{"TwoStripes", {{"n", 60}, {"G", 140}}},
                      Case{"FourStripesOnWhiteBrightenedTwice",
                           {{"r", 12}, {"k", 4}, {"g", 12}, {"y", 12}},
                           false,
                           "w",
                           2,
                           ".png"},
                      Case{"SixStripesInNotationDarkened",
                           {{"DB", 24}, {"K", 6}, {"G", 30}, {"LR", 2}, {"Y", 4}, {"W", 8}},
                           true,
                           nullptr,
                           -1},
                      Case{"TwentyOneStripes", twentyOneStripes()},
                      Case{"SmallSettOnAShrunkCanvas", {{"K", 4}, {"R", 6}, {"y", 2}}, false, "b"}),
    [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

// The installed program itself, started without a display and with no platform chosen, against
// the Aberdeen University sett typed in by hand.
TEST_F(WindowTest, TheProgramWritesTheNamedSettAUserEntersByHand) {
    const struct {
        const char* swatch;
        const char* count;
    } aberdeen[] = {{"y", "8"}, {"b", "32"}, {"k", "28"}, {"r", "60"}, {"y", "8"}};
    int slot = 0;
    for (const auto& stripe : aberdeen) {
        ++slot;
        click(findSwatchByCode(QString::fromLatin1(stripe.swatch))->controlName());
        type(QStringLiteral("Text%1").arg(slot), stripe.count);
        click(QStringLiteral("Picture%1").arg(135 + slot));
    }
    click("WEAVE");
    ASSERT_EQ(text("Text150")->text(), "y8, b32, k28, r60, y8, ");

    QTemporaryDir dir;
    const QString file = dir.filePath("a.bmp");
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("QT_QPA_PLATFORM");
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    program.setProcessEnvironment(environment);
    program.start(LOOMARA_RENDER_PROGRAM, {"--name", "Aberdeen University", "-o", file});
    ASSERT_TRUE(program.waitForFinished(20000)) << "loomara-render did not end";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), kRenderDone);
    EXPECT_EQ(program.readAllStandardError(), QByteArray());
    EXPECT_EQ(program.readAllStandardOutput(), QByteArray());
    EXPECT_EQ(readFile(file), bitmap24Bytes(window->designer().form.weavePicture.image()));
}
