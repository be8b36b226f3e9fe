#include "io/DialogFilter.h"
#include "io/PrintWovenPicture.h"
#include "io_test_support.h"
#include "ui/QtCommonDialog.h"
#include "ui/QtIoPlatform.h"
#include "weave/WeaveCanvas.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace loomara;
using namespace loomara::testing;

namespace {

// Acts on the next modal dialog as soon as it is up, as a user would. A dialog that is not up
// within five seconds, or that is still up two seconds after the act, fails the test and is
// rejected, so a dialog that ignores the act can never hold the test's event loop.
void whenDialogShown(std::function<void(QDialog&)> act) {
    auto* poll = new QTimer(qApp);
    auto ticks = std::make_shared<int>(0);
    auto acted = std::make_shared<QPointer<QDialog>>();
    // Kept apart from the pointer, which goes null once the answered dialog is gone: this poll
    // must then end, not answer the next dialog too.
    auto answered = std::make_shared<bool>(false);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, ticks, acted, answered, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (*answered) {
            if (dialog == nullptr || dialog != *acted) {
                poll->deleteLater();
            } else if (++*ticks > 200) {
                poll->deleteLater();
                ADD_FAILURE() << "the dialog stayed open after it was answered";
                dialog->reject();
            }
        } else if (dialog != nullptr) {
            *acted = dialog;
            *answered = true;
            *ticks = 0;
            act(*dialog);
        } else if (++*ticks > 500) {
            poll->deleteLater();
            ADD_FAILURE() << "no dialog was shown";
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (auto* stray = qobject_cast<QDialog*>(window)) {
                    stray->reject();
                }
            }
        }
    });
    poll->start(10);
}

// Types a name into the file dialog's name box, as a user does. selectFile() is no stand-in once
// the dialog is up: it leaves the box alone while the box has the focus, and whether it has it yet
// depends on when the window system activates the dialog.
void typeFileName(QFileDialog& dialog, const QString& name) {
    auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(box, nullptr);
    box->setText(name);
}

class QtCommonDialogTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QPrinter printer;
    QtCommonDialog cd1{nullptr, printer};
};

} // namespace

TEST(NameFilters, TurnDescriptionPatternPairsIntoTheToolkitsSyntax) {
    EXPECT_EQ(nameFilters("BitMap (*.bmp)|*.bmp"), QStringList{"BitMap (*.bmp)"});
    EXPECT_EQ(nameFilters("24-bit Bitmap (*.bmp)|*.bmp"), QStringList{"24-bit Bitmap (*.bmp)"});
    EXPECT_EQ(nameFilters("Pictures|*.bmp; *.png|All files|*.*"),
              (QStringList{"Pictures (*.bmp *.png)", "All files (*.*)"}));
    EXPECT_EQ(nameFilters("Bitmaps (old style)|*.bmp"), QStringList{"Bitmaps (old style) (*.bmp)"});
    EXPECT_EQ(nameFilters("|*.bmp"), QStringList{"(*.bmp)"});
    EXPECT_TRUE(nameFilters("").isEmpty());
    EXPECT_TRUE(nameFilters("No pattern|").isEmpty());
    EXPECT_TRUE(nameFilters("Dangling").isEmpty());
}

TEST_F(QtCommonDialogTest, OpenShowsTheToolkitsOwnDialogWithTheSettingsAndReturnsThePath) {
    const QString file = dir.filePath("back.bmp");
    writeFile(file, "BM");
    cd1.setDialogTitle("Picture Search");
    cd1.setFilter("BitMap (*.bmp)|*.bmp");
    cd1.setInitDir(dir.path());
    whenDialogShown([&](QDialog& shown) {
        auto& dialog = dynamic_cast<QFileDialog&>(shown);
        EXPECT_EQ(dialog.windowTitle(), "Picture Search");
        EXPECT_TRUE(dialog.testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(dialog.nameFilters(), QStringList{"BitMap (*.bmp)"});
        EXPECT_EQ(dialog.directory().absolutePath(), QDir(dir.path()).absolutePath());
        typeFileName(dialog, file);
        shown.accept();
    });
    EXPECT_EQ(cd1.showOpen(), DialogResult::Confirmed);
    EXPECT_EQ(cd1.fileName(), file);
}

TEST_F(QtCommonDialogTest, SaveTakesANameAsTypedAndAnExistingFileWithoutAQuestion) {
    cd1.setFilter("24-bit Bitmap (*.bmp)|*.bmp");
    cd1.setFilterIndex(1);
    cd1.setInitDir(dir.path());
    for (const QString name : {"plain", "there.bmp"}) {
        SCOPED_TRACE(name.toStdString());
        writeFile(dir.filePath("there.bmp"), "old");
        cd1.setFileName(QString());
        whenDialogShown([&](QDialog& shown) {
            auto& dialog = dynamic_cast<QFileDialog&>(shown);
            EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
            EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
            EXPECT_TRUE(dialog.defaultSuffix().isEmpty());
            EXPECT_EQ(dialog.selectedNameFilter(), "24-bit Bitmap (*.bmp)");
            typeFileName(dialog, dir.filePath(name));
            shown.accept();
        });
        EXPECT_EQ(cd1.showSave(), DialogResult::Confirmed);
        EXPECT_EQ(cd1.fileName(), dir.filePath(name));
    }
}

TEST_F(QtCommonDialogTest, CancelLeavesTheNameFieldAsItWas) {
    cd1.setFileName(dir.filePath("earlier.bmp"));
    whenDialogShown([](QDialog& dialog) {
        EXPECT_EQ(dynamic_cast<QFileDialog&>(dialog).selectedFiles().value(0).section('/', -1),
                  "earlier.bmp");
        dialog.reject();
    });
    EXPECT_EQ(cd1.showOpen(), DialogResult::Cancelled);
    EXPECT_EQ(cd1.fileName(), dir.filePath("earlier.bmp"));
}

TEST_F(QtCommonDialogTest, ThePrinterDialogReportsTheOrientationOfTheWindowsPrinter) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("page.pdf"));
    cd1.setOrientation(kLandscape);
    whenDialogShown([](QDialog& dialog) {
        EXPECT_NE(qobject_cast<QPrintDialog*>(&dialog), nullptr);
        dialog.accept();
    });
    EXPECT_EQ(cd1.showPrinter(), DialogResult::Confirmed);
    EXPECT_EQ(cd1.orientation(), kLandscape);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);

    whenDialogShown([](QDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(cd1.showPrinter(), DialogResult::Cancelled);
    EXPECT_EQ(cd1.orientation(), kLandscape);
}

TEST(QtIoPlatformTest, PrintsOnTheSamePrinterItsDialogSetUp) {
    QTemporaryDir dir;
    QtIoPlatform io(nullptr);
    io.device.setOutputFormat(QPrinter::PdfFormat);
    io.device.setOutputFileName(dir.filePath("page.pdf"));
    io.cd1.setOrientation(kLandscape);
    whenDialogShown([](QDialog& dialog) { dialog.accept(); });
    const WeaveCanvas canvas;
    EXPECT_EQ(printWovenPicture(io.cd1, io.printer, canvas), std::nullopt);
    EXPECT_EQ(io.device.pageLayout().orientation(), QPageLayout::Landscape);
    const QByteArray pdf = readFile(dir.filePath("page.pdf"));
    EXPECT_EQ(pdf.count("/Type /Page\n"), 1);
}
