#include "Bench.h"

#include "cloth/Cloth.h"
#include "sett/SettText.h"
#include "studio/SettShelf.h"
#include "studio/window/ClothView.h"
#include "studio/window/StudioWindow.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

namespace loomara::bench {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kStartRuns = 7;
constexpr int kEdits = 15;
// Where the edits change a colour code: the first letter of the 25th stripe.
constexpr int kEditedStripe = 24;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A straight repeat of 50 stripes of 40 threads: 2,000 threads each way.
QString longSett() {
    const QStringList codes{QStringLiteral("K"), QStringLiteral("R"), QStringLiteral("G"),
                            QStringLiteral("W"), QStringLiteral("Y"), QStringLiteral("B")};
    QStringList stripes;
    for (int i = 0; i < 50; ++i) {
        stripes << codes[i % codes.size()] + QStringLiteral("40");
    }
    return QStringLiteral("...") + stripes.join(u' ') + QStringLiteral("...");
}

void benchStart(const Report& report, const QString& home) {
    QProcessEnvironment extra;
    extra.insert(QStringLiteral("XDG_DATA_HOME"), home);
    std::vector<double> designer;
    std::vector<double> studio;
    for (int run = 0; run < kStartRuns; ++run) {
        if (const auto ms = startupMs(QStringLiteral(LOOMARA_BINARY), {}, extra)) {
            designer.push_back(*ms);
        }
        if (const auto ms = startupMs(QStringLiteral(STUDIO_BINARY), {}, extra)) {
            studio.push_back(*ms);
        }
    }
    if (designer.empty() || studio.empty()) {
        report.figure("studio_start_ms", "unavailable (a program did not report its window)");
        return;
    }
    report.figure("studio_start_ms", median(studio), 1);
    report.figure("studio_start_designer_ms", median(designer), 1);
    report.figure("studio_start_vs_designer", median(studio) / median(designer), 2);
}

// A keystroke that replaces one colour code in the sett field, from the key to the cloth
// repainted; the search for the nearest setts that it starts is left to finish between keys.
void benchEdit(const Report& report, const QString& home) {
    StoreShelf shelf(home + QStringLiteral("/setts.sqlite"));
    StudioWindow window(shelf);
    window.resize(1200, 760);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        report.figure("studio_edit_ms", "unavailable (the window was not shown)");
        return;
    }
    auto* field = qobject_cast<QLineEdit*>(window.part(QStringLiteral("sett")));
    auto* cloth = qobject_cast<ClothView*>(window.part(QStringLiteral("cloth")));
    const QString text = longSett();
    window.settEdited(text);
    const int at = text.indexOf(QStringLiteral("K40"), 3 + kEditedStripe * 4);
    std::vector<double> edits;
    int searching = 0; // keys pressed while the last search still ran
    for (int i = 0; i < kEdits; ++i) {
        searching += QTest::qWaitFor([&window] { return !window.nearestBusy(); }, 5000) ? 0 : 1;
        field->setSelection(at, 1);
        const auto start = Clock::now();
        QTest::keyClick(field, i % 2 == 0 ? Qt::Key_R : Qt::Key_K, Qt::ShiftModifier);
        cloth->repaint();
        edits.push_back(msSince(start));
    }
    const ClothThreads threads = clothThreads(readSett(text).sett, 1, 0).threads;
    std::vector<double> weaves;
    for (int i = 0; i < kEdits; ++i) {
        const auto start = Clock::now();
        const QImage picture = clothPicture(threads);
        weaves.push_back(msSince(start));
    }
    report.figure("studio_edit_size", std::to_string(cloth->repeat().width()) + "x" +
                                          std::to_string(cloth->repeat().height()));
    report.figure("studio_edit_ms", median(edits), 2);
    report.figure("studio_edit_cloth_ms", median(weaves), 2);
    report.figure("studio_edit_vs_cloth", median(edits) / median(weaves), 2);
    report.figure("studio_edit_keys_while_searching", searching, 0);
}

} // namespace

void benchStudio(const Report& report) {
    const QTemporaryDir home;
    benchStart(report, home.path());
    benchEdit(report, home.path());
}

} // namespace loomara::bench
