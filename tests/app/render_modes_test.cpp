// loomara-render's modes: an option that does not belong to the mode asked for, or one given twice,
// is refused with status 2 before anything is read or written.

#include "RenderTestSupport.h"

#include <QDir>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace loomara;
using namespace loomara::testing;

TEST(RenderModes, AnOptionOutsideItsModeOrGivenTwiceIsRefusedNamingBoth) {
    QTemporaryDir dir;
    const QString png = dir.filePath("out.png");
    // Each option as it would be given, with a value where it takes one.
    const QMap<QString, QStringList> given{
        {"-o", {"-o", png}},
        {"--name", {"--name", "Wallace"}},
        {"--background", {"--background", "w"}},
        {"--brighten", {"--brighten", "1"}},
        {"--darken", {"--darken", "1"}},
        {"--scale", {"--scale", "2"}},
        {"--repeats", {"--repeats", "2"}},
        {"--cloth", {"--cloth"}},
        {"--weft", {"--weft", "w4"}},
        {"--threads-per-inch", {"--threads-per-inch", "56"}},
        {"--threads-per-cm", {"--threads-per-cm", "22"}},
        {"--width", {"--width", "1in"}},
        {"--length", {"--length", "1in"}},
        {"--density", {"--density", "10/in"}},
        {"--weft-density", {"--weft-density", "10/in"}},
        {"--waste", {"--waste", "1in"}},
        {"--take-up", {"--take-up", "5%"}},
        {"--top", {"--top", "3"}},
        {"--similar", {"--similar"}},
        {"--list", {"--list"}},
        {"--gallery", {"--gallery", dir.filePath("gallery")}},
    };
    const QStringList yarnOnly{"--width",        "--length", "--density",
                               "--weft-density", "--waste",  "--take-up"};
    // A mode that is asked for earlier in the table wins over these, so they are not its misfits.
    const auto allBut = [&given](const QStringList& asking) {
        QStringList options = given.keys();
        options.removeIf([&asking](const QString& option) { return asking.contains(option); });
        return options;
    };
    const QString pictures = "cloth and drafts (--cloth, .wif)";
    struct Mode {
        QStringList arguments;
        QString shown;
        QStringList notTaken;
    };
    const QList<Mode> modes{
        {{"k8", "-o", png},
         "the designer's picture",
         QStringList{"--repeats", "--weft", "--threads-per-inch", "--threads-per-cm", "--top"} +
             yarnOnly},
        {{"k8", "--cloth", "-o", png}, pictures, QStringList{"--background", "--top"} + yarnOnly},
        {{"k8", "-o", dir.filePath("out.wif")},
         pictures,
         QStringList{"--background", "--top"} + yarnOnly},
        {{"k8", "--yarn", "--width", "1in", "--length", "1in", "--density", "10/in"},
         "--yarn",
         {"--background", "--brighten", "--darken", "--scale", "--repeats", "--cloth",
          "--threads-per-inch", "--threads-per-cm", "--top", "--similar", "--list", "--gallery"}},
        {{"--similar", "k8"},
         "--similar",
         QStringList{"-o", "--background", "--brighten", "--darken", "--scale", "--repeats",
                     "--cloth", "--weft", "--threads-per-inch", "--threads-per-cm", "--list",
                     "--gallery"} +
             yarnOnly},
        {{"--list"}, "--list", allBut({"--similar", "--list"})},
        {{"--gallery", dir.filePath("gallery")},
         "--gallery",
         allBut({"--similar", "--list", "--gallery"})},
    };
    for (const Mode& mode : modes) {
        for (const QString& option : mode.notTaken) {
            const QStringList arguments = mode.arguments + given[option];
            SCOPED_TRACE(arguments.join(' ').toStdString());
            const RenderRun run = render(arguments);
            EXPECT_EQ(run.status, kRenderRefused);
            EXPECT_EQ(run.errLines().size(), 1);
            EXPECT_TRUE(
                run.err.startsWith("loomara-render: " + option + " is not for " + mode.shown))
                << run.err.toStdString();
        }
    }
    struct Refused {
        QStringList arguments;
        QString line;
    };
    const QList<Refused> others{
        {{"--gallery", dir.filePath("a"), "--gallery", dir.filePath("b")},
         "--gallery is given more than once; give it once."},
        {{"--similar", "k8", "--top", "2", "--top", "3"},
         "--top is given more than once; give it once."},
        {{"--name", "Wallace", "--name", "Wallace", "-o", png},
         "--name is given more than once; give it once."},
        {{"--list", "k8"}, "--list takes no sett; \"k8\" is not for it."},
        {{"k8", "--gallery", dir.filePath("a")}, "--gallery takes no sett; \"k8\" is not for it."},
    };
    for (const Refused& refused : others) {
        const RenderRun run = render(refused.arguments);
        EXPECT_EQ(run.status, kRenderRefused);
        EXPECT_EQ(run.errLines(), QStringList{"loomara-render: " + refused.line});
    }
    EXPECT_TRUE(QDir(dir.path()).isEmpty()) << "a refused run left a file behind";
}
