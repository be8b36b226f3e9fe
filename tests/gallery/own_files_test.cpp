#include "gallery/OwnFiles.h"
#include "io/io_test_support.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <random>

using namespace loomara;

// A file the gallery wrote is its own only while every byte is as written: a change of one byte
// anywhere, the size kept, makes it the user's; either form a stopped run listed is its own.
TEST(OwnFiles, AFileIsAsWrittenOnlyWhileEveryByteIs) {
    QTemporaryDir dir;
    const QString path = dir.filePath("card.png");
    std::mt19937 random(32);
    for (int i = 0; i < 60; ++i) {
        QByteArray written(std::uniform_int_distribution<int>(1, 3000)(random), '\0');
        for (char& byte : written) {
            byte = static_cast<char>(random());
        }
        QByteArray older = written;
        older.append('x');
        const QList<OwnFile> forms{ownFile(older), ownFile(written)};
        ASSERT_TRUE(loomara::testing::writeFile(path, written));
        EXPECT_EQ(compareWritten(path, forms), Compared::AsWritten);
        QByteArray changed = written;
        const auto at = std::uniform_int_distribution<qsizetype>(0, changed.size() - 1)(random);
        changed[at] = static_cast<char>(changed[at] ^ (1 << (random() % 8)));
        ASSERT_TRUE(loomara::testing::writeFile(path, changed));
        EXPECT_EQ(compareWritten(path, forms), Compared::Changed) << "byte " << at;
    }
}
