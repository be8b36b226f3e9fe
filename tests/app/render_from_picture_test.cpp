// loomara-render --from-picture: a sett read from a picture, taken wherever a written sett is.

#include "RenderTestSupport.h"

#include "collection/Similarity.h"
#include "sett/SettText.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace loomara;
using namespace loomara::testing;

namespace {

// In the lists' own codes: a photograph cannot tell K from k, and reads the black the lists use.
constexpr const char* kSett = "k/4 r24 k24 y/4";

QByteArray contents(const QString& fileName) {
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A cloth picture the tool draws of kSett, two repeats each way at three pixels a thread.
class RenderFromPicture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const RenderRun drawn = render({kSett, "--cloth", "--scale", "3", "--repeats", "2",
                                        "--threads-per-inch", "40", "-o", photo});
        ASSERT_EQ(drawn.status, kRenderDone) << drawn.err.toStdString();
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir dir;
    const QString photo = path("cloth.png");
};

TEST_F(RenderFromPicture, PrintsTheSettOfTheClothItDrewAndHowItWasRead) {
    const RenderRun run = render({"--from-picture", photo});
    ASSERT_EQ(run.status, kRenderDone) << run.err.toStdString();
    const QStringList out = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(out.size(), 1);
    const SettReading read = readSett(out.first());
    ASSERT_TRUE(read.ok()) << out.first().toStdString();
    EXPECT_EQ(similarityScore(ClothProfile(read.sett),
                              ClothProfile(readSett(QString::fromLatin1(kSett)).sett)),
              100);
    EXPECT_TRUE(out.first().contains(u'/')) << "pivots marked";
    // The picture records 120 pixels to the inch: 40 threads of 3 pixels.
    for (const char* note : {"threads per inch: 40.0", "pixels per thread: 3.00",
                             "rotation: 0.00 degrees", "confidence: "}) {
        EXPECT_TRUE(run.err.contains(QLatin1String(note))) << note << '\n' << run.err.toStdString();
    }
    EXPECT_FALSE(run.err.contains("sett read")) << "printed once, on standard output";
}

TEST_F(RenderFromPicture, GivesTheSameAnswersAndFilesAsTheSettItPrints) {
    const QString printed = render({"--from-picture", photo}).out.trimmed();
    const auto answers = [](const RenderRun& run) {
        QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        lines.removeIf([](const QString& line) { return line.startsWith(u'#'); });
        return lines;
    };
    const RenderRun similar = render({"--from-picture", photo, "--similar", "--top", "3"});
    EXPECT_EQ(answers(similar), answers(render({printed, "--similar", "--top", "3"})));
    // Where the sett goes into a search or a file, the notes name it.
    const QString named = "the sett read from the picture: " + printed;
    EXPECT_TRUE(similar.out.contains("# " + named)) << similar.out.toStdString();

    const QStringList yarn{"--yarn", "--width", "28in", "--length", "2yd", "--density", "40/in"};
    EXPECT_EQ(render(QStringList{"--from-picture", photo} + yarn).out,
              render(QStringList{printed} + yarn).out);

    for (const QStringList& asked : {QStringList{"-o"}, QStringList{"--cloth", "-o"}}) {
        const QString ending = asked.size() == 1 ? "wif" : "png";
        const QString fromPicture = path("picture.") + ending;
        const QString written = path("written.") + ending;
        const RenderRun drawn =
            render(QStringList{"--from-picture", photo} + asked + QStringList{fromPicture});
        ASSERT_EQ(drawn.status, kRenderDone);
        EXPECT_TRUE(drawn.err.contains(named)) << drawn.err.toStdString();
        ASSERT_EQ(render(QStringList{printed} + asked + QStringList{written}).status, kRenderDone);
        EXPECT_EQ(contents(fromPicture), contents(written)) << ending.toStdString();
    }
}

TEST_F(RenderFromPicture, RefusesWithOneLineAndStatusTwo) {
    QImage flat(200, 200, QImage::Format_RGB32);
    flat.fill(Qt::darkGreen);
    ASSERT_TRUE(flat.save(path("flat.png")));
    const struct {
        QStringList arguments;
        const char* why;
    } cases[] = {
        {{"--from-picture", path("none.png")}, "does not exist"},
        {{"--from-picture", path("flat.png")}, "no repeating stripes"},
        {{"--from-picture", photo, kSett}, "give no other sett"},
        {{"--from-picture", photo, "--name", "Aberdeen University"}, "give no other sett"},
        {{"--from-picture", photo, "--cloth"}, "--cloth is not for --from-picture alone"},
        {{"--from-picture", photo, "--from-picture", photo}, "more than once"},
    };
    for (const auto& c : cases) {
        const RenderRun run = render(c.arguments);
        EXPECT_EQ(run.status, kRenderRefused) << c.arguments.join(' ').toStdString();
        EXPECT_EQ(run.out, QString());
        ASSERT_EQ(run.errLines().size(), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QLatin1String(c.why))) << run.err.toStdString();
    }
}

// The cloth as it will look, read back: the tool names the entry it drew first.
TEST_F(RenderFromPicture, NamesTheEntryWhoseClothAsWovenItReads) {
    const QString woven = path("woven.png");
    const char* name = "Campbell of Glenlyon";
    ASSERT_EQ(
        render({"--name", name, "--cloth", "--as-woven", "--repeats", "2", "-o", woven}).status,
        kRenderDone);
    const RenderRun run = render({"--from-picture", woven, "--similar", "--top", "1"});
    ASSERT_EQ(run.status, kRenderDone) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("\t%1\t").arg(QLatin1String(name))))
        << run.out.toStdString();
}

} // namespace
