#include "entry/EnterSett.h"
#include "sett/SettText.h"

#include <gtest/gtest.h>

using namespace loomara;

// The window's own limits hold only where a sett meets the designer, each named at its stripe;
// nothing is clicked for a sett the window cannot hold.
TEST(EnterSett, RefusesWhatTheWindowCannotHoldAtItsPlace) {
    Sett ownWeft = readSett(u"K4 R4").sett;
    ownWeft.ownWeft = std::make_shared<const Sett>(readSett(u"W4").sett);
    const struct {
        Sett sett;
        int character;
        QString message;
    } cases[]{
        {readSett(QStringLiteral("y1").repeated(22)).sett, 43,
         "at character 43: the sett has 22 stripes; the designer's window holds at most 21."},
        {readSett(u"y8b3277").sett, 3,
         "at character 3: the thread count 3277 is above 3276 and does not fit the designer's "
         "strip."},
        {readSett(QStringLiteral("y3276").repeated(10) + "b8").sett, 51,
         "at character 51: with this stripe the sett would be wider than the 32767 threads the "
         "designer's window holds."},
        {readSett(u"...K4 R4...").sett, 0,
         "the designer's window weaves every sett mirrored about its pivots, not as a straight "
         "repeat."},
        {ownWeft, 0, "the designer's window weaves the weft as the warp, not a weft of its own."},
        {Sett{}, 0, "the sett has no stripes to weave."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        Designer designer;
        const std::optional<SettRefusal> refusal = enterAndWeave(designer, {c.sett});
        ASSERT_TRUE(refusal);
        EXPECT_EQ(refusal->message, c.message);
        EXPECT_EQ(refusal->character, c.character);
        EXPECT_EQ(designer.form.notation.text(), QString());
    }
    // The limits themselves are held.
    for (const QString& fits :
         {QStringLiteral("y1").repeated(21), QStringLiteral("y3276").repeated(10) + "b7"}) {
        Designer designer;
        EXPECT_FALSE(enterAndWeave(designer, {readSett(fits).sett}));
        EXPECT_FALSE(designer.form.notation.text().isEmpty());
    }
}
