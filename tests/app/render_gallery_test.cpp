// loomara-render --gallery: what the tool says of the files a run removes.

#include "RenderTestSupport.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace loomara;
using namespace loomara::testing;

namespace {

RenderRun gallery(const QString& dir, const QString& listText) {
    RenderRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = renderGallery(dir, {{QStringLiteral("Only"), listText}}, out, err);
    out.flush();
    err.flush();
    return run;
}

} // namespace

// A forged line of the list can name a file of the user's with its true size and hash: the run
// removes it as it removes any file of an earlier run it does not write again, and says so on
// standard error, one line a file, and the summary alone on standard output.
TEST(RenderGallery, EachFileTheListNamedAndTheRunDidNotWriteAgainIsNamedOnStderr) {
    QTemporaryDir temporary;
    const QString dir = temporary.filePath("g");
    ASSERT_EQ(gallery(dir, "Wilson  W10K10").status, kRenderDone);
    const QString list = QDir(dir).filePath(".loomara-gallery");
    const QString cat = QStringLiteral("pictures/my-cat.png");
    ASSERT_TRUE(QFile::copy(QDir(dir).filePath("cloth/wilson.png"), QDir(dir).filePath(cat)));
    const QByteArray lines = readFile(list);
    const QRegularExpressionMatch cloth =
        QRegularExpression("\n(\\d+ [0-9a-f]+ )cloth/wilson\\.png\n")
            .match(QString::fromUtf8(lines));
    ASSERT_TRUE(cloth.hasMatch());
    writeFile(list, lines + (cloth.captured(1) + cat + u'\n').toUtf8());

    const RenderRun run = gallery(dir, "Brown  B8K8");
    ASSERT_EQ(run.status, kRenderDone) << run.err.toStdString();
    QStringList expected;
    for (const QString& name :
         {QStringLiteral("cloth/wilson.png"), QStringLiteral("drafts/wilson.wif"),
          QStringLiteral("pictures/my-cat.png"), QStringLiteral("pictures/wilson.png"),
          QStringLiteral("thumbs/wilson.jpg")}) {
        expected += "loomara-render: removed \"" + QDir(dir).filePath(name) +
                    "\": the gallery's list of its own files (.loomara-gallery) named it, and this "
                    "run did not write it again.";
    }
    QStringList said = run.errLines();
    said.sort();
    EXPECT_EQ(said, expected);
    EXPECT_FALSE(QFile::exists(QDir(dir).filePath(cat)));
    EXPECT_TRUE(run.out.startsWith("1 sett woven")) << run.out.toStdString();
    EXPECT_EQ(gallery(dir, "Brown  B8K8").err, QString())
        << "a run that removes nothing says nothing";
}
