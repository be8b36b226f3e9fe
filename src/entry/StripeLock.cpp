#include "entry/StripeLock.h"

#include "entry/ThreadCount.h"
#include "model/Int16.h"

#include <cassert>
#include <variant>

namespace loomara {

namespace {

constexpr float kStripStartTwips = 120.0f;
constexpr int16 kTwipsPerThread = 10;
// Slots up to this one write the total up to themselves; later ones the total of all slots.
constexpr int kLastPartialTotalSlot = 10;

QString refusal(int slot, const QString& reason) {
    return QStringLiteral("Slot %1: %2").arg(slot).arg(reason);
}

QString countRangeAdvice() {
    return QStringLiteral("type a whole thread count from 0 to %1 before locking.")
        .arg(kMaxThreadCount);
}

// The count of the slot's box, or the refusal.
std::variant<int16, QString> usableCount(int slot, const QString& text) {
    const std::optional<long long> count = parseThreadCount(text);
    if (!count) {
        const bool blank = text.trimmed().isEmpty();
        return refusal(slot, (blank ? QStringLiteral("the count box is empty; ")
                                    : QStringLiteral("the count is not a number; ")) +
                                 countRangeAdvice());
    }
    if (*count < 0) {
        return refusal(slot,
                       QStringLiteral("a thread count cannot be negative; ") + countRangeAdvice());
    }
    if (*count > kMaxThreadCount) {
        return refusal(slot, QStringLiteral("a thread count above %1 does not fit the strip; ")
                                     .arg(kMaxThreadCount) +
                                 countRangeAdvice());
    }
    return static_cast<int16>(*count);
}

} // namespace

std::optional<QString> lockStripe(int slot, DesignState& design, FormState& form) {
    assert(slot >= 1 && slot <= DesignState::kSlotCount);
    const QString typed = form.countBox(slot).text();
    const auto checked = usableCount(slot, typed);
    if (const auto* message = std::get_if<QString>(&checked)) {
        return *message;
    }
    const int16 count = std::get<int16>(checked);

    // Every total the lock and the sett-width rule will write must fit 16 bits; the whole sett
    // bounds all of them, since locked counts are never negative.
    DesignState after = design;
    after.slot(slot).threadCount = count;
    if (!after.threadCountTotal(DesignState::kSlotCount)) {
        return refusal(slot, QStringLiteral("the sett would be wider than 32767 threads; lower a "
                                            "thread count before locking."));
    }

    LockBox& box = form.lockBox(slot);
    const QString entry = design.currentCode + typed + QStringLiteral(", ");
    if (slot == 1) {
        box.left = kStripStartTwips;
        box.width = static_cast<float>(*checkedMul16(count, kTwipsPerThread));
        form.notation.setText(entry);
    } else {
        box.width = static_cast<float>(*checkedMul16(count, kTwipsPerThread));
        const LockBox& neighbour = form.lockBox(slot - 1);
        box.left = neighbour.left + neighbour.width;
        form.notation.setText(form.notation.text() + entry);
    }
    box.backColour = design.currentColour();
    box.bordered = false;
    design.storeStripe(slot, count);

    const int lastSummed = slot <= kLastPartialTotalSlot ? slot : DesignState::kSlotCount;
    form.settWidth.setText(QString::number(*design.threadCountTotal(lastSummed)));
    return std::nullopt;
}

} // namespace loomara
