// The studio's exports are the tool's files byte for byte, and its print is the cloth at true size.

#include "StudioFakes.h"

#include "../app/RenderTestSupport.h"
#include "studio/Studio.h"
#include "support/FakeCommonDialog.h"
#include "support/RecordingPrinter.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace loomara;
using namespace loomara::testing;

namespace {

const QString kKilt = QStringLiteral("B/24 W4 B24 R2 K24 G24 W/2");

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

enum class Export { Cloth, AsWoven, Draft, Yarn };

} // namespace

TEST(StudioFiles, EachExportIsWhatTheToolWritesForTheSameSett) {
    struct Case {
        const char* file;
        QString sett; // typed, or a name after "name:"
        QString weft;
        QStringList yarn; // width, length, density, weft density, waste, take-up
        int repeats;
        int scale; // as woven, the tool's pixels a thread whatever the box says
        Export what;
        QStringList tool; // the tool's arguments beyond -o FILE
    };
    const QStringList kilt{"28in", "8yd", "56/in", "", "", ""};
    // One row a case.
    // clang-format off
    const QList<Case> cases{
        {"scaled.png", kKilt, "", kilt, 2, 3, Export::Cloth,
         {kKilt, "--cloth", "--repeats", "2", "--scale", "3", "--threads-per-inch", "56"}},
        {"plain.png", "...K4 R24 K24 Y4...", "", {}, 1, 1, Export::Cloth,
         {"...K4 R24 K24 Y4...", "--cloth"}},
        {"named.bmp", "name:Aberdeen University", "K8", {"", "", "12/cm", "", "", ""}, 3, 2,
         Export::Cloth,
         {"--name", "Aberdeen University", "--weft", "K8", "--cloth", "--repeats", "3", "--scale",
          "2", "--threads-per-cm", "12"}},
        {"named.wif", "name:Aberdeen University", "", {}, 2, 1, Export::Draft,
         {"--name", "Aberdeen University", "--repeats", "2"}},
        {"written.wif", kKilt, "K4 R4", {"", "", "56/in", "", "", ""}, 1, 1, Export::Draft,
         {kKilt, "--weft", "K4 R4", "--threads-per-inch", "56"}},
        {"written.csv", kKilt, "K4 R4", {"28in", "8yd", "56/in", "12/cm", "27in", "12.5%"}, 1, 1,
         Export::Yarn,
         {kKilt, "--weft", "K4 R4", "--yarn", "--width", "28in", "--length", "8yd", "--density",
          "56/in", "--weft-density", "12/cm", "--waste", "27in", "--take-up", "12.5%"}},
        {"woven.png", "K/5 W3 R/6", "", kilt, 2, 3, Export::AsWoven,
         {"K/5 W3 R/6", "--cloth", "--as-woven", "--repeats", "2", "--threads-per-inch", "56"}},
        {"woven.bmp", "name:Aberdeen University", "K8", {"", "", "12/cm", "40/in", "", ""}, 1, 1,
         Export::AsWoven,
         {"--name", "Aberdeen University", "--weft", "K8", "--cloth", "--as-woven",
          "--threads-per-cm", "12", "--weft-threads-per-inch", "40"}},
        {"faded.png", "K/5 W3 R/6", "", {}, 2, 1, Export::AsWoven,
         {"K/5 W3 R/6", "--cloth", "--as-woven", "--repeats", "2", "--scheme", "faded"}},
        {"named.csv", "name:Aberdeen University", "", kilt, 1, 1, Export::Yarn,
         {"--name", "Aberdeen University", "--yarn", "--width", "28in", "--length", "8yd",
          "--density", "56/in"}},
    };
    // clang-format on
    QTemporaryDir folder;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        FakeShelf shelf;
        Studio studio(shelf);
        if (c.sett.startsWith("name:")) {
            ASSERT_TRUE(studio.loadName(c.sett.mid(5)));
        } else {
            studio.editSett(c.sett);
        }
        if (!c.weft.isEmpty()) {
            studio.editWeft(c.weft);
        }
        for (qsizetype i = 0; i < c.yarn.size(); ++i) {
            studio.editYarn(static_cast<YarnField>(i), c.yarn[i]);
        }
        studio.setExportRepeats(c.repeats);
        studio.setExportScale(c.scale);
        // The scheme the tool is given, chosen in the studio's menu.
        const qsizetype scheme = c.tool.indexOf("--scheme");
        studio.setScheme(scheme < 0 ? Scheme::Modern : *schemeNamed(c.tool[scheme + 1]));
        studio.setAsWoven(c.what == Export::AsWoven);
        FakeCommonDialog dialog;
        const QString ours = folder.filePath(QStringLiteral("studio-") + c.file);
        dialog.confirmFile(ours);
        const Outcome outcome = c.what == Export::Draft  ? studio.exportDraft(dialog)
                                : c.what == Export::Yarn ? studio.exportYarn(dialog)
                                                         : studio.exportCloth(dialog);
        ASSERT_EQ(outcome.result, Outcome::Result::Done) << outcome.message.toStdString();
        const QString theirs = folder.filePath(QStringLiteral("tool-") + c.file);
        const RenderRun run = render(c.tool + QStringList{"-o", theirs});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const QByteArray expected = bytesOf(theirs);
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_TRUE(bytesOf(ours) == expected);
    }
}

TEST(StudioFiles, ANameWithoutItsEndingTakesTheChosenTypeAndNothingIsWrittenForABadSett) {
    QTemporaryDir folder;
    FakeShelf shelf;
    Studio studio(shelf);
    studio.editSett(kKilt);
    FakeCommonDialog dialog;
    dialog.confirmFile(folder.filePath("cloth"));
    dialog.setFilterIndex(2);
    EXPECT_EQ(studio.exportCloth(dialog).result, Outcome::Result::Done);
    EXPECT_TRUE(QFile::exists(folder.filePath("cloth.png"))) << "the dialog chose the first type";

    dialog.cancel();
    EXPECT_EQ(studio.exportDraft(dialog).result, Outcome::Result::Cancelled);

    // Where the file cannot be written, the reason, and nothing is said to be saved.
    dialog.confirmFile(folder.filePath("no/such/folder/cloth.png"));
    const Outcome failed = studio.exportCloth(dialog);
    EXPECT_EQ(failed.result, Outcome::Result::Failed);
    EXPECT_TRUE(failed.message.contains("Nothing was written")) << failed.message.toStdString();

    studio.editSett(QStringLiteral("K4 Q4"));
    const qsizetype shown = dialog.shown().size();
    EXPECT_EQ(studio.exportCloth(dialog).result, Outcome::Result::Failed);
    EXPECT_EQ(studio.exportYarn(dialog).result, Outcome::Result::Failed);
    EXPECT_EQ(dialog.shown().size(), shown) << "no dialog for a sett that does not read";
}

TEST(StudioFiles, PrintIsTheClothAtTrueSizeWhenTheDensityIsKnownAndAlwaysAsWoven) {
    struct Case {
        QString density;
        bool asWoven;
        double twipsPerEnd;
    };
    const double kilt = 1440 / 56.0;
    for (const Case& c : QList<Case>{{"56/in", false, kilt},
                                     {"", false, 15.0},
                                     {"56/in", true, kilt},
                                     {"", true, kilt},
                                     {"12/cm", true, 1440 / 12.0 / 2.54}}) {
        SCOPED_TRACE(c.density.toStdString() + (c.asWoven ? " as woven" : ""));
        FakeShelf shelf;
        Studio studio(shelf);
        studio.editSett(QStringLiteral("K/8 R12 Y/4"));
        studio.editYarn(YarnField::Density, c.density);
        studio.setExportRepeats(2);
        studio.setAsWoven(c.asWoven);
        FakeCommonDialog dialog;
        dialog.confirmPrinter(kLandscape);
        RecordingPrinter printer;
        EXPECT_EQ(studio.printCloth(dialog, printer).result, Outcome::Result::Done);
        ASSERT_EQ(printer.paintings().size(), 1u);
        const RecordingPrinter::Painting& page = printer.paintings().front();
        // As woven, the picture is whole pixels of at most 1/8 mm, 7 twips.
        const double ends = 2 * studio.state().repeat.width(), within = c.asWoven ? 8 : 1e-6;
        EXPECT_NEAR(page.width, ends * c.twipsPerEnd, within);
        EXPECT_NEAR(page.height, ends * c.twipsPerEnd, within);
        EXPECT_EQ(page.orientation, kLandscape);
        EXPECT_EQ(page.picture,
                  renderClothPicture(studio.request(studio.clothDrawing(), {})).picture);
        EXPECT_EQ(printer.pagesPrinted(), 1);
    }
}
