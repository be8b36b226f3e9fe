#pragma once

#include "palette/PaletteSwatch.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace loomara {

// The largest count a written sett may give a stripe: as when locking, its bar of 10 twips a
// thread must fit a 16-bit width.
inline constexpr int kLargestWrittenCount = INT16_MAX / 10;
// The widest sett, in threads: the sett width is a 16-bit value.
inline constexpr int kWidestWrittenSett = INT16_MAX;

// One stripe of a written sett: its colour code as written, its thread count and the swatch the
// code names.
struct WrittenStripe {
    QString code;
    int count = 0;
    PaletteSwatch swatch{};
};

// Why a written sett cannot be read, and where. character is the 1-based place the message names
// ("at character 7"), or 0 when the message is about the text as a whole.
struct SettRefusal {
    QString message;
    int character = 0;
};

// The stripes of a written sett in order, or why it cannot be read (then stripes is empty).
struct SettReading {
    QList<WrittenStripe> stripes;
    std::optional<SettRefusal> refusal;

    bool ok() const { return !refusal; }
};

// Reads a sett written either as the reference lists write it, pairs of a palette code and a
// whole count without separators ("y8b32k28r60y8"), or as the notation box holds it, each pair
// followed by ", " ("K10, R20, lr4, "); a comma anywhere means the second form. Codes are matched
// case-sensitively against the palette, counts must be digits only, 0 to kLargestWrittenCount,
// with at most DesignState::kSlotCount stripes and a total of at most kWidestWrittenSett threads.
// Blanks and line breaks around the whole text are ignored.
//
// Places in messages count the text's first character as firstCharacter, so that a caller who
// reads a piece of a longer line can name places on that line.
SettReading readWrittenSett(QStringView text, int firstCharacter = 1);

} // namespace loomara
