#include "app/RenderModes.h"

#include <QFileInfo>

#include <utility>

namespace loomara {

namespace {

using Options = RenderOptions;

// Options of which a run takes one at most, whatever its mode.
const QList<std::pair<OptionOf, OptionOf>> kOneOf{
    {&Options::brighten, &Options::darken},
    {&Options::threadsPerInch, &Options::threadsPerCm},
    {&Options::weftThreadsPerInch, &Options::weftThreadsPerCm},
};

// Where an option belongs, for a refusal: the modes that take it, unless it asks for one itself.
QString homes(OptionOf option) {
    QStringList shown;
    for (const RenderMode& mode : renderModes()) {
        if (mode.askedBy == option) {
            return {};
        }
        if (mode.takes.contains(option)) {
            shown.append(mode.shown);
        }
    }
    if (shown.isEmpty()) {
        return {};
    }
    const QString last = shown.takeLast();
    return QStringLiteral("; it is for ") +
           (shown.isEmpty() ? last
                            : shown.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last);
}

} // namespace

const QList<RenderMode>& renderModes() {
    using O = Options;
    using W = RenderWork;
    static const QList<RenderMode> table{
        {QStringLiteral("the designer's picture"),
         nullptr,
         true,
         {&O::output, &O::name, &O::fromPicture, &O::background, &O::brighten, &O::darken,
          &O::scale, &O::recolour},
         W::Picture},
        {QStringLiteral("cloth and drafts (--cloth, .wif)"),
         nullptr,
         true,
         {&O::output, &O::name, &O::fromPicture, &O::cloth, &O::weft, &O::brighten, &O::darken,
          &O::scale, &O::repeats, &O::threadsPerInch, &O::threadsPerCm, &O::weave, &O::recolour,
          &O::scheme},
         W::Picture},
        {QStringLiteral("the cloth as woven (--as-woven)"),
         &O::asWoven,
         true,
         {&O::output, &O::name, &O::fromPicture, &O::asWoven, &O::cloth, &O::weft, &O::weave,
          &O::brighten, &O::darken, &O::repeats, &O::threadsPerInch, &O::threadsPerCm,
          &O::weftThreadsPerInch, &O::weftThreadsPerCm, &O::yarnSize, &O::backing, &O::pixelsPerMm,
          &O::recolour, &O::scheme},
         W::Picture},
        {QStringLiteral("--yarn"),
         &O::yarn,
         true,
         {&O::yarn, &O::output, &O::name, &O::fromPicture, &O::weft, &O::width, &O::length,
          &O::yarnDensity, &O::weftDensity, &O::waste, &O::takeUp, &O::weave, &O::recolour,
          &O::scheme},
         W::Yarn},
        {QStringLiteral("--similar"),
         &O::similar,
         true,
         {&O::similar, &O::name, &O::fromPicture, &O::top, &O::recolour, &O::scheme},
         W::Similar},
        {QStringLiteral("--list"), &O::list, false, {&O::list}, W::List},
        {QStringLiteral("--gallery"), &O::gallery, false, {&O::gallery}, W::Gallery},
        {QStringLiteral("--from-picture alone"),
         &O::fromPicture,
         true,
         {&O::fromPicture, &O::name},
         W::PictureSett,
         &O::output},
    };
    return table;
}

const RenderMode& askedMode(const QCommandLineParser& parser, const RenderOptions& o) {
    for (const RenderMode& mode : renderModes()) {
        if (mode.askedBy != nullptr && parser.isSet(o.*mode.askedBy) &&
            (mode.notWith == nullptr || !parser.isSet(o.*mode.notWith))) {
            return mode;
        }
    }
    const bool draft = QFileInfo(parser.value(o.output)).suffix().toLower() == u"wif";
    return renderModes()[parser.isSet(o.cloth) || draft ? 1 : 0];
}

std::optional<RenderStop> notTogether(const QCommandLineParser& parser, const RenderOptions& o,
                                      const RenderMode& mode) {
    if (!mode.takesSett && !parser.positionalArguments().isEmpty()) {
        return renderRefused(QStringLiteral("%1 takes no sett; \"%2\" is not for it.")
                                 .arg(mode.shown, parser.positionalArguments().constFirst()));
    }
    for (const OptionOf option : renderOptionOrder()) {
        const QCommandLineOption& given = o.*option;
        if (parser.isSet(given) && !mode.takes.contains(option)) {
            return renderRefused(QStringLiteral("%1 is not for %2%3.")
                                     .arg(shownName(given), mode.shown, homes(option)));
        }
        if (!given.valueName().isEmpty() && parser.values(given).size() > 1) {
            return renderRefused(
                QStringLiteral("%1 is given more than once; give it once.").arg(shownName(given)));
        }
    }
    for (const auto& [one, other] : kOneOf) {
        if (parser.isSet(o.*one) && parser.isSet(o.*other)) {
            return renderRefused(
                QStringLiteral("%1 and %2 cannot be used together; give one of them.")
                    .arg(shownName(o.*one), shownName(o.*other)));
        }
    }
    return std::nullopt;
}

} // namespace loomara
