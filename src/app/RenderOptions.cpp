#include "app/RenderOptions.h"

namespace loomara {

const QList<OptionOf>& renderOptionOrder() {
    using Options = RenderOptions;
    static const QList<OptionOf> order{&Options::output,
                                       &Options::name,
                                       &Options::list,
                                       &Options::background,
                                       &Options::brighten,
                                       &Options::darken,
                                       &Options::scale,
                                       &Options::repeats,
                                       &Options::cloth,
                                       &Options::weft,
                                       &Options::threadsPerInch,
                                       &Options::threadsPerCm,
                                       &Options::asWoven,
                                       &Options::weftThreadsPerInch,
                                       &Options::weftThreadsPerCm,
                                       &Options::yarnSize,
                                       &Options::backing,
                                       &Options::pixelsPerMm,
                                       &Options::gallery,
                                       &Options::help,
                                       &Options::version,
                                       &Options::yarn,
                                       &Options::width,
                                       &Options::length,
                                       &Options::yarnDensity,
                                       &Options::weftDensity,
                                       &Options::waste,
                                       &Options::takeUp,
                                       &Options::similar,
                                       &Options::top,
                                       &Options::weave,
                                       &Options::fromPicture,
                                       &Options::recolour,
                                       &Options::scheme};
    return order;
}

QList<QCommandLineOption> RenderOptions::all() const {
    QList<QCommandLineOption> options;
    for (const OptionOf option : renderOptionOrder()) {
        options.append(this->*option);
    }
    return options;
}

QString renderDescription() {
    return QStringLiteral(
        "Weaves a sett as the Loomara designer weaves it after the same clicks and writes\n"
        "the picture (.bmp, .png), or draws the cloth (--cloth), or writes a weaving draft\n"
        "(.wif). A sett is written as the reference lists write it (y8b32k28r60y8), as the\n"
        "notation box holds it (\"K10, R20, lr4, \"), as pattern books write it\n"
        "(\"K4 R24 K24 Y4\", pivots marked \"B/24 W4 B24 R2 K24 G24 W/2\"), or as a\n"
        "straight repeat between marks (\"...K4 R24 K24 Y4...\"). Unmarked setts are\n"
        "symmetric.");
}

QString renderHelp(const QCommandLineParser& parser) {
    QString text = parser.helpText();
    // Qt's usage line names the program by the path it was started from and shows one form.
    text.remove(0, text.indexOf(u'\n'));
    return QStringLiteral("Usage: loomara-render SETT -o FILE [options]\n"
                          "       loomara-render SETT --cloth -o FILE [--repeats N] [--weft SETT] "
                          "[--weave NAME]\n"
                          "              [--recolour K=NB,R=DR] [--scheme NAME]\n"
                          "       loomara-render SETT --cloth --as-woven -o FILE [--repeats N] "
                          "[--threads-per-inch T]\n"
                          "                      [--yarn-size COUNT] [--backing CODE] "
                          "[--pixels-per-mm N]\n"
                          "       loomara-render --name \"NAME\" -o FILE [options]\n"
                          "       loomara-render SETT --yarn --width W --length L --density D "
                          "[-o FILE.csv]\n"
                          "       loomara-render --similar SETT [--top N]\n"
                          "       loomara-render --similar --name \"NAME\" [--top N]\n"
                          "       loomara-render --list\n"
                          "       loomara-render --gallery DIR\n"
                          "       loomara-render --from-picture PHOTO [--similar | -o FILE | "
                          "--yarn ...]") +
           text +
           QStringLiteral("\nExit status: 0 when the file is written (or the list printed),\n"
                          "2 when the sett or an option is refused, 1 when the file cannot be\n"
                          "written.\n");
}

QString shownName(const QCommandLineOption& option) {
    const QString first = option.names().constFirst();
    return first.size() == 1 ? u'-' + first : QStringLiteral("--") + first;
}

} // namespace loomara
