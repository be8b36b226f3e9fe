// Synthetic photographs of named setts in three classes (scan-like, phone-like, hard), each read
// back and named with the nearest-entries search: the share named first and among the first five.
//
//   loomara-photo-eval [--pictures N] [--seed S] [--class scan|phone|hard] [--verbose]
//   loomara-photo-eval --one-repeat [--pictures N] [--seed S] [--verbose]
//
// With --one-repeat, the pictures are the tool's own of one repeat each way: the exact cloth at 3
// to 6 pixels a thread, and the cloth as it will look at its defaults.

#include "collection/Collection.h"
#include "collection/Similarity.h"
#include "photo/Photographer.h"
#include "photo/PictureReading.h"
#include "render/Render.h"
#include "sett/Sett.h"

#include <QGuiApplication>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

using namespace loomara;

namespace {

// Seeds of the tests' photographs are below this; the evaluation's never are.
constexpr std::uint64_t kFirstSeed = 7'000'000'001;
// The frame's longer side, at most: larger photographs take long to make.
constexpr double kLongestSide = 5000;

struct Range {
    double low = 0;
    double high = 0;
    double draw(std::mt19937_64& random) const {
        return std::uniform_real_distribution<double>(low, high)(random);
    }
};

// One class of pictures, as the reader's issue defines it.
struct PictureClass {
    const char* name;
    Range pixelsPerThread;
    Range rotation; // degrees either way
    Range blur;
    Range jpeg;
    Range perspective;
    Range light;
    Range cast;     // each of red, green and blue by up to this share
    Range exposure; // all three by up to this share
    Range noise;
};

const std::vector<PictureClass>& classes() {
    static const std::vector<PictureClass> all{
        {"scan", {4, 8}, {0, 1}, {0.3, 0.8}, {85, 95}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 1}},
        {"phone",
         {2.5, 6},
         {0, 4},
         {0.4, 1.0},
         {70, 90},
         {0, 0.03},
         {0.1, 0.3},
         {0, 0.12},
         {0, 0.2},
         {1, 3}},
        {"hard",
         {1.5, 3.5},
         {0, 5},
         {0.4, 0.9},
         {55, 75},
         {0, 0},
         {0.3, 0.5},
         {0.05, 0.2},
         {0, 0.25},
         {3, 6}},
    };
    return all;
}

struct Tally {
    int pictures = 0;
    int refused = 0;
    int first = 0;
    int topFive = 0;
    int skipped = 0;
    double slowestReadMs = 0;
    double slowestSearchMs = 0;
    double totalReadMs = 0;
};

bool sameCloth(const ListedEntry& a, const ListedEntry& b) {
    return &a == &b ||
           similarityScore(ClothProfile(a.reading.sett), ClothProfile(b.reading.sett)) == 100;
}

// The rank of the entry, or one of its cloth, among the first five named for the reading; 0 when
// not among them.
int rankOf(const PictureReading& reading, const ListedEntry& listed) {
    if (!reading.ok()) {
        return 0;
    }
    const QList<SimilarEntry> nearest = entriesNearest(*reading.sett, 5);
    for (qsizetype i = 0; i < nearest.size(); ++i) {
        if (sameCloth(*nearest[i].listed, listed)) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

// The tool's own pictures of one repeat, exact and as woven, of `count` entries.
void oneRepeat(const std::vector<const ListedEntry*>& entries, int count, std::uint64_t seed,
               bool verbose) {
    std::mt19937_64 random(seed);
    const ClothLook look = chosenLook({}, defaultWeave()).look;
    struct Kind {
        const char* name;
        Tally tally;
        int unsure = 0;
    } kinds[] = {{"exact", {}, 0}, {"as woven", {}, 0}};
    for (int i = 0; i < count; ++i) {
        const ListedEntry& listed =
            *entries[std::uniform_int_distribution<std::size_t>(0, entries.size() - 1)(random)];
        const int scale = std::uniform_int_distribution<int>(3, 6)(random);
        for (Kind& kind : kinds) {
            RenderRequest request;
            request.sett = listed.reading.sett;
            request.drawing = &kind == &kinds[0] ? Drawing::Cloth : Drawing::AsWoven;
            request.look = look;
            const Rendered drawn = renderClothPicture(request);
            if (!drawn.ok()) {
                ++kind.tally.skipped;
                continue;
            }
            const QImage picture =
                request.drawing == Drawing::Cloth
                    ? drawn.picture.scaled(drawn.picture.size() * scale, Qt::IgnoreAspectRatio,
                                           Qt::FastTransformation)
                    : drawn.picture;
            const PictureReading reading = readSettFromPicture(picture);
            const int rank = rankOf(reading, listed);
            ++kind.tally.pictures;
            kind.tally.refused += reading.ok() ? 0 : 1;
            kind.unsure += reading.ok() && reading.unsure ? 1 : 0;
            kind.tally.first += rank == 1 ? 1 : 0;
            kind.tally.topFive += rank >= 1 ? 1 : 0;
            if (verbose) {
                std::printf("%s\t%s\t%s\tscale=%d\trank=%d\t%s\t%s\n", kind.name,
                            qPrintable(listed.entry.name),
                            qPrintable(writtenForm(listed.reading.sett)), scale, rank,
                            reading.ok() ? qPrintable(writtenForm(*reading.sett))
                                         : qPrintable(reading.refusal),
                            qPrintable(reading.notes().join(QStringLiteral("; "))));
                std::fflush(stdout);
            }
        }
    }
    for (const Kind& kind : kinds) {
        std::printf("one repeat, %s: %d pictures, first %d, among the first five %d, refused %d, "
                    "unsure %d, not drawn %d\n",
                    kind.name, kind.tally.pictures, kind.tally.first, kind.tally.topFive,
                    kind.tally.refused, kind.unsure, kind.tally.skipped);
    }
}

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    int perClass = 100;
    std::uint64_t seed = kFirstSeed;
    QString only;
    bool verbose = false;
    bool oneRepeatOnly = false;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == u"--pictures" && i + 1 < args.size()) {
            perClass = args[++i].toInt();
        } else if (args[i] == u"--seed" && i + 1 < args.size()) {
            seed = kFirstSeed + args[++i].toULongLong();
        } else if (args[i] == u"--class" && i + 1 < args.size()) {
            only = args[++i];
        } else if (args[i] == u"--verbose") {
            verbose = true;
        } else if (args[i] == u"--one-repeat") {
            oneRepeatOnly = true;
        } else {
            std::fprintf(stderr, "usage: loomara-photo-eval [--pictures N] [--seed S] "
                                 "[--class scan|phone|hard] [--one-repeat] [--verbose]\n");
            return 2;
        }
    }
    std::vector<const ListedEntry*> entries;
    for (const ListedEntry& listed : referenceCollection()) {
        if (listed.reading.ok() && !listed.entry.name.isEmpty() &&
            threadsPerRepeat(listed.reading.sett) >= 8) {
            entries.push_back(&listed);
        }
    }
    if (oneRepeatOnly) {
        oneRepeat(entries, perClass, seed, verbose);
        return 0;
    }
    for (const PictureClass& pictureClass : classes()) {
        if (!only.isEmpty() && only != QLatin1String(pictureClass.name)) {
            continue;
        }
        std::mt19937_64 random(seed);
        Tally tally;
        while (tally.pictures < perClass) {
            const ListedEntry& listed =
                *entries[std::uniform_int_distribution<std::size_t>(0, entries.size() - 1)(random)];
            const Sett& sett = listed.reading.sett;
            photo::Shot shot;
            shot.pixelsPerThread = pictureClass.pixelsPerThread.draw(random);
            const double threads = static_cast<double>(threadsPerRepeat(sett));
            const double most = kLongestSide / (threads * shot.pixelsPerThread);
            shot.repeatsAcross = std::min(Range{1.1, 2.0}.draw(random), most);
            shot.repeatsDown = std::min(Range{1.1, 2.0}.draw(random), most);
            const double sign = random() % 2 == 0 ? 1 : -1;
            shot.rotationDegrees = sign * pictureClass.rotation.draw(random);
            shot.blur = pictureClass.blur.draw(random);
            shot.jpegQuality = static_cast<int>(std::lround(pictureClass.jpeg.draw(random)));
            shot.perspective = pictureClass.perspective.draw(random);
            shot.light = pictureClass.light.draw(random);
            const double exposure =
                1 + (random() % 2 == 0 ? 1 : -1) * pictureClass.exposure.draw(random);
            for (double& c : shot.cast) {
                c = exposure * (1 + (random() % 2 == 0 ? 1 : -1) * pictureClass.cast.draw(random));
            }
            shot.noise = pictureClass.noise.draw(random);
            shot.seed = random();
            if (most < 1.05) {
                ++tally.skipped;
                continue;
            }
            const QImage picture = photo::photograph(sett, shot);
            if (picture.isNull()) {
                ++tally.skipped;
                continue;
            }
            ++tally.pictures;
            auto start = std::chrono::steady_clock::now();
            const PictureReading reading = readSettFromPicture(picture);
            const double readMs = msSince(start);
            tally.slowestReadMs = std::max(tally.slowestReadMs, readMs);
            tally.totalReadMs += readMs;
            int rank = 0;
            QString named;
            if (reading.ok()) {
                start = std::chrono::steady_clock::now();
                const QList<SimilarEntry> nearest = entriesNearest(*reading.sett, 5);
                tally.slowestSearchMs = std::max(tally.slowestSearchMs, msSince(start));
                for (qsizetype i = 0; i < nearest.size() && rank == 0; ++i) {
                    if (sameCloth(*nearest[i].listed, listed)) {
                        rank = static_cast<int>(i) + 1;
                    }
                }
                if (!nearest.isEmpty()) {
                    named = nearest.front().listed->entry.name;
                }
            } else {
                ++tally.refused;
            }
            tally.first += rank == 1 ? 1 : 0;
            tally.topFive += rank >= 1 ? 1 : 0;
            if (verbose) {
                std::printf(
                    "%s\t%d\t%s\t%s\tp=%.2f rot=%.2f persp=%.3f rep=%.2fx%.2f q=%d "
                    "size=%dx%d\t%.0fms\trank=%d\t%s\t%s\t%s\n",
                    pictureClass.name, tally.pictures, qPrintable(listed.entry.name),
                    qPrintable(writtenForm(sett)), shot.pixelsPerThread, shot.rotationDegrees,
                    shot.perspective, shot.repeatsAcross, shot.repeatsDown, shot.jpegQuality,
                    picture.width(), picture.height(), readMs, rank,
                    reading.ok() ? qPrintable(writtenForm(*reading.sett))
                                 : qPrintable(reading.refusal),
                    qPrintable(reading.notes().join(QStringLiteral("; "))), qPrintable(named));
                std::fflush(stdout);
            }
        }
        std::printf("%s: %d pictures, first %.1f%%, among the first five %.1f%%, refused %d; "
                    "reading: mean %.0f ms, slowest %.0f ms; search: slowest %.0f ms; entries too "
                    "large for the frame skipped: %d\n",
                    pictureClass.name, tally.pictures, 100.0 * tally.first / tally.pictures,
                    100.0 * tally.topFive / tally.pictures, tally.refused,
                    tally.totalReadMs / tally.pictures, tally.slowestReadMs, tally.slowestSearchMs,
                    tally.skipped);
        std::fflush(stdout);
    }
    return 0;
}
