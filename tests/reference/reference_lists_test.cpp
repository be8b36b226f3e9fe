#include "reference/ReferencePages.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

#include <array>
#include <stdexcept>

namespace {

using loomara::reference::referencePage;
using loomara::reference::storedLines;
using loomara::reference::storedListBytes;

struct StoredList {
    qsizetype bytes;
    int lines;
    const char* sha256;
    const char* firstName;
    const char* lastLine;
};

// The lists as delivered with the project; any conversion of their bytes on the way into the
// program (line breaks, trailing blanks, an added final break) changes the size or the digest.
const std::array<StoredList, 6> kStored{{
    {41653, 666, "6bff60a0cb6cd82b0a78e4e3b38a563a1bee915499e4d95005564682be8818aa", "Abbotsford",
     "Dinwiddie                         k4r8k4n12g44k24n82k4n4lg14"},
    {39031, 640, "68767162555c350a39188e72e18b29de64fdb080988c571bcd0aa6873da2ee51", "Dogwood",
     "Justus International              m12g6m6w6m6y6m12"},
    {46539, 738, "e0a93cfb9fc3c9312c8c680f07ee241a87e447fac7df44b9aa5e31b47e1e5d5e",
     "Katsushika Scottish Country Dancers",
     "MacOrrell                         b10y4b34g28w2g2w2g8y4"},
    {41745, 657, "fc2fffd41bec6253d67c22f02be13efcec341f85fd2bc945494814f7b8d21113", "MacPhadran",
     "Sawyer                            g4w2g20b2k8r16a2r4"},
    {23024, 378, "41285df81b60f553ccd7a951a2047cb9f23ffdc44c11d4032ef606ff16e69250",
     "Scoepaig, fragment", "Utah Centennial           w6b16s16b12r16g48r16w12"},
    {9740, 176, "54cff2852652e9bcd440c067fb67bab33cda853b7e76435cc7250f7f192ef091",
     "Valdres, Kvam and Vang", "Yukon                 p8b32y2b2y2b10y8g8w8r8 "},
}};

TEST(ReferenceLists, ResourcesHoldTheListsByteForByte) {
    for (int page = 1; page <= 6; ++page) {
        SCOPED_TRACE(page);
        const StoredList& expected = kStored[static_cast<std::size_t>(page - 1)];
        const QByteArray bytes = storedListBytes(page);
        EXPECT_EQ(bytes.size(), expected.bytes);
        EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(),
                  QByteArray(expected.sha256));
    }
}

TEST(ReferenceLists, LinesBreakWithCrLfAndTheLastHasNoBreak) {
    for (int page = 1; page <= 6; ++page) {
        SCOPED_TRACE(page);
        const QByteArray bytes = storedListBytes(page);
        EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n"));
        EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n"));
        EXPECT_FALSE(bytes.endsWith('\n'));

        const QStringList lines = storedLines(page);
        const StoredList& expected = kStored[static_cast<std::size_t>(page - 1)];
        EXPECT_EQ(lines.size(), expected.lines);
        EXPECT_TRUE(lines.first().startsWith(QString::fromLatin1(expected.firstName) + "  "));
        EXPECT_EQ(lines.last(), QString::fromLatin1(expected.lastLine));
        for (const QString& line : lines) {
            EXPECT_FALSE(line.trimmed().isEmpty());
        }
    }
}

TEST(ReferenceLists, PageNumbersOutsideOneToSixAreRefused) {
    EXPECT_THROW(static_cast<void>(referencePage(0)), std::out_of_range);
    EXPECT_THROW(static_cast<void>(referencePage(7)), std::out_of_range);
    EXPECT_THROW(static_cast<void>(storedListBytes(-1)), std::out_of_range);
}

} // namespace
