#include "model/ShownText.h"

#include <gtest/gtest.h>

#include <random>

using namespace loomara;

TEST(ShownText, TurnsWhatATerminalWouldActOnIntoVisibleEscapes) {
    const std::pair<QString, QString> cases[]{
        {QStringLiteral("K1, R\x1b[7m2\x1b[0m, "), QStringLiteral("K1, R\\e[7m2\\e[0m, ")},
        {QStringLiteral("a\nb\rc\td"), QStringLiteral("a\\nb\\rc\\td")},
        {QString(QChar(0)) + QChar(0x7f) + QChar(0x9b) + QChar(0x85),
         QStringLiteral("\\x00\\x7f\\x9b\\x85")},
        {QStringLiteral("evil\u202Etxt.png\u2028"), QStringLiteral("evil\\u202etxt.png\\u2028")},
        {QStringLiteral("Ève C:\\path \"x\""), QStringLiteral("Ève C:\\path \"x\"")},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(shownText(text), shown);
    }
    EXPECT_EQ(echoed(QString(40, u'7')), QString(40, u'7'));
    EXPECT_EQ(echoed(QString(130000, u'7')), QString(30, u'7') + u'\u2026');
    EXPECT_EQ(counted(1, u"thread", u"threads"), u"1 thread");
    EXPECT_EQ(counted(0, u"thread", u"threads"), u"0 threads");
}

// Random text of every kind of character, controls and separators often: what is shown has no
// control and no line break, and the caret points at the escape or character that stands for the
// one named, or just past the end for the place after the last. A long line shows the part about
// the caret.
TEST(ShownText, AnyTextIsShownOnOneLineWithoutAControlAndWithItsCaretInPlace) {
    std::mt19937 rng(19);
    std::uniform_int_distribution<int> length(0, 200);
    std::uniform_int_distribution<int> kind(0, 3);
    std::uniform_int_distribution<int> low(0, 0xff);
    std::uniform_int_distribution<int> any(0x20, 0xffff);
    for (int run = 0; run < 2000; ++run) {
        QString text;
        for (int n = length(rng); n > 0; --n) {
            const int k = kind(rng);
            text += QChar(char16_t(k == 0 ? low(rng) % 0x20 : k == 1 ? low(rng) : any(rng)));
        }
        const QString shown = shownText(text);
        for (const QChar c : shown) {
            ASSERT_FALSE(c.category() == QChar::Other_Control ||
                         c.category() == QChar::Separator_Line ||
                         c.category() == QChar::Separator_Paragraph)
                << "U+" << std::hex << int(c.unicode()) << " in " << shown.toStdString();
        }
        // 0 and one after the place past the end name no character.
        const int character = int(rng() % (text.size() + 3));
        const QStringList lines = caretLines(text, character);
        if (character < 1 || character > text.size() + 1) {
            EXPECT_TRUE(lines.isEmpty()) << character;
            continue;
        }
        ASSERT_EQ(lines.size(), 2);
        const qsizetype column = lines[1].size() - 1;
        ASSERT_LE(column, lines[0].size());
        EXPECT_EQ(lines[1], QString(column, u' ') + u'^');
        if (shown.size() <= kWidestCaretLine) {
            EXPECT_EQ(lines[0], shown);
        }
        EXPECT_LE(lines[0].size(), kWidestCaretLine + 2);
        // What stands from the caret on shows the text from the named character on, up to a cut.
        QString from = lines[0].sliced(column);
        if (from.endsWith(u'\u2026') && lines[0].size() < shown.size()) {
            from.chop(1);
        }
        EXPECT_TRUE(shownText(text.sliced(character - 1)).startsWith(from)) << run;
    }
}
