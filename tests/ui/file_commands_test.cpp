// File > Open, Save and Print through the real window's menu, with Cd1 answering from a script,
// real picture files in a temporary folder and a printer that records its pages.

#include "WindowFixture.h"

#include "io/io_test_support.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

using namespace loomara;
using namespace loomara::testing;

namespace {

class FileCommands : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(background.save(dir.filePath("back.bmp"), "BMP"));
    }

    void trigger(const QString& item) const { get<QAction>(item)->trigger(); }

    void open(const QString& fileName) {
        cd1.confirmFile(fileName);
        trigger("Open");
    }

    // What the weave picture shows inside its border.
    QImage shown() const {
        PictureBox* box = picture("Picture135");
        const int border = PictureBox::kBorderPixels;
        return box->grab()
            .toImage()
            .copy(border, border, box->width() - 2 * border, box->height() - 2 * border)
            .convertToFormat(QImage::Format_RGB32);
    }

    QImage canvasImage() const {
        return window->designer().form.weavePicture.image().convertToFormat(QImage::Format_RGB32);
    }

    QTemporaryDir dir;
    const QImage background = patternPicture(60, 40);
};

} // namespace

TEST_F(FileCommands, AnOpenedPictureShowsUnderTheThreadsUntilACancelTakesItAway) {
    enterFourStripeSett();
    takeHandlers();
    open(dir.filePath("back.bmp"));
    EXPECT_EQ(takeHandlers(), QStringList{"Open"});
    ASSERT_EQ(cd1.shown().size(), 1u);
    EXPECT_EQ(cd1.shown()[0].kind, FakeCommonDialog::Kind::Open);
    EXPECT_TRUE(messages->warnings.isEmpty());
    // Shown at once at the top-left, unscaled, without weaving.
    EXPECT_EQ(shown().copy(0, 0, 60, 40), background);
    const Rgb back = window->designer().form.weavePicture.backColour();
    EXPECT_EQ(shown().pixelColor(60, 0), rgb(back.red, back.green, back.blue));

    click("WEAVE");
    const QImage woven = shown();
    EXPECT_EQ(woven, canvasImage());

    // A cancel keeps the threads and shows the plain background in their gaps.
    cd1.cancel();
    trigger("Open");
    EXPECT_TRUE(messages->warnings.isEmpty());
    EXPECT_FALSE(window->designer().form.weavePicture.hasPicture());
    const QImage plain = shown();
    ASSERT_EQ(plain.size(), woven.size());
    int gaps = 0;
    int threads = 0;
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            const bool inPicture = x < background.width() && y < background.height();
            if (inPicture && plain.pixelColor(x, y) == Qt::white) {
                ++gaps;
                ASSERT_EQ(woven.pixel(x, y), background.pixel(x, y)) << x << "," << y;
            } else {
                threads += inPicture ? 1 : 0;
                ASSERT_EQ(woven.pixel(x, y), plain.pixel(x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_GT(gaps, 600);
    EXPECT_GT(threads, 600);

    click("WEAVE");
    EXPECT_EQ(shown(), plain);
}

TEST_F(FileCommands, AFileThatCannotBeReadWarnsOnceAndKeepsTheBackground) {
    open(dir.filePath("back.bmp"));
    const QImage before = shown();
    writeFile(dir.filePath("bad.bmp"), "this is no picture");
    int expectedWarnings = 0;
    for (const QString name : {"bad.bmp", "gone.bmp"}) {
        SCOPED_TRACE(name.toStdString());
        open(dir.filePath(name));
        ++expectedWarnings;
        ASSERT_EQ(messages->warnings.size(), expectedWarnings);
        EXPECT_EQ(messages->titles.last(), "Open");
        EXPECT_TRUE(messages->warnings.last().contains(name));
        EXPECT_EQ(
            window->designer().form.weavePicture.picture().convertToFormat(QImage::Format_RGB32),
            background);
        EXPECT_EQ(shown(), before);
    }
}

TEST_F(FileCommands, SaveWritesWhatTheWeavePictureShowsAsA24BitBitmap) {
    open(dir.filePath("back.bmp"));
    enterFourStripeSett();
    click("WEAVE");
    const QString file = dir.filePath("woven");
    cd1.confirmFile(file);
    trigger("Save");
    EXPECT_TRUE(messages->warnings.isEmpty());
    EXPECT_EQ(cd1.shown().back().kind, FakeCommonDialog::Kind::Save);

    const QByteArray bytes = readFile(file);
    ASSERT_GT(bytes.size(), 54);
    EXPECT_TRUE(bytes.startsWith("BM"));
    EXPECT_EQ(u16At(bytes, 28), 24);
    EXPECT_EQ(u32At(bytes, 30), 0u);
    const QImage saved = decodeBitmap24(bytes);
    EXPECT_EQ(saved, canvasImage());
    EXPECT_EQ(saved, shown());
}

TEST_F(FileCommands, ASaveThatFailsWarnsAndACancelWritesNothing) {
    enterFourStripeSett();
    click("WEAVE");
    const FormState before = window->designer().form;
    const QString file = dir.filePath("no such folder/woven.bmp");
    cd1.confirmFile(file);
    trigger("Save");
    ASSERT_EQ(messages->warnings.size(), 1);
    EXPECT_EQ(messages->titles, QStringList{"Save"});
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(canvasImage(), before.weavePicture.image().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(window->designer().form.notation.text(), before.notation.text());

    cd1.cancel();
    trigger("Save");
    EXPECT_EQ(messages->warnings.size(), 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"back.bmp"});
}

TEST_F(FileCommands, PrintDrawsTheWeavePictureOnOnePageAndAFailureWarns) {
    enterFourStripeSett();
    click("WEAVE");
    cd1.confirmPrinter(kPortrait);
    trigger("Print");
    EXPECT_TRUE(messages->warnings.isEmpty());
    EXPECT_EQ(printer.pagesPrinted(), 1);
    ASSERT_EQ(printer.paintings().size(), 1u);
    const RecordingPrinter::Painting& page = printer.paintings()[0];
    EXPECT_EQ(page.picture.convertToFormat(QImage::Format_RGB32), shown());
    // The shrunk picture of a 40-thread sett prints at its on-screen size in twips.
    EXPECT_EQ(page.width, window->designer().form.weavePicture.width());
    EXPECT_EQ(page.height, window->designer().form.weavePicture.height());
    EXPECT_LT(page.width, WeaveCanvas::kDesignWidthTwips);

    printer.failPainting = QStringLiteral("no printer is set up");
    cd1.confirmPrinter(kLandscape);
    trigger("Print");
    ASSERT_EQ(messages->warnings.size(), 1);
    EXPECT_EQ(messages->titles, QStringList{"Print"});
    EXPECT_TRUE(messages->warnings.first().contains("no printer is set up"));
    EXPECT_EQ(printer.pagesPrinted(), 1);
    EXPECT_EQ(takeHandlers().count("Print"), 2);
}

TEST_F(FileCommands, ClearTakesTheBackgroundPictureAway) {
    open(dir.filePath("back.bmp"));
    ASSERT_TRUE(window->designer().form.weavePicture.hasPicture());
    trigger("Clear");
    EXPECT_FALSE(window->designer().form.weavePicture.hasPicture());
    const QImage cleared = shown();
    EXPECT_EQ(cleared, canvasImage());
    const QColor back = cleared.pixelColor(0, 0);
    for (int y = 0; y < background.height(); ++y) {
        for (int x = 0; x < background.width(); ++x) {
            ASSERT_EQ(cleared.pixelColor(x, y), back) << x << "," << y;
        }
    }
}
