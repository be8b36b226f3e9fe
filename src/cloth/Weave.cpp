#include "cloth/Weave.h"

#include <QStringList>

#include <algorithm>
#include <utility>

namespace loomara {

namespace {

// Each row is what a weaver writes on the draft: shafts, tie-up and one round of the draw.
QList<Weave> weaveTable() {
    return {
        {"twill", "2/2 twill", 4, {{1, 2}, {2, 3}, {3, 4}, {4, 1}}, {1, 2, 3, 4}, false},
        {"plain", "plain weave", 2, {{1}, {2}}, {1, 2}, false},
        {"2/1", "2/1 twill", 3, {{1, 2}, {2, 3}, {3, 1}}, {1, 2, 3}, false},
        {"3/1", "3/1 twill", 4, {{1, 2, 3}, {2, 3, 4}, {3, 4, 1}, {4, 1, 2}}, {1, 2, 3, 4}, false},
        {"point", "2/2 point twill", 4, {{1, 2}, {2, 3}, {3, 4}, {4, 1}}, {1, 2, 3, 4}, true},
        {"hopsack", "2/2 hopsack", 2, {{1}, {2}}, {1, 1, 2, 2}, false},
    };
}

} // namespace

const QList<Weave>& weaves() {
    static const QList<Weave> table = weaveTable();
    return table;
}

const Weave& defaultWeave() {
    return weaves().constFirst();
}

std::optional<Weave> weaveNamed(QStringView name) {
    for (const Weave& weave : weaves()) {
        if (name.compare(weave.name, Qt::CaseInsensitive) == 0) {
            return weave;
        }
    }
    return std::nullopt;
}

QString unknownWeaveReason(const QString& given) {
    QStringList names;
    for (const Weave& weave : weaves()) {
        names.append(weave.name);
    }
    const QString last = names.takeLast();
    return QStringLiteral("there is no weave \"%1\"; the weaves are %2 and %3 (%4 unless given)")
        .arg(given, names.join(QStringLiteral(", ")), last, defaultWeave().name);
}

DrawWalk::DrawWalk(const Weave& weave, qsizetype perRepeat, QList<qsizetype> turns)
    : draw_(weave.draw), perRepeat_(std::max<qsizetype>(perRepeat, 1)), turns_(std::move(turns)),
      turning_(weave.turnsAtPivots) {}

int DrawWalk::next() {
    const int drawn = draw_.value(at_);
    if (turning_ && turns_.contains(thread_ % perRepeat_)) {
        step_ = -step_;
    }
    const auto round = static_cast<int>(draw_.size());
    at_ = round > 0 ? (at_ + step_ + round) % round : 0;
    ++thread_;
    return drawn;
}

} // namespace loomara
