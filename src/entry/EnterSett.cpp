#include "entry/EnterSett.h"

#include "entry/StripeLock.h"
#include "model/DesignState.h"

namespace loomara {

namespace {

SettRefusal refusalAt(const SettStripe& stripe, const QString& reason) {
    if (stripe.writtenAt <= 0) {
        return {reason, 0, {}};
    }
    return {QStringLiteral("at character %1: ").arg(stripe.writtenAt) + reason, stripe.writtenAt,
            reason};
}

} // namespace

std::optional<SettRefusal> beyondTheWindow(const Sett& sett) {
    if (sett.repeat == Repeat::Straight) {
        return SettRefusal{QStringLiteral("the designer's window weaves every sett mirrored about "
                                          "its pivots, not as a straight repeat."),
                           0,
                           {}};
    }
    if (sett.ownWeft) {
        return SettRefusal{QStringLiteral("the designer's window weaves the weft as the warp, not "
                                          "a weft of its own."),
                           0,
                           {}};
    }
    if (sett.stripes.isEmpty()) {
        return SettRefusal{QStringLiteral("the sett has no stripes to weave."), 0, {}};
    }
    if (sett.stripes.size() > DesignState::kSlotCount) {
        return refusalAt(sett.stripes[DesignState::kSlotCount],
                         QStringLiteral("the sett has %1 stripes; the designer's window holds at "
                                        "most %2.")
                             .arg(sett.stripes.size())
                             .arg(DesignState::kSlotCount));
    }
    int total = 0;
    for (const SettStripe& stripe : sett.stripes) {
        if (!findSwatchByCode(stripe.code)) {
            return refusalAt(
                stripe,
                QStringLiteral("\"%1\" is not a colour code of the palette.").arg(stripe.code));
        }
        if (stripe.count > kMaxThreadCount) {
            return refusalAt(stripe, QStringLiteral("the thread count %1 is above %2 and does not "
                                                    "fit the designer's strip.")
                                         .arg(stripe.count)
                                         .arg(kMaxThreadCount));
        }
        total += stripe.count;
        if (total > INT16_MAX) {
            return refusalAt(stripe, QStringLiteral("with this stripe the sett would be wider "
                                                    "than the %1 threads the designer's window "
                                                    "holds.")
                                         .arg(INT16_MAX));
        }
    }
    return std::nullopt;
}

std::optional<SettRefusal> enterAndWeave(Designer& designer, const SettEntry& entry) {
    if (std::optional<SettRefusal> refusal = beyondTheWindow(entry.sett)) {
        return refusal;
    }
    int slot = 0;
    for (const SettStripe& stripe : entry.sett.stripes) {
        ++slot;
        designer.selectSwatch(findSwatchByCode(stripe.code)->pictureNumber);
        designer.typeCount(slot, QString::number(stripe.count));
        if (std::optional<QString> refusal = designer.lockStripe(slot)) {
            return refusalAt(stripe, *refusal);
        }
    }
    if (entry.background != nullptr) {
        designer.selectSwatch(entry.background->pictureNumber);
        designer.takeBackgroundColour();
    }
    for (int step = 0; step < entry.shadeSteps; ++step) {
        designer.brighten();
    }
    for (int step = 0; step > entry.shadeSteps; --step) {
        designer.darken();
    }
    designer.weave();
    return std::nullopt;
}

} // namespace loomara
