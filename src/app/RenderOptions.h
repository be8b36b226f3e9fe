#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>

namespace loomara {

// Every option of loomara-render, with what the help says of it.
struct RenderOptions {
    QCommandLineOption output{QStringList{QStringLiteral("o"), QStringLiteral("output")},
                              QStringLiteral("Write to FILE; its ending chooses what is written: "
                                             ".bmp or .png a picture, .wif a weaving draft."),
                              QStringLiteral("FILE")};
    QCommandLineOption name{QStringLiteral("name"),
                            QStringLiteral("Weave the sett of the entry NAME of the reference "
                                           "lists instead of a written sett."),
                            QStringLiteral("NAME")};
    QCommandLineOption list{QStringLiteral("list"),
                            QStringLiteral("Print the name and sett of every entry of the lists "
                                           "that can be woven, one per line, between them a tab.")};
    QCommandLineOption background{QStringLiteral("background"),
                                  QStringLiteral("Weave on the colour of the palette code CODE "
                                                 "(pictures only)."),
                                  QStringLiteral("CODE")};
    QCommandLineOption brighten{
        QStringLiteral("brighten"),
        QStringLiteral("Brighten every stripe colour N steps of 30 (N from 0 to 9)."),
        QStringLiteral("N")};
    QCommandLineOption darken{
        QStringLiteral("darken"),
        QStringLiteral("Darken every stripe colour N steps of 30 (N from 0 to 9)."),
        QStringLiteral("N")};
    QCommandLineOption scale{QStringLiteral("scale"),
                             QStringLiteral("Draw every pixel of the picture as an N x N block, N "
                                            "from 1 to 8 (pictures only)."),
                             QStringLiteral("N")};
    QCommandLineOption repeats{QStringLiteral("repeats"),
                               QStringLiteral("Repeat the sett N times each way in the cloth or "
                                              "the draft (1 unless given)."),
                               QStringLiteral("N")};
    QCommandLineOption gallery{
        QStringLiteral("gallery"),
        QStringLiteral("Weave every entry of the lists into the folder DIR: a picture, a "
                       "thumbnail and a weaving draft of each, and an index.html that shows them "
                       "page by page, with the entries that cannot be woven and why."),
        QStringLiteral("DIR")};
    QCommandLineOption cloth{QStringLiteral("cloth"),
                             QStringLiteral("Draw the cloth instead of the designer's picture: "
                                            "the drawdown of the weave, each crossing in the "
                                            "colour of the warp or the weft that shows there, "
                                            "--repeats repeats each way.")};
    QCommandLineOption weave{
        QStringLiteral("weave"),
        QStringLiteral("Weave the cloth or the .wif draft as NAME: twill (2/2, "
                       "the default), plain, 2/1 or 3/1 (twills), point (a "
                       "2/2 twill turning at the pivots) or hopsack (2/2). "
                       "The yarn is the same in every weave."),
        QStringLiteral("NAME")};
    QCommandLineOption weft{QStringLiteral("weft"),
                            QStringLiteral("Weave the weft to the sett SETT instead of the warp's "
                                           "(cloth and .wif only)."),
                            QStringLiteral("SETT")};
    QCommandLineOption threadsPerInch{
        QStringLiteral("threads-per-inch"),
        QStringLiteral(
            "Record the cloth's density in the picture, so that printed at 100% it "
            "has its true size, or in the .wif draft's spacing (cloth and drafts only)."),
        QStringLiteral("T")};
    QCommandLineOption threadsPerCm{QStringLiteral("threads-per-cm"),
                                    QStringLiteral("The same in threads to the centimetre."),
                                    QStringLiteral("T")};
    QCommandLineOption asWoven{
        QStringLiteral("as-woven"),
        QStringLiteral("Draw the cloth as it will look: each end and pick at its place and "
                       "width, the yarn round and lit, over the backing where the yarn does not "
                       "fill its space. The file records its size for printing at 100%.")};
    QCommandLineOption weftThreadsPerInch{
        QStringLiteral("weft-threads-per-inch"),
        QStringLiteral("The picks' own density, when not the ends' (as woven)."),
        QStringLiteral("T")};
    QCommandLineOption weftThreadsPerCm{QStringLiteral("weft-threads-per-cm"),
                                        QStringLiteral("The same in picks to the centimetre."),
                                        QStringLiteral("T")};
    QCommandLineOption yarnSize{
        QStringLiteral("yarn-size"),
        QStringLiteral("The yarn's count: Nm 2/28 (metric), NeW 2/48 (worsted) or YSW 12 "
                       "(Yorkshire woollen); unless given, the thickest that weaves firm at the "
                       "density (as woven)."),
        QStringLiteral("COUNT")};
    QCommandLineOption backing{
        QStringLiteral("backing"),
        QStringLiteral("Show the palette colour CODE where the yarn does not fill its space (as "
                       "woven; the cream white CW unless given)."),
        QStringLiteral("CODE")};
    QCommandLineOption pixelsPerMm{
        QStringLiteral("pixels-per-mm"),
        QStringLiteral("Draw N pixels to the millimetre, N from 1 to 100 (as woven; six pixels a "
                       "thread unless given)."),
        QStringLiteral("N")};
    QCommandLineOption yarn{QStringLiteral("yarn"),
                            QStringLiteral("Print the ends, picks and metres of yarn of every "
                                           "colour of a cloth of --width and --length woven at "
                                           "--density (or write them as CSV with -o FILE.csv).")};
    QCommandLineOption width{QStringLiteral("width"),
                             QStringLiteral("The cloth's width: 28in, 150cm, 0.5m or 1yd (yarn)."),
                             QStringLiteral("W")};
    QCommandLineOption length{QStringLiteral("length"),
                              QStringLiteral("The cloth's length, in the same units (yarn)."),
                              QStringLiteral("L")};
    QCommandLineOption yarnDensity{QStringLiteral("density"),
                                   QStringLiteral("Ends per cm or per inch: 12/cm or 56/in "
                                                  "(yarn)."),
                                   QStringLiteral("D")};
    QCommandLineOption weftDensity{QStringLiteral("weft-density"),
                                   QStringLiteral("Picks per cm or per inch, when not the ends' "
                                                  "density (yarn)."),
                                   QStringLiteral("D")};
    QCommandLineOption waste{QStringLiteral("waste"),
                             QStringLiteral("Loom waste per warp end (yarn; 0.75m unless given)."),
                             QStringLiteral("L")};
    QCommandLineOption takeUp{QStringLiteral("take-up"),
                              QStringLiteral("How much longer a pick is than the cloth is wide "
                                             "(yarn; 10% unless given)."),
                              QStringLiteral("P%")};
    QCommandLineOption similar{
        QStringLiteral("similar"),
        QStringLiteral("Print the entries of the lists nearest the sett (or --name), best first, "
                       "one per line: rank, score, name, list page and sett, between them a tab; "
                       "other lines start with #. The score is 100 for the same cloth, however it "
                       "is written: either pivot first, a straight repeat started anywhere, all "
                       "counts scaled alike, codes of one colour. It loses 2 points for each unit "
                       "of CIE Lab colour difference (Delta E 1976) between the two cloths, "
                       "averaged thread by thread over one repeat once both repeats are stretched "
                       "to one length and laid together where they match best.")};
    QCommandLineOption top{QStringLiteral("top"),
                           QStringLiteral("Print N entries with --similar, N from 1 to 100 (10 "
                                          "unless given)."),
                           QStringLiteral("N")};
    QCommandLineOption fromPicture{
        QStringLiteral("from-picture"),
        QStringLiteral("Read the sett from a photograph or a scan of the cloth in FILE (any "
                       "picture format) instead of a written sett; how it was read is told on "
                       "standard error. Alone, print the sett read."),
        QStringLiteral("FILE")};
    QCommandLineOption recolour{
        QStringLiteral("recolour"),
        QStringLiteral("Weave every thread of each code in another palette code, warp and weft, "
                       "in every output: pairs of codes as the sett writes them, separated by "
                       "commas, e.g. K=NB,R=DR."),
        QStringLiteral("PAIRS")};
    QCommandLineOption scheme{
        QStringLiteral("scheme"),
        QStringLiteral("Weave the whole sett in the colour scheme NAME: modern (the codes' own "
                       "colours), lighter, muted or faded (not the designer's picture, which "
                       "weaves the palette's own colours)."),
        QStringLiteral("NAME")};
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Print this help.")};
    QCommandLineOption version{QStringList{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Print the version.")};

    QList<QCommandLineOption> all() const;
};

using OptionOf = QCommandLineOption RenderOptions::*;

// Every option, in the order the help lists them.
const QList<OptionOf>& renderOptionOrder();

// The help's first paragraph.
QString renderDescription();

// The help: the forms of the command line in the order of the modes, the options as the parser
// lists them and the exit status.
QString renderHelp(const QCommandLineParser& parser);

// The option as the user knows it: by its letter when it has one.
QString shownName(const QCommandLineOption& option);

} // namespace loomara
