// loomara-render's numbers: every option's refusal shows the bounds it enforces, in the unit the
// option was given in, and those shown numbers are the edge itself.

#include "RenderTestSupport.h"

#include "model/WrittenNumber.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace loomara;
using namespace loomara::testing;

TEST(RenderNumbers, EachOptionTakesTheBoundsItsRefusalShowsAndNothingPast) {
    QTemporaryDir dir;
    const QString png = dir.filePath("out.png");
    const QString sett = QStringLiteral("K/2 R/2");
    const QStringList picture{sett, "-o", png};
    const QStringList cloth{sett, "--cloth", "-o", png};
    const QStringList woven{sett, "--cloth", "--as-woven", "-o", png};
    const QStringList similar{"--similar", sett};
    const QStringList order{"--width", "10in", "--length", "1yd", "--density", "10/in"};
    struct Row {
        QStringList mode;
        QString option;
        QString bad;
        QString form = QStringLiteral("%1");
    };
    const Row rows[]{
        {picture, "--brighten", "1e0"},
        {picture, "--darken", "10"},
        {picture, "--scale", "2.0"},
        {cloth, "--repeats", "0"},
        {cloth, "--threads-per-inch", "1e3"},
        {cloth, "--threads-per-cm", "0.009"},
        {woven, "--pixels-per-mm", "1e1"},
        {woven, "--yarn-size", "x", "Nm %1/28"},
        {woven, "--yarn-size", "1e3", "Nm 2/%1"},
        {similar, "--top", "+3"},
        {{sett, "--yarn"}, "--width", "1e2m"},
        {{sett, "--yarn"}, "--length", "1e2in"},
        {{sett, "--yarn"}, "--waste", "-1yd"},
        {{sett, "--yarn"}, "--density", "1e1/cm"},
        {{sett, "--yarn"}, "--weft-density", "0/in"},
        {{sett, "--yarn"}, "--take-up", "101%"},
    };
    static const QRegularExpression shownBounds(QStringLiteral(
        R"((from|above) (\d+(?:\.\d+)?)(\S*) (?:to|and at most) (\d+(?:\.\d+)?)([^\s,]*))"));
    for (const Row& row : rows) {
        SCOPED_TRACE((row.option + u' ' + row.form.arg(row.bad)).toStdString());
        const auto run = [&](const QString& value) {
            QStringList arguments = row.mode + QStringList{row.option, row.form.arg(value)};
            for (qsizetype i = 0; row.mode.contains("--yarn") && i < order.size(); i += 2) {
                if (order[i] != row.option) {
                    arguments += order.mid(i, 2);
                }
            }
            return render(arguments);
        };
        const RenderRun refused = run(row.bad);
        ASSERT_EQ(refused.status, kRenderRefused);
        const QString line = refused.errLines().value(0);
        EXPECT_TRUE(line.startsWith("loomara-render: " + row.option)) << line.toStdString();
        const QRegularExpressionMatch bounds = shownBounds.match(line);
        ASSERT_TRUE(bounds.hasMatch()) << line.toStdString();
        const QString said = bounds.captured(0);
        const bool above = bounds.captured(1) == u"above";
        // Each bound with its unit, and a step of its last digit past it.
        for (const int at : {2, 4}) {
            const QString edge = bounds.captured(at);
            const QString unit = bounds.captured(at + 1);
            const qsizetype point = edge.indexOf(u'.');
            const double step = std::pow(10, point < 0 ? 0 : -(edge.size() - point - 1));
            const double past = edge.toDouble() + (at == 2 ? -step : step);
            if (!(at == 2 && above)) {
                EXPECT_FALSE(run(edge + unit).err.contains(said)) << (edge + unit).toStdString();
            }
            const QString beyond = (at == 2 && above ? edge : plainNumber(past, 15)) + unit;
            if (past >= 0 || above) {
                EXPECT_TRUE(run(beyond).err.contains(said)) << beyond.toStdString();
            }
        }
    }
}
