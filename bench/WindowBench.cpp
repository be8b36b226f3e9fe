#include "Bench.h"

#include "ui/Loomara.h"
#include "ui/PictureBox.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <vector>

namespace loomara::bench {

namespace {

using Clock = std::chrono::steady_clock;

void click(const Loomara& window, const QString& name) {
    QTest::mouseClick(qobject_cast<QWidget*>(window.control(name)), Qt::LeftButton);
}

// The demo sett of the screenshots, 200 threads wide so that the weave fills the whole picture,
// entered through the window's controls.
void enterDemoSett(const Loomara& window) {
    const struct {
        int swatch;
        const char* count;
    } stripes[] = {{169, "60"}, {161, "48"}, {164, "72"}, {161, "10"}, {173, "10"}};
    int slot = 1;
    for (const auto& stripe : stripes) {
        click(window, QStringLiteral("Picture%1").arg(stripe.swatch));
        auto* count = qobject_cast<QLineEdit*>(window.control(QStringLiteral("Text%1").arg(slot)));
        count->selectAll();
        QTest::keyClicks(count, QString::fromLatin1(stripe.count));
        click(window, QStringLiteral("Picture%1").arg(135 + slot));
        ++slot;
    }
    click(window, QStringLiteral("Picture164"));
    click(window, QStringLiteral("Picture246"));
}

} // namespace

void benchWindow(const Report& report) {
    constexpr int kStartRuns = 7;
    std::vector<double> starts;
    for (int run = 0; run < kStartRuns; ++run) {
        if (const auto ms = startupMs(QStringLiteral(LOOMARA_BINARY))) {
            starts.push_back(*ms);
        }
    }
    if (starts.empty()) {
        report.figure("startup_ms", "unavailable (the program did not report its window)");
    } else {
        report.figure("startup_ms", median(starts), 1);
    }

    Loomara window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        report.figure("weave_click_ms", "unavailable (the window was not shown)");
        return;
    }
    enterDemoSett(window);
    auto* weaveButton = qobject_cast<QAbstractButton*>(window.control(QStringLiteral("WEAVE")));
    auto* canvas = qobject_cast<PictureBox*>(window.control(QStringLiteral("Picture135")));
    constexpr int kClicks = 15;
    std::vector<double> clicks;
    for (int i = 0; i < kClicks; ++i) {
        const auto start = Clock::now();
        weaveButton->click();
        canvas->repaint();
        clicks.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    report.figure("weave_click_ms", median(clicks));
}

} // namespace loomara::bench
