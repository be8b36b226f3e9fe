#pragma once

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

namespace loomara::testing {

// A draft file as a reader parses it: each section's "Key=Value" lines in order, and under ""
// the section names in order. The line ends must be CR LF throughout.
using Wif = QMap<QString, QStringList>;

inline Wif readWif(const QByteArray& bytes) {
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
    EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n"));
    Wif wif;
    QString section;
    for (const QString& line : QString::fromUtf8(bytes).split(QStringLiteral("\r\n"))) {
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2);
            EXPECT_FALSE(wif.contains(section)) << section.toStdString();
            wif[""].append(section);
            wif[section];
        } else if (!line.isEmpty()) {
            EXPECT_GT(line.indexOf(u'='), 0) << line.toStdString();
            wif[section].append(line);
        }
    }
    return wif;
}

// The numbers of a list section ("1=3", "2=2,3" ...), checked to run 1, 2, 3 ... in order.
inline QList<QList<int>> wifList(const Wif& wif, const QString& section) {
    QList<QList<int>> values;
    for (const QString& line : wif[section]) {
        EXPECT_EQ(line.section(u'=', 0, 0).toInt(), values.size() + 1) << line.toStdString();
        QList<int> numbers;
        for (const QString& n : line.section(u'=', 1).split(u',')) {
            numbers.append(n.toInt());
        }
        values.append(numbers);
    }
    return values;
}

// The cloth the draft describes, as a loom weaves it: end i is raised on pick j when the treadle
// of pick j lifts the shaft end i is threaded on, and then shows its colour; else the pick shows.
inline QImage drawdownOf(const Wif& wif) {
    QList<QRgb> table;
    for (const QList<int>& c : wifList(wif, QStringLiteral("COLOR TABLE"))) {
        table.append(qRgb(c.value(0), c.value(1), c.value(2)));
    }
    const QList<QList<int>> threading = wifList(wif, QStringLiteral("THREADING"));
    const QList<QList<int>> tieUp = wifList(wif, QStringLiteral("TIEUP"));
    const QList<QList<int>> treadling = wifList(wif, QStringLiteral("TREADLING"));
    const QList<QList<int>> warp = wifList(wif, QStringLiteral("WARP COLORS"));
    const QList<QList<int>> weft = wifList(wif, QStringLiteral("WEFT COLORS"));
    QImage picture(static_cast<int>(threading.size()), static_cast<int>(treadling.size()),
                   QImage::Format_RGB32);
    for (int j = 0; j < picture.height(); ++j) {
        const QList<int>& lifted = tieUp.value(treadling[j].value(0) - 1);
        for (int i = 0; i < picture.width(); ++i) {
            const bool raised = lifted.contains(threading[i].value(0));
            picture.setPixel(i, j, table.value((raised ? warp[i] : weft[j]).value(0) - 1));
        }
    }
    return picture;
}

} // namespace loomara::testing
