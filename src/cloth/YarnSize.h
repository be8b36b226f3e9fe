#pragma once

#include "cloth/Weave.h"

#include <QString>
#include <QStringView>

#include <variant>

namespace loomara {

// How thick a yarn is: its width across in millimetres, round, from a count as the spinner writes
// it, or why the count does not read. Counts are of length to weight, so a higher count is a finer
// yarn; a ply count P/C is P strands of count C twisted together, as thick as one of count C / P:
//   Nm 2/28   metric, metres to the gram (worsted)
//   NeW 2/48  worsted, hanks of 560 yards to the pound
//   YSW 12    Yorkshire skeins woollen, 256 yards to the pound
std::variant<double, QString> yarnWidthMm(QStringView count);

// The yarn a cloth of that density is woven from unless told: the thickest that weaves firm in
// the weave, where the threads of a round of the weave take the room of their widths and of a
// width more for each time a thread crosses from face to back (a 2/2 twill: four threads and two
// crossings, so the threads lie at two thirds of the yarn's widths to the same length).
double firmYarnWidthMm(double threadsPerMm, const Weave& weave);

// A round yarn lies wider in the cloth than it is across, pressed flat where the threads cross:
// wool in a firm cloth by about a quarter.
inline constexpr double kFlattenedInCloth = 1.25;

// The metric count of a two-ply worsted yarn of that width, as a note on a yarn taken unless told
// would write it: "Nm 2/30".
QString metricTwoPlyCount(double widthMm);

} // namespace loomara
