#pragma once

#include "sett/Sett.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace loomara {

// What a written sett may hold; a cloth picture and a draft take any sett within them.
inline constexpr int kMostSettStripes = 1000;
inline constexpr int kLargestSettCount = 10'000;
// Threads each way, of one repeat and of a whole draft: at 20 threads to the centimetre it is
// 50 metres of cloth, and a draft's file already runs to megabytes.
inline constexpr long long kMostRepeatThreads = 100'000;

// Why a written sett cannot be read, and where. character is the 1-based place the message names
// ("at character 7"), or 0 when the message is about the text as a whole.
struct SettRefusal {
    QString message;
    int character = 0;
    // The message without the place and without what was refused in front of it, when it has
    // them ("the sett has 22 stripes; ..."); empty when the message is the reason alone.
    QString reason;

    QString reasonAlone() const { return reason.isEmpty() ? message : reason; }
};

// The sett a text holds, or why it holds none (then the sett has no stripes).
struct SettReading {
    Sett sett;
    std::optional<SettRefusal> refusal;
    // Pairs separated by blanks with neither pivot nor repeat marks: read as symmetric, as the
    // lists and the designer weave, though some pattern books mean a straight repeat.
    bool unmarkedPairs = false;

    bool ok() const { return !refusal; }
};

// Reads a sett in any of the forms people write:
//   the reference lists' pairs without separators       y8b32k28r60y8
//   the designer's notation box, each pair then ", "     K10, R20, lr4,
//   pattern books' pairs separated by blanks or commas   K4 R24 K24 Y4
//   the pivots marked with a slash                       B/24 W4 B24 R2 K24 G24 W/2
//   a straight repeat between "..." marks                ...K4 R24 K24 Y4...
// Every form but the last is symmetric. Codes are matched case-sensitively against the palette;
// a count is digits alone, at most kLargestSettCount; a sett holds at most kMostSettStripes
// stripes and kMostRepeatThreads threads in a repeat. Blanks and line breaks around the whole
// text are ignored. Places in messages count the text's first character as firstCharacter, so
// that a caller who reads a piece of a longer line can name places on that line.
SettReading readSett(QStringView text, int firstCharacter = 1);

// For a sett read from unmarked pairs, how it was read and how to write the straight repeat the
// user may have meant; empty for any other reading. `which` names the sett when it is not the
// warp's, e.g. "the weft ".
QString howItWasRead(const SettReading& reading, const QString& which = {});

// For a sett with stripes of no threads, that they are woven as nothing: "1 stripe of no threads
// (R0) in the sett is woven as nothing."; empty when every stripe has threads.
QString emptyStripesNote(const Sett& sett, const QString& which = {});

} // namespace loomara
