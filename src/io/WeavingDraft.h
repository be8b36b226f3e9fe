#pragma once

#include "model/Colour.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace loomara {

// One stripe of the sett to draft: the colour its palette code sets, and its thread count.
struct DraftStripe {
    Rgb colour;
    int count = 0;
};

struct DraftRequest {
    QList<DraftStripe> stripes; // in the order written, 1 to 21 of them
    QString title;              // the sett's name or its notation
    int shadeSteps = 0;         // that many Brighten steps when positive, Darken when negative
    int repeats = 1;
    QString date; // free text, e.g. "December 8, 2026"
    QString contact;
    QString programName;
    QString programVersion;
};

// The draft file's bytes, or why none can be written.
struct WeavingDraft {
    QByteArray bytes;
    std::optional<QString> refusal;

    bool ok() const { return !refusal; }
};

// A draft larger than this many threads each way is refused: at 20 threads to the centimetre it
// is 50 metres of cloth, and its file already runs to megabytes.
inline constexpr long long kMostDraftThreads = 100'000;

// The sett as a weaving information file (version 1.1, CR LF lines) for a 4-shaft loom: each
// repeat runs the stripes 1..n and back n-1..2 in both warp and weft, on a straight draw with a
// 2/2 twill tie-up and straight treadling. The colour table holds each colour some thread uses,
// after the shade steps, in the order of first use.
WeavingDraft weavingDraft(const DraftRequest& request);

} // namespace loomara
