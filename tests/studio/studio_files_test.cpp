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

enum class Export { Cloth, Draft, Yarn };

} // namespace

TEST(StudioFiles, EachExportIsWhatTheToolWritesForTheSameSett) {
    struct Case {
        const char* file;
        QString sett;  // typed, or a name after "name:"
        QString weft;
        QStringList yarn; // width, length, density, weft density, waste, take-up
        int repeats;
        int scale;
        Export what;
        QStringList tool; // the tool's arguments beyond -o FILE
    };
    const QStringList kilt{"28in", "8yd", "56/in", "", "", ""};
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
        {"named.csv", "name:Aberdeen University", "", kilt, 1, 1, Export::Yarn,
         {"--name", "Aberdeen University", "--yarn", "--width", "28in", "--length", "8yd",
          "--density", "56/in"}},
    };
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
        FakeCommonDialog dialog;
        const QString ours = folder.filePath(QStringLiteral("studio-") + c.file);
        dialog.confirmFile(ours);
        const Outcome outcome = c.what == Export::Cloth   ? studio.exportCloth(dialog)
                                : c.what == Export::Draft ? studio.exportDraft(dialog)
                                                          : studio.exportYarn(dialog);
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

TEST(StudioFiles, PrintIsTheClothAtTrueSizeWhenTheDensityIsKnown) {
    struct Case {
        QString density;
        double twipsWide; // of 2 repeats of 182 ends
    };
    for (const Case& c : QList<Case>{{"56/in", 364 / 56.0 * 1440}, {"", 364 * 15.0}}) {
        FakeShelf shelf;
        Studio studio(shelf);
        studio.editSett(kKilt);
        studio.editYarn(YarnField::Density, c.density);
        studio.setExportRepeats(2);
        FakeCommonDialog dialog;
        dialog.confirmPrinter(kLandscape);
        RecordingPrinter printer;
        EXPECT_EQ(studio.printCloth(dialog, printer).result, Outcome::Result::Done);
        ASSERT_EQ(printer.paintings().size(), 1u);
        const RecordingPrinter::Painting& page = printer.paintings().front();
        EXPECT_NEAR(page.width, c.twipsWide, 1e-6);
        EXPECT_NEAR(page.height, c.twipsWide, 1e-6);
        EXPECT_EQ(page.orientation, kLandscape);
        EXPECT_EQ(page.picture, renderClothPicture(studio.request(Drawing::Cloth, {})).picture);
        EXPECT_EQ(printer.pagesPrinted(), 1);
    }
}
