#include "model/WrittenNumber.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace loomara;

namespace {

const NumberBounds kWhole{1, 8, false, true};
const NumberBounds kPerInch{0.01 * 2.54, 1000 * 2.54}; // the sparsest and densest cloth
const NumberBounds kAboveZero{0, 100, true};

} // namespace

// One form for every number: plain digits and at most one point, however many digits; no sign,
// exponent, blank or other digits. The bounds are those shown, the edge itself taken.
TEST(WrittenNumber, ReadsOneFormWithinTheBoundsItShows) {
    constexpr double kRefused = -1;
    struct Row {
        QString text;
        NumberBounds bounds;
        double read;
    };
    const Row rows[]{
        {"8", kWhole, 8},
        {"007", kWhole, 7},
        {"0001", kWhole, 1},
        {QString(1000, u'0') + u'3', kWhole, 3},
        {"9", kWhole, kRefused},
        {"0", kWhole, kRefused},
        {"2.0", kWhole, kRefused},
        {"2.", kWhole, kRefused},
        {"1e0", kWhole, kRefused},
        {"+2", kWhole, kRefused},
        {"-2", kWhole, kRefused},
        {" 2", kWhole, kRefused},
        {"2 ", kWhole, kRefused},
        {"", kWhole, kRefused},
        {QString(400, u'9'), kWhole, kRefused},
        {QStringLiteral("\u0663"), kWhole, kRefused}, // an Arabic-Indic three
        {"56", kPerInch, 56},
        {"12.5", kPerInch, 12.5},
        {".5", kPerInch, 0.5},
        {"5.", kPerInch, 5},
        {"0.0254", kPerInch, 0.0254},
        {"0.02539", kPerInch, kRefused},
        {"2540", kPerInch, 2540},
        {"2540.0000001", kPerInch, kRefused},
        {"1e3", kPerInch, kRefused},
        {"1E3", kPerInch, kRefused},
        {"1e-3", kPerInch, kRefused},
        {"1.2.3", kPerInch, kRefused},
        {".", kPerInch, kRefused},
        {"inf", kPerInch, kRefused},
        {"nan", kPerInch, kRefused},
        {"0x10", kPerInch, kRefused},
        {"1,5", kPerInch, kRefused},
        {"0.0000000001", kAboveZero, 1e-10},
        {"0", kAboveZero, kRefused},
        {"0.000", kAboveZero, kRefused},
        {"100", kAboveZero, 100},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text.left(40).toStdString());
        const std::optional<double> read = readNumber(row.text, row.bounds);
        EXPECT_EQ(read.value_or(kRefused), row.read);
    }
    EXPECT_EQ(boundsText(kWhole), "from 1 to 8");
    EXPECT_EQ(boundsText(kPerInch), "from 0.0254 to 2540");
    EXPECT_EQ(boundsText(kAboveZero, u"/cm"), "above 0/cm and at most 100/cm");
}

// Whatever the bounds, the numbers a message shows for them read back in the same form, are
// taken, and a step of their last digit past them is refused.
TEST(WrittenNumber, TheBoundsShownAreTheBoundsEnforced) {
    std::mt19937 random(32);
    std::uniform_real_distribution<double> exponent(-4, 7);
    for (int i = 0; i < 500; ++i) {
        const double a = std::pow(10, exponent(random));
        const double b = std::pow(10, exponent(random));
        const NumberBounds bounds{std::min(a, b), std::max(a, b) * 1.5};
        const QStringList shown = boundsText(bounds).split(u' ');
        ASSERT_EQ(shown.size(), 4) << boundsText(bounds).toStdString();
        for (const QString& edge : {shown[1], shown[3]}) {
            SCOPED_TRACE(boundsText(bounds).toStdString());
            EXPECT_TRUE(readNumber(edge, bounds)) << edge.toStdString();
            const qsizetype point = edge.indexOf(u'.');
            const double step = std::pow(10, point < 0 ? 0 : -(edge.size() - point - 1));
            const double past = edge == shown[1] ? edge.toDouble() - step : edge.toDouble() + step;
            if (past > 0) {
                EXPECT_FALSE(readNumber(plainNumber(past, 15), bounds))
                    << plainNumber(past, 15).toStdString();
            }
        }
    }
    EXPECT_EQ(plainNumber(1e-7, 12), "0.0000001");
    EXPECT_EQ(plainNumber(1e6, 6), "1000000");
    EXPECT_EQ(plainNumber(39370.0787401575, 6), "39370.1");
}
