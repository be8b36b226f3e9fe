#include "collection/AskedSett.h"

namespace loomara {

AskedSettReading writtenSett(const QString& text, const QString& what) {
    const SettReading reading = readSett(text);
    if (!reading.ok()) {
        return AskedSettRefusal{what + reading.refusal->message, text, reading.refusal->character};
    }
    // The title stands on one line: a draft's and the yarn table's heading.
    AskedSett asked{reading.sett, text.simplified(), text, nullptr, {}, {}};
    const QString which = what.isEmpty() ? QString() : QStringLiteral("the weft ");
    if (reading.unmarkedPairs) {
        asked.notes.append(howItWasRead(reading, which));
    }
    if (const QString note = emptyStripesNote(reading.sett, which); !note.isEmpty()) {
        asked.notes.append(note);
    }
    return asked;
}

AskedSettReading namedSett(const QString& name) {
    const NamedEntry named = entryNamed(name);
    if (named.first == nullptr) {
        return AskedSettRefusal{unknownNameReason(name), {}, 0, true};
    }
    const SettReading& reading = named.first->reading;
    if (!reading.ok()) {
        return AskedSettRefusal{named.notWoven(), named.shownLine, reading.refusal->character};
    }
    return AskedSett{reading.sett, named.first->entry.name, named.shownLine,
                     named.first,  named.severalNote(),     {}};
}

std::optional<AskedSettRefusal> giveOwnWeft(AskedSett& sett, const QString& text,
                                            const QString& what) {
    const AskedSettReading weft = writtenSett(text, what);
    if (const auto* refusal = std::get_if<AskedSettRefusal>(&weft)) {
        return *refusal;
    }
    sett.sett.ownWeft = std::make_shared<const Sett>(std::get<AskedSett>(weft).sett);
    sett.notes += std::get<AskedSett>(weft).notes;
    return std::nullopt;
}

} // namespace loomara
