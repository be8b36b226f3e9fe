#pragma once

#include "model/Colour.h"
#include "sett/Sett.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>
#include <variant>

namespace loomara {

// The units a weaver writes a cloth's size and density in.
enum class LengthUnit { Centimetre, Metre, Inch, Yard };

// A length as it was written, so that it can be shown again as written and so that a width in
// inches at a density per inch counts its threads without a detour through metres.
struct Length {
    double amount = 0;
    LengthUnit unit = LengthUnit::Centimetre;

    double metres() const;
    QString written() const; // "28in"
};

// Threads to the centimetre or to the inch.
struct Density {
    double threads = 0;
    LengthUnit per = LengthUnit::Centimetre;

    QString written() const; // "56/in"
    // The same density in threads to another unit of length.
    double threadsPer(LengthUnit unit) const;
};

// The longest width, length or waste a plan takes: a long warp for a mill, and it keeps the
// metres of yarn far from overflow.
inline constexpr double kLongestLength = 1000;
// The densest cloth, in threads to the centimetre: finer than any silk.
inline constexpr double kDensestThreads = 1000;
// The least density a cloth may be given, in threads to the centimetre: one thread to the metre,
// the least a picture file can record.
inline constexpr double kSparsestCloth = 0.01;
// The most ends or picks a plan counts: a million ends is 30 metres of cloth at the finest silk's
// density, so more is a mistyped number rather than a cloth.
inline constexpr long long kMostYarnThreads = 1'000'000;

// A length written with its unit ("28in", "8yd", "150cm", "0.5m"), from 0 to kLongestLength
// metres, or why the text is none; the reason names the text and the units accepted.
std::variant<Length, QString> readLength(QStringView text);
// A density written with its unit ("12/cm", "56/in"), above 0 and at most kDensestThreads to the
// centimetre, or why the text is none.
std::variant<Density, QString> readDensity(QStringView text);
// A percentage from 0% to 100% ("10%") as a fraction, or why the text is none.
std::variant<double, QString> readPercentage(QStringView text);

// The threads of a length at a density, unrounded.
double threadsIn(Length length, Density density);

// What a weaving handbook takes when nothing else is known: about three quarters of a metre of
// loom waste per end, and a tenth of the weft taken up by the weave.
inline constexpr Length kHandbookWaste{0.75, LengthUnit::Metre};
inline constexpr double kHandbookTakeUp = 0.10;

// What a weaver orders: the cloth's size and density, and what the loom and the weaving cost.
struct ClothOrder {
    Length width;
    Length length;
    Density density;     // of the warp
    Density weftDensity; // picks along the length
    // Warp that never becomes cloth: tied on in front and left behind the last pick, per end.
    Length waste = kHandbookWaste;
    // The weft's take-up as a fraction: a pick runs over and under the ends, so it is longer than
    // the cloth is wide, and the cloth draws in.
    double takeUp = kHandbookTakeUp;
};

// One colour's share of the cloth; yarn in whole centimetres, so that the lines add up exactly to
// the totals that are shown.
struct YarnLine {
    QString code;
    Rgb colour;
    long long ends = 0;
    long long picks = 0;
    long long warpCm = 0;
    long long weftCm = 0;

    long long totalCm() const { return warpCm + weftCm; }
};

// How the threads of one way fill the cloth: whole repeats of the sett, and then part of one.
struct YarnCut {
    long long threads = 0;
    long long perRepeat = 0;
    long long wholeRepeats = 0;
    long long lastRepeatThreads = 0;
};

struct YarnPlan {
    QList<YarnLine> lines; // every colour the cloth uses, in order of first use: warp, then weft
    YarnLine total;
    YarnCut warp;
    YarnCut weft;
    std::optional<QString> refusal;

    bool ok() const { return !refusal; }
};

// The yarn for the cloth: the warp runs from the sett's first thread through its repeats and is cut
// where the width ends; the weft runs its sett (Sett::weft()) the same way along the length. Warp
// yarn per colour is its ends x (length + waste), weft yarn its picks x width x (1 + take-up).
// Refused when a way holds no thread or more than kMostYarnThreads.
YarnPlan yarnPlan(const Sett& sett, const ClothOrder& order);

// What the whole repeats of the sett and the part of the last one come to across the width and
// along the length: "the width holds 8 whole repeats of 182 ends and 112 ends of the next."
QStringList yarnNotes(const YarnPlan& plan);

// What the header line says of a plan: the sett's title, the cloth and the waste and take-up, each
// marked when it is the handbook's rather than the weaver's.
QString yarnHeading(const QString& title, const ClothOrder& order, bool handbookWaste,
                    bool handbookTakeUp);

// The plan as text: the heading as one line starting with '#', the names of the columns on a
// second such line, a line per colour (code, colour as
// R,G,B, ends, picks, metres of warp, of weft, in all) and a total line, the fields separated by
// tabs.
QString yarnTable(const YarnPlan& plan, const QString& heading);
// One line of the table as its fields; the total line leaves the colour empty.
QStringList yarnFields(const YarnLine& line, bool total);
// The same table as CSV, with a row of column names after the header line.
QByteArray yarnCsv(const YarnPlan& plan, const QString& heading);

} // namespace loomara
