#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace loomara {

// A weave as the loom holds it: the shafts, the shafts each treadle lifts, and the order the ends
// are drawn in over the shafts, which the picks follow over the treadles (treadled as drawn in).
// Every cloth and draft is made from these numbers by one drawdown, whatever the weave.
struct Weave {
    QString name;  // as --weave takes it: "twill", "plain", "2/1", ...
    QString title; // as a draft and the studio's menu say it: "2/2 twill"
    int shafts = 0;
    QList<QList<int>> tieUp; // treadle t lifts the shafts tieUp[t - 1]; shafts count from 1
    // One round of the draw: a straight draw puts thread k (from 0) on draw[k mod size], and its
    // picks on the treadle of the same number.
    QList<int> draw;
    // A point draw: the order runs back at every pivot of the sett, so the diagonal turns there.
    bool turnsAtPivots = false;

    int treadles() const { return static_cast<int>(tieUp.size()); }
    bool lifts(int treadle, int shaft) const { return tieUp.value(treadle - 1).contains(shaft); }

    friend bool operator==(const Weave&, const Weave&) = default;
};

// The weaves a cloth can be woven in, the default (the plaid's own 2/2 twill) first.
const QList<Weave>& weaves();
const Weave& defaultWeave();

// The weave of that name, whatever its case.
std::optional<Weave> weaveNamed(QStringView name);

// Why a name names no weave, listing the ones that do: "there is no weave \"satin\"; ...".
QString unknownWeaveReason(const QString& given);

// Walks a weave's draw thread by thread: the shaft of each end, or the treadle of each pick.
// `turns` are the threads of one repeat of `perRepeat` threads (from 0) after which a point draw
// runs back; other weaves ignore them.
class DrawWalk {
public:
    DrawWalk(const Weave& weave, qsizetype perRepeat, QList<qsizetype> turns);

    // The number the next thread is drawn on, from 1.
    int next();
    // Where the walk stands: with the same repeat, a walk that stands where it began goes on
    // drawing as it did from the start.
    bool atStart() const { return at_ == 0 && step_ == 1 && thread_ % perRepeat_ == 0; }

private:
    const QList<int> draw_;
    const qsizetype perRepeat_;
    const QList<qsizetype> turns_;
    const bool turning_;
    int at_ = 0;
    int step_ = 1;
    qsizetype thread_ = 0;
};

} // namespace loomara
