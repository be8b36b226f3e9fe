#pragma once

#include "cloth/Cloth.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace loomara {

// Who wrote a draft, and when: every draft file says so.
struct DraftCredits {
    QString date; // free text, e.g. "December 8, 2026"
    QString contact;
    QString programName;
    QString programVersion;
};

struct WeavingDraft {
    QByteArray bytes;
    std::optional<QString> refusal;

    bool ok() const { return !refusal; }
};

// The threads as a weaving information file (version 1.1, CR LF lines): the weave's shafts,
// treadles and tie-up, the threading and treadling clothPicture() weaves, every end and pick in its
// colour, and the weave named in the notes. The colour table holds each colour some thread uses,
// in the order of first use, the warp's before the weft's. The threads are spaced to the given
// density, or 20 to the centimetre when it is 0. Refused when there is no thread either way, or the
// threading or treadling does not match the threads.
WeavingDraft weavingDraft(const ClothThreads& threads, const QString& title,
                          const DraftCredits& credits, double threadsPerMetre = 0);

} // namespace loomara
