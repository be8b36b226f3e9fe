#include "studio/StudioStart.h"

#include <QCommandLineParser>

namespace loomara {

namespace {

constexpr int kRefused = 2;

StudioStart refused(const QString& why) {
    StudioStart start;
    start.printed = QStringLiteral("loomara-studio: %1 See loomara-studio --help.\n").arg(why);
    start.status = kRefused;
    return start;
}

} // namespace

StudioStart readStudioStart(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows a sett as cloth as you type it, beside the named setts of the\n"
                       "lists, the nearest of them, the yarn it takes and your own saved setts."));
    const QCommandLineOption name(QStringLiteral("name"),
                                  QStringLiteral("Open the entry NAME of the lists."),
                                  QStringLiteral("NAME"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Print this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Print the version."));
    parser.addOptions({name, help, version});
    parser.addPositionalArgument(QStringLiteral("SETT"),
                                 QStringLiteral("The sett to open, in any form loomara-render "
                                                "reads."),
                                 QStringLiteral("[SETT | --name NAME]"));
    if (!parser.parse(QStringList{QStringLiteral("loomara-studio")} + arguments)) {
        return refused(parser.errorText() + u'.');
    }
    StudioStart start;
    if (parser.isSet(help)) {
        QString text = parser.helpText();
        text.remove(0, text.indexOf(u'\n'));
        start.printed = QStringLiteral("Usage: loomara-studio [SETT | --name NAME]") + text;
        return start;
    }
    if (parser.isSet(version)) {
        start.printed = QStringLiteral("loomara-studio " LOOMARA_VERSION "\n");
        return start;
    }
    const QStringList setts = parser.positionalArguments();
    if (setts.size() > 1) {
        return refused(QStringLiteral("give the sett as one argument; quote a sett written with "
                                      "blanks, e.g. \"K4 R24 K24 Y4\"."));
    }
    if (parser.values(name).size() > 1 || (parser.isSet(name) && !setts.isEmpty())) {
        return refused(QStringLiteral("give either a sett or one --name, not both."));
    }
    start.sett = setts.value(0);
    start.name = parser.value(name);
    return start;
}

} // namespace loomara
