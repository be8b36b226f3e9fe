#pragma once

#include <QByteArray>
#include <QtEndian>

#include <utility>

namespace loomara::testing {

// The pixels per metre across and down as a picture file's own header spells them: the bitmap's
// info header, or the PNG's pHYs chunk (whose unit must be the metre); -1 each when it has none.
inline std::pair<int, int> headerDensity(const QByteArray& bytes) {
    if (bytes.startsWith("BM")) {
        return {qFromLittleEndian<qint32>(bytes.constData() + 38),
                qFromLittleEndian<qint32>(bytes.constData() + 42)};
    }
    const qsizetype chunk = bytes.indexOf("pHYs");
    if (chunk < 0 || bytes.size() < chunk + 13 || bytes.at(chunk + 12) != 1) {
        return {-1, -1};
    }
    return {qFromBigEndian<qint32>(bytes.constData() + chunk + 4),
            qFromBigEndian<qint32>(bytes.constData() + chunk + 8)};
}

} // namespace loomara::testing
