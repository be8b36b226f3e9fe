#pragma once

#include "entry/Designer.h"
#include "palette/PaletteSwatch.h"

#include <gtest/gtest.h>

#include <array>

namespace loomara::testing {

inline int pictureOf(const QString& code) {
    for (const auto& s : paletteSwatches()) {
        if (s.codeText() == code) {
            return s.pictureNumber;
        }
    }
    ADD_FAILURE() << "no swatch " << code.toStdString();
    return 0;
}

// Types the count into slot k's box and clicks its lock box; the lock must succeed.
inline void typeAndLock(Designer& d, int k, const QString& count) {
    d.typeCount(k, count);
    const auto refused = d.lockStripe(k);
    ASSERT_FALSE(refused) << refused->toStdString();
}

// Everything a lock may change, to prove that a refused one changed none of it.
struct EntrySnapshot {
    std::array<Stripe, DesignState::kSlotCount> stripes;
    Rgb current;
    QString code;
    std::array<LockBox, DesignState::kSlotCount> boxes;
    QString notation;
    QString settWidth;
    Rgb settWidthColour;

    explicit EntrySnapshot(const Designer& d)
        : stripes(d.design.stripes), current(d.design.currentColour()), code(d.design.currentCode),
          boxes(d.form.lockBoxes), notation(d.form.notation.text()),
          settWidth(d.form.settWidth.text()), settWidthColour(d.form.settWidth.backColour()) {}

    friend bool operator==(const EntrySnapshot&, const EntrySnapshot&) = default;
};

} // namespace loomara::testing
