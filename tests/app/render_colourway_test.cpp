// loomara-render --recolour and --scheme: every output of a recoloured sett is the sett retyped
// with the new codes, and a scheme is its colour function on every thread.

#include "RenderTestSupport.h"

#include "palette/PaletteSwatch.h"
#include "sett/Colourway.h"

#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace loomara;
using namespace loomara::testing;

namespace {

const QString kKilt = QStringLiteral("B/24 W4 B24 R2 K24 G24 W/2");

// Lines that do not start with "#": what a table or a list says, without its heading.
QStringList body(const QString& out) {
    QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
    lines.removeIf([](const QString& line) { return line.startsWith(u'#'); });
    return lines;
}

// A draft's lines but its title, which names the sett as it was written.
QStringList draft(const QStringList& arguments, const QString& file) {
    const RenderRun run = render(arguments + QStringList{"-o", file});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    QFile wif(file);
    EXPECT_TRUE(wif.open(QIODevice::ReadOnly));
    QStringList lines = QString::fromUtf8(wif.readAll()).split(u'\n');
    lines.removeIf([](const QString& line) { return line.startsWith(u"Title="); });
    return lines;
}

QImage picture(const QStringList& arguments, const QString& file) {
    const RenderRun run = render(arguments + QStringList{"-o", file});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    return QImage(file);
}

} // namespace

// Two paths to one cloth, one draft, one yarn table and one list of the nearest: the sett with
// --recolour, and the sett written again with the new codes.
TEST(RenderColourway, RecolouringGivesWhatTheSettRetypedGives) {
    QTemporaryDir dir;
    QRandomGenerator random(28);
    const auto swatches = paletteSwatches();
    const auto anyCode = [&] {
        return swatches[random.bounded(static_cast<int>(swatches.size()))].codeText();
    };
    for (int round = 0; round < 6; ++round) {
        QStringList codes;
        for (int i = random.bounded(2, 6); i > 0; --i) {
            codes.append(anyCode());
        }
        // The warp, and every other round a weft of its own, of those codes.
        const auto stripes = [&] {
            Sett sett;
            sett.repeat = random.bounded(2) ? Repeat::Straight : Repeat::Symmetric;
            for (int i = random.bounded(2, 12); i > 0; --i) {
                const QString code = codes[random.bounded(static_cast<int>(codes.size()))];
                sett.stripes.append(
                    {code, findSwatchByCode(code)->colour(), random.bounded(1, 40)});
            }
            return sett;
        };
        Sett sett = stripes();
        if (round % 2 == 1) {
            sett.ownWeft = std::make_shared<const Sett>(stripes());
        }
        // The first code the sett weaves, and any of the others, in new codes.
        QStringList pairs;
        QHash<QString, QString> to;
        for (const QString& code : settCodes(sett)) {
            if (pairs.isEmpty() || random.bounded(2)) {
                to.insert(code, anyCode());
                pairs.append(code + u'=' + to[code]);
            }
        }
        const auto written = [&](const Sett& s, bool retyped) {
            Sett copy = s;
            for (SettStripe& stripe : copy.stripes) {
                stripe.code = retyped ? to.value(stripe.code, stripe.code) : stripe.code;
            }
            return writtenForm(copy);
        };
        const auto arguments = [&](bool retyped) {
            QStringList given{written(sett, retyped)};
            if (sett.ownWeft) {
                given += QStringList{"--weft", written(*sett.ownWeft, retyped)};
            }
            return retyped ? given : given + QStringList{"--recolour", pairs.join(u',')};
        };
        const QStringList recolour = arguments(false);
        const QStringList typed = arguments(true);
        const std::string why = recolour.join(u' ').toStdString();
        EXPECT_TRUE(
            picture(recolour + QStringList{"--cloth", "--repeats", "2"}, dir.filePath("a.png")) ==
            picture(typed + QStringList{"--cloth", "--repeats", "2"}, dir.filePath("b.png")))
            << why;
        EXPECT_TRUE(draft(recolour, dir.filePath("a.wif")) == draft(typed, dir.filePath("b.wif")))
            << why;
        const QStringList yarn{"--yarn", "--width",   "20in", "--length",
                               "2yd",    "--density", "30/in"};
        EXPECT_EQ(body(render(recolour + yarn).out).join(u'\n').toStdString(),
                  body(render(typed + yarn).out).join(u'\n').toStdString());
    }
    // The nearest setts, once, as they are slow under the sanitizers: a named entry recoloured is
    // the cloth its new codes type, no longer the entry's own to come first at 100.
    EXPECT_EQ(body(render({"--similar", "--name", "Wallace", "--recolour", "k=NB"}).out)
                  .join(u'\n')
                  .toStdString(),
              body(render({"--similar", "NB/1 r8 NB8 y/1"}).out).join(u'\n').toStdString());
}

// The tool's cloth in a scheme is its modern cloth with every pixel put through the scheme, and
// shading comes after the scheme, as it comes after the palette.
TEST(RenderColourway, ASchemeIsItsColourFunctionOnEveryThread) {
    QTemporaryDir dir;
    const QStringList kilt{kKilt, "--cloth", "--weft", "K8 Y2 G8"};
    for (const Scheme scheme : kSchemes) {
        for (const QStringList& shade : {QStringList{}, QStringList{"--darken", "2"}}) {
            const QImage modern = picture(kilt, dir.filePath("modern.png"));
            const QImage shown =
                picture(kilt + shade + QStringList{"--scheme", schemeName(scheme).toUpper()},
                        dir.filePath("shown.png"));
            ASSERT_EQ(shown.size(), modern.size());
            const int steps = shade.isEmpty() ? 0 : -2;
            for (int y = 0; y < shown.height(); y += 3) {
                for (int x = 0; x < shown.width(); x += 3) {
                    const QColor c = modern.pixelColor(x, y);
                    const Rgb expected = shaded(
                        inScheme(Rgb{static_cast<int16>(c.red()), static_cast<int16>(c.green()),
                                     static_cast<int16>(c.blue())},
                                 scheme),
                        steps);
                    ASSERT_EQ(shown.pixelColor(x, y),
                              QColor(expected.red, expected.green, expected.blue))
                        << schemeName(scheme).toStdString() << " " << x << "," << y;
                }
            }
        }
    }
    const RenderRun yarn = render({kKilt, "--scheme", "faded", "--recolour", "W=Y", "--yarn",
                                   "--width", "28in", "--length", "8yd", "--density", "56/in"});
    ASSERT_EQ(yarn.status, 0) << yarn.err.toStdString();
    const Rgb fadedYellow = inScheme(findSwatchByCode(u"Y")->colour(), Scheme::Faded);
    EXPECT_TRUE(yarn.out.contains(QStringLiteral("\nY\t%1,%2,%3\t")
                                      .arg(fadedYellow.red)
                                      .arg(fadedYellow.green)
                                      .arg(fadedYellow.blue)))
        << yarn.out.toStdString();
}

TEST(RenderColourway, RefusalsAreOneLineWithStatusTwo) {
    QTemporaryDir dir;
    const QString png = dir.filePath("x.png");
    const struct {
        QStringList arguments;
        QString why; // a part of the one line
    } cases[] = {
        {{kKilt, "--recolour", "Q=NB"}, "--recolour: the sett has no stripe of \"Q\""},
        {{kKilt, "--recolour", "g=NB"}, "codes are case-sensitive: B W R K G"},
        {{kKilt, "--recolour", "K=QQ"}, "--recolour: \"QQ\" is not a colour code of the palette"},
        {{kKilt, "--recolour", "K"}, "--recolour: \"K\" is not a recolouring"},
        {{kKilt, "--recolour", "=NB"}, "\"=NB\" is not a recolouring"},
        {{kKilt, "--recolour", "K=NB,,R=DR"}, "\"\" is not a recolouring"},
        {{kKilt, "--recolour", "K=R=Y"}, "\"K=R=Y\" is not a recolouring"},
        {{kKilt, "--recolour", "K=NB,K=R"}, "\"K\" is recoloured twice"},
        {{kKilt, "--weft", "Y4", "--recolour", "K=NB,Y=R", "--cloth"}, ""},
        {{kKilt, "--scheme", "weathered", "--cloth"},
         "--scheme: \"weathered\" is not a scheme; give modern, lighter, muted or faded"},
        {{kKilt, "--scheme", "faded"}, "--scheme is not for the designer's picture"},
        {{kKilt, "--scheme", "faded", "--similar"}, ""},
        {{"--list", "--scheme", "faded"}, "--scheme is not for --list"},
    };
    for (const auto& c : cases) {
        // Only the pictures write a file.
        const bool listing = c.arguments.contains("--similar") || c.arguments.contains("--list");
        const RenderRun run =
            render(c.arguments + (listing ? QStringList{} : QStringList{"-o", png}));
        if (c.why.isEmpty()) {
            EXPECT_EQ(run.status, 0) << run.err.toStdString();
            continue;
        }
        EXPECT_EQ(run.status, 2) << c.arguments.join(u' ').toStdString();
        ASSERT_EQ(run.errLines().size(), 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.why)) << run.err.toStdString();
    }
}
