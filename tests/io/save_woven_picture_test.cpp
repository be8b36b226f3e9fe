#include "formats/PictureFiles.h"
#include "io/FileSizeLimit.h"
#include "io/SavePicture.h"
#include "io/SaveWovenPicture.h"
#include "io_test_support.h"
#include "support/FakeCommonDialog.h"
#include "weave/WeaveCanvas.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace loomara;
using namespace loomara::testing;

namespace {

constexpr Rgb kBack{30, 60, 90};
constexpr Rgb kThread{250, 240, 10};

class SaveWovenPicture : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    std::optional<QString> saveAs(const QString& name) {
        cd1.confirmFile(name);
        return saveWovenPicture(cd1, canvas);
    }

    // A file-size limit fails a write the way a full disk does, also for root. SIGXFSZ is set up
    // as the designer's main() sets it up, so the test program has to live on as the designer must.
    std::optional<QString> saveAsUnderFileSizeLimit(const QString& name, rlim_t bytes) {
        struct rlimit before {};
        struct sigaction signalBefore {};
        getrlimit(RLIMIT_FSIZE, &before);
        sigaction(SIGXFSZ, nullptr, &signalBefore);
        struct rlimit lowered = before;
        lowered.rlim_cur = bytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &lowered), 0);
        letWritesPastTheFileSizeLimitFail();
        std::optional<QString> message = saveAs(name);
        setrlimit(RLIMIT_FSIZE, &before);
        sigaction(SIGXFSZ, &signalBefore, nullptr);
        return message;
    }

    QStringList filesInDir() const {
        return QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }

    QTemporaryDir dir;
    FakeCommonDialog cd1;
    WeaveCanvas canvas{kBack};
};

bool isFifo(const QString& path) {
    struct stat info {};
    return lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}

QString failureMessage(const QString& name, const QString& reason) {
    return QStringLiteral("The picture could not be saved as \"%1\": %2. Nothing was written; a "
                          "file already there is unchanged.")
        .arg(QDir::toNativeSeparators(name), reason);
}

} // namespace

TEST(Bitmap24Bytes, StoresBlueGreenRedRowsBottomUpPaddedToFourBytes) {
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(1, 2, 3));
    picture.setPixel(1, 0, qRgb(4, 5, 6));
    picture.setPixel(0, 1, qRgb(7, 8, 9));
    picture.setPixel(1, 1, qRgb(10, 11, 12));
    const QByteArray bytes = bitmap24Bytes(picture);
    ASSERT_EQ(bytes.size(), 54 + 2 * 8);
    EXPECT_EQ(bytes.mid(54), QByteArray("\x09\x08\x07\x0c\x0b\x0a\0\0"
                                        "\x03\x02\x01\x06\x05\x04\0\0",
                                        16));
}

TEST_F(SaveWovenPicture, MakesTheSettingsInOrderThenShowsTheSaveDialog) {
    cd1.cancel();
    ASSERT_EQ(saveWovenPicture(cd1, canvas), std::nullopt);
    const QStringList expected{"DialogTitle=Choose a filename to save",
                               "Filter=24-bit Bitmap (*.bmp)|*.bmp", "FilterIndex=1",
                               "FileName=", "ShowSave"};
    EXPECT_EQ(cd1.log(), expected);
}

TEST_F(SaveWovenPicture, WritesAnUncompressed24BitBitmapOfTheInnerSize) {
    ASSERT_EQ(saveAs(path("plaid.bmp")), std::nullopt);
    const QByteArray bytes = readFile(path("plaid.bmp"));
    const int width = canvas.scaleWidth();
    const int height = canvas.scaleHeight();
    ASSERT_EQ(width, 693); // 2079 bytes a row, padded to 2080
    const qsizetype rowBytes = 2080;
    ASSERT_EQ(bytes.size(), 54 + rowBytes * height);

    EXPECT_EQ(bytes.left(2), "BM");
    EXPECT_EQ(u32At(bytes, 2), bytes.size());
    EXPECT_EQ(u32At(bytes, 10), 54u);
    EXPECT_EQ(u32At(bytes, 14), 40u);
    EXPECT_EQ(s32At(bytes, 18), width);
    EXPECT_EQ(s32At(bytes, 22), height); // positive: bottom-up
    EXPECT_EQ(u16At(bytes, 26), 1u);
    EXPECT_EQ(u16At(bytes, 28), 24u);
    EXPECT_EQ(u32At(bytes, 30), 0u);
    EXPECT_EQ(u32At(bytes, 34), rowBytes * height);
    for (int row = 0; row < height; ++row) {
        ASSERT_EQ(bytes[54 + row * rowBytes + rowBytes - 1], '\0') << row;
    }
    // Before any weave: the background only.
    QImage plain(width, height, QImage::Format_RGB32);
    plain.fill(qRgb(kBack.red, kBack.green, kBack.blue));
    EXPECT_EQ(decodeBitmap24(bytes), plain);
}

TEST_F(SaveWovenPicture, HoldsTheBackgroundPictureWithTheThreadsOverIt) {
    const QImage picture = patternPicture(40, 25);
    canvas.setPicture(picture);
    for (int x = 0; x < 60; x += 3) {
        canvas.line(x, 0, x, 30, kThread);
    }
    canvas.setWidth(4000); // a shrunk canvas is saved at its new size
    ASSERT_EQ(saveAs(path("over.bmp")), std::nullopt);

    const QImage saved = decodeBitmap24(readFile(path("over.bmp")));
    ASSERT_EQ(saved.size(), QSize(canvas.scaleWidth(), canvas.scaleHeight()));
    EXPECT_EQ(saved, canvas.image().convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(saved.pixel(3, 10), qRgb(kThread.red, kThread.green, kThread.blue));
    EXPECT_EQ(saved.pixel(4, 10), picture.pixel(4, 10));
    EXPECT_EQ(saved.pixel(50, 10), qRgb(kBack.red, kBack.green, kBack.blue));
}

TEST_F(SaveWovenPicture, UsesExactlyTheNameGivenAndReplacesAFileThere) {
    ASSERT_EQ(saveAs(path("no-extension")), std::nullopt);
    EXPECT_EQ(filesInDir(), QStringList{"no-extension"});
    EXPECT_EQ(readFile(path("no-extension")).left(2), "BM");

    writeFile(path("old.bmp"), "an older file that is longer than nothing");
    ASSERT_EQ(saveAs(path("old.bmp")), std::nullopt);
    EXPECT_EQ(readFile(path("old.bmp")), bitmap24Bytes(canvas.image()));
    EXPECT_EQ(filesInDir(), (QStringList{"no-extension", "old.bmp"}));
}

TEST_F(SaveWovenPicture, CancelOrAnEmptyNameWritesNothing) {
    cd1.cancel();
    EXPECT_EQ(saveWovenPicture(cd1, canvas), std::nullopt);
    EXPECT_EQ(saveAs(QString()), std::nullopt);
    EXPECT_TRUE(filesInDir().isEmpty());
    EXPECT_FALSE(QFile::exists(".bmp"));
}

TEST_F(SaveWovenPicture, TheNameFieldStartsEmptyOnEverySave) {
    ASSERT_EQ(saveAs(path("first.bmp")), std::nullopt);
    EXPECT_EQ(cd1.fileName(), path("first.bmp"));
    ASSERT_EQ(saveAs(path("second.bmp")), std::nullopt);
    ASSERT_EQ(cd1.shown().size(), 2u);
    EXPECT_TRUE(cd1.shown()[0].fileName.isEmpty());
    EXPECT_TRUE(cd1.shown()[1].fileName.isEmpty());
}

TEST_F(SaveWovenPicture, AnUnwritableNameIsReportedAndNothingIsWritten) {
    writeFile(path("a-file"), "x");
    ASSERT_TRUE(QDir(dir.path()).mkdir("a-folder"));
    const QString tooLong = path(QString(300, QLatin1Char('n')) + ".bmp");
    struct Case {
        QString name;
        QString reason;
    };
    const Case cases[] = {
        {path("missing/plaid.bmp"), QStringLiteral("the folder \"%1\" does not exist")
                                        .arg(QDir::toNativeSeparators(path("missing")))},
        {path("a-file/plaid.bmp"),
         QStringLiteral("\"%1\" is not a folder").arg(QDir::toNativeSeparators(path("a-file")))},
        {path("a-folder"), QStringLiteral("there is a folder of that name")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(saveAs(c.name), failureMessage(c.name, c.reason));
    }
    const std::optional<QString> longName = saveAs(tooLong);
    ASSERT_TRUE(longName);
    const QString expectedStart =
        QStringLiteral("The picture could not be saved as \"%1\": the file "
                       "could not be ")
            .arg(QDir::toNativeSeparators(tooLong));
    EXPECT_TRUE(longName->startsWith(expectedStart)) << longName->toStdString();
    EXPECT_TRUE(longName->endsWith("). Nothing was written; a file already there is unchanged."));
    EXPECT_EQ(filesInDir(), (QStringList{"a-file", "a-folder"}));
    EXPECT_EQ(readFile(path("a-file")), "x");
    EXPECT_TRUE(QDir(path("a-folder")).isEmpty());
}

TEST_F(SaveWovenPicture, AFullDiskLeavesTheFileThatWasThereUntouched) {
    writeFile(path("plaid.bmp"), "the picture saved last week");
    const std::optional<QString> message = saveAsUnderFileSizeLimit(path("plaid.bmp"), 4096);

    EXPECT_EQ(message, failureMessage(path("plaid.bmp"), "only part of the picture could be "
                                                         "written; the disk may be full"));
    EXPECT_EQ(readFile(path("plaid.bmp")), "the picture saved last week");
    EXPECT_EQ(filesInDir(), QStringList{"plaid.bmp"});
}

TEST_F(SaveWovenPicture, AReadOnlyFolderLeavesTheFileThatWasThereUntouched) {
    if (geteuid() == 0) {
        GTEST_SKIP() << "folder permissions do not stop root; the full-disk case covers this";
    }
    writeFile(path("plaid.bmp"), "old");
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    const std::optional<QString> message = saveAs(path("plaid.bmp"));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(message);
    EXPECT_EQ(readFile(path("plaid.bmp")), "old");
    EXPECT_EQ(filesInDir(), QStringList{"plaid.bmp"});
}

TEST_F(SaveWovenPicture, ASmallPictureOnAFullDiskLeavesTheOldFileByteForByte) {
    // 42 x 26 pixels, 3,382 bytes: small enough to wait whole in a file buffer, where only the
    // flush before the rename would meet the limit.
    canvas.setWidth(690);
    canvas.setHeight(450);
    ASSERT_EQ(bitmap24Bytes(canvas.image()).size(), 3382);
    const QByteArray old = bitmap24Bytes(patternPicture(30, 20));
    writeFile(path("plaid.bmp"), old);
    const std::optional<QString> message = saveAsUnderFileSizeLimit(path("plaid.bmp"), 1024);
    EXPECT_EQ(message, failureMessage(path("plaid.bmp"), "only part of the picture could be "
                                                         "written; the disk may be full"));
    EXPECT_EQ(readFile(path("plaid.bmp")), old);
    EXPECT_EQ(filesInDir(), QStringList{"plaid.bmp"});
}

TEST_F(SaveWovenPicture, ATargetThatIsNotARegularFileIsRefusedAndLeftAsItIs) {
    ASSERT_EQ(mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("pipe", path("to-pipe")));
    ASSERT_TRUE(QFile::link("loop-b", path("loop-a")));
    ASSERT_TRUE(QFile::link("loop-a", path("loop-b")));
    ASSERT_TRUE(QFile::link("gone.bmp", path("dangling")));
    const QStringList before = filesInDir();
    struct Case {
        QString name;
        QString reason;
    };
    const Case cases[] = {
        {"pipe", "it is a FIFO (a named pipe), not a regular file"},
        {"to-pipe", "it is a FIFO (a named pipe), not a regular file"},
        {"loop-a", "there is a loop of symbolic links"},
        {"dangling", "it is a symbolic link to a file that does not exist"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(saveAs(path(c.name)), failureMessage(path(c.name), c.reason));
    }
    EXPECT_EQ(filesInDir(), before);
    EXPECT_TRUE(isFifo(path("pipe")));
    EXPECT_EQ(QFileInfo(path("to-pipe")).symLinkTarget(), path("pipe"));
    EXPECT_EQ(QFileInfo(path("loop-a")).symLinkTarget(), path("loop-b"));
    EXPECT_EQ(QFileInfo(path("loop-b")).symLinkTarget(), path("loop-a"));
    EXPECT_EQ(QFileInfo(path("dangling")).symLinkTarget(), path("gone.bmp"));
}

TEST_F(SaveWovenPicture, ASymbolicLinkToAFileIsKeptAndTheFileItPointsAtReplaced) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("kept"));
    writeFile(path("kept/plaid.bmp"), "old");
    ASSERT_TRUE(QFile::link("kept/plaid.bmp", path("link.bmp")));
    ASSERT_EQ(saveAs(path("link.bmp")), std::nullopt);
    EXPECT_EQ(QFileInfo(path("link.bmp")).symLinkTarget(), path("kept/plaid.bmp"));
    EXPECT_EQ(readFile(path("kept/plaid.bmp")), bitmap24Bytes(canvas.image()));
}
