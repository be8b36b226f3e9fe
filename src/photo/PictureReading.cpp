#include "photo/PictureReading.h"

#include "collection/Similarity.h"
#include "io/QtPictureLoader.h"
#include "photo/ClothPlane.h"
#include "photo/ColourMatch.h"
#include "photo/RepeatFinder.h"
#include "photo/StripeSegments.h"
#include "photo/ThreadCells.h"
#include "photo/TwillPitch.h"
#include "sett/SettText.h"

#include <algorithm>
#include <cmath>
#include <variant>

namespace loomara {

using namespace photo;

namespace {

// A picture narrower than this holds no repeat of any plaid worth reading.
constexpr int kSmallestSide = 48;
// Stripes lined up are at least this much sharper than askew; less is no stripes at all.
constexpr double kStriped = 1.5;
// The sett read across and the one read down must be this alike (similarity score).
constexpr int kSameAcrossAndDown = 60;
// A reading sure to less than this says so.
constexpr double kSure = 0.75;
// A sett read with more stripes than this each way is no plaid a weaver would write.
constexpr int kMostReadStripes = 120;
// Stripes fainter than this (the spread of CIE L* along a way) are no stripes.
constexpr double kFaintest = 3;

QString noStripes() {
    return QStringLiteral("the picture shows no repeating stripes: no plaid can be read from it");
}
QString lessThanARepeat() {
    return QStringLiteral("the picture shows less than one whole repeat of the stripes each way");
}
QString notAlike() {
    return QStringLiteral(
        "the stripes do not repeat the same way across and down, as a plaid's do");
}

PictureReading refused(const QString& why) {
    PictureReading reading;
    reading.refusal = why;
    return reading;
}

Light weightedMean(const Profile& profile, Trusted trusted) {
    Light sum{0, 0, 0};
    double weight = 0;
    for (int i = trusted.first; i < trusted.end; ++i) {
        const auto at = static_cast<std::size_t>(i);
        for (std::size_t c = 0; c < 3; ++c) {
            sum[c] += profile.colour[at][c] * profile.weight[at];
        }
        weight += profile.weight[at];
    }
    for (double& c : sum) {
        c /= std::max(weight, 1e-9);
    }
    return sum;
}

// The mean of one repeat: a folded symmetric repeat holds its pivots once for two of the rest.
Light repeatMean(const std::vector<Light>& folded, Repeat kind) {
    Light sum{0, 0, 0};
    double weight = 0;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        const bool pivot = kind == Repeat::Symmetric && (i == 0 || i + 1 == folded.size());
        const double w = pivot ? 0.5 : 1.0;
        for (std::size_t c = 0; c < 3; ++c) {
            sum[c] += w * folded[i][c];
        }
        weight += w;
    }
    for (double& c : sum) {
        c /= std::max(weight, 1e-9);
    }
    return sum;
}

// The reading of one way of the cloth, the warp's across or the weft's down.
struct Way {
    Profile profile;
    Trusted trusted;
    std::optional<StripeRepeat> repeat;
    std::vector<Light> folded;
    double spacing = 1; // units of the plane per sample of the fold
    std::vector<Segment> segments;
    double threadWidth = 0; // units of the plane, 0 when the twill was not seen
    Sett sett;
    bool inProportion = false;
    // The most by which a stripe's width missed its whole count of threads, in threads.
    double countMisfit = 0;
    // The width (units of the plane) each bin's colour was averaged over, the threads being seen
    // each in its own light and shade; 0 when the bins were left as read.
    double averagedOver = 0;
};

// How much the lightness of the trusted bins varies (CIE L*, a standard deviation): the stripes
// of a cloth vary far more than the grain of a picture without them.
double lightnessSpread(const Way& way) {
    double sum = 0;
    double squares = 0;
    int count = 0;
    for (int i = way.trusted.first; i < way.trusted.end; ++i) {
        const double l = labOfLight(way.profile.colour[static_cast<std::size_t>(i)])[0];
        sum += l;
        squares += l * l;
        ++count;
    }
    return count > 1 ? std::sqrt(std::max(0.0, squares / count - (sum / count) * (sum / count)))
                     : 0;
}

// A straight repeat's fold begins wherever the picture did, often on an edge between two
// stripes, whose blur then lies at both ends and is read as two narrow stripes. The fold is a
// ring: it is turned to begin in the middle of the longest even run of samples.
void beginInAStripe(Way& way) {
    std::vector<Light>& folded = way.folded;
    const std::size_t n = folded.size();
    if (way.repeat->kind != Repeat::Straight || n < 4) {
        return;
    }
    constexpr double kEven = 3; // CIE Lab between neighbouring samples
    std::vector<bool> even(n);
    for (std::size_t i = 0; i < n; ++i) {
        const auto a = labOfLight(folded[(i + n - 1) % n]);
        const auto b = labOfLight(folded[i]);
        even[i] = std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]) < kEven;
    }
    std::size_t bestStart = 0;
    std::size_t bestLength = 0;
    for (std::size_t i = 0; i < n; ++i) {
        // Runs are counted from their first sample only, around the ring.
        if (!even[i] || even[(i + n - 1) % n]) {
            continue;
        }
        std::size_t length = 0;
        while (length < n && even[(i + length) % n]) {
            ++length;
        }
        if (length > bestLength) {
            bestLength = length;
            bestStart = i;
        }
    }
    if (bestLength == 0) {
        return;
    }
    const std::size_t turn = (bestStart + bestLength / 2) % n;
    std::rotate(folded.begin(), folded.begin() + static_cast<std::ptrdiff_t>(turn), folded.end());
    way.repeat->start += static_cast<double>(turn);
}

void findWay(Way& way, const StripeRepeat* like = nullptr) {
    way.trusted = trustedBins(way.profile);
    way.repeat = findRepeat(way.profile, way.trusted, like);
    if (!way.repeat) {
        return;
    }
    way.profile = evenLight(way.profile, way.trusted, *way.repeat);
    if (std::optional<StripeRepeat> again = findRepeat(way.profile, way.trusted, like)) {
        // Evening the light as the repeat found asks fits that repeat better whether or not it
        // is the true one: a rival before counts as much as after, where the repeat is the same
        // (of another, the rivals before may hold its own fit).
        if (std::abs(again->period - way.repeat->period) <= 2 + 0.04 * way.repeat->period) {
            again->rivalFit = std::max(again->rivalFit, way.repeat->rivalFit);
        }
        way.repeat = again;
    }
    way.folded = foldRepeat(way.profile, way.trusted, *way.repeat);
    beginInAStripe(way);
    way.spacing = way.repeat->kind == Repeat::Symmetric
                      ? way.repeat->period / 2 / std::max<double>(1, way.folded.size() - 1)
                      : 1.0;
}

// How far the repeat found stands above the rest, as a factor on the confidence: a repeat that
// leaves much of the stripes unexplained while one of another period fits nearly as well, or a
// picture of about one repeat (which may be part of a longer one), leave the reading unsure.
// Where two fit next to perfectly, the shorter, which was taken, is nearly always the true one.
double evidence(const StripeRepeat& repeat) {
    constexpr double kClearLead = 0.2; // of the fit, over the best other period
    constexpr double kNoLead = 0.6;
    constexpr double kNearlyAll = 0.95; // of the stripes' variation explained
    const double lead = repeat.fit >= kNearlyAll
                            ? 1.0
                            : std::clamp((repeat.fit - repeat.rivalFit) / kClearLead, 0.0, 1.0);
    const double factor = kNoLead + (1 - kNoLead) * lead;
    constexpr double kAboutOne = 1.05; // repeats
    return repeat.ring || repeat.repeats < kAboutOne ? std::min(factor, 0.9 * kSure) : factor;
}

struct Stripe {
    const PaletteSwatch* swatch = nullptr;
    double width = 0; // units of the plane; a pivot's whole width
    Light colour{};   // as seen, the cast taken out
};

// A stripe of about one thread whose colour lies between its neighbours' is the blur of their
// edge, whatever swatch it came nearest: its width goes to the two of them.
void absorbEdges(std::vector<Stripe>& stripes, double threadWidth) {
    constexpr double kEdgeThreads = 1.5;
    constexpr double kOnTheLine = 10; // CIE Lab, from the mix of the stripes either side
    constexpr double kGrain = 15;     // CIE Lab, from the stripe either side
    constexpr double kNeighboursApart = 8;
    const auto apart = [](const Light& a, const Light& b) {
        const auto la = labOfLight(a);
        const auto lb = labOfLight(b);
        return std::hypot(la[0] - lb[0], la[1] - lb[1], la[2] - lb[2]);
    };
    const auto narrow = [&](const Stripe& s) { return s.width < kEdgeThreads * threadWidth; };
    for (std::size_t i = 1; i + 1 < stripes.size();) {
        if (!narrow(stripes[i])) {
            ++i;
            continue;
        }
        // The stripes either side, past any other narrow ones: an edge may be blurred over more
        // than one thread.
        std::size_t left = i - 1;
        while (left > 0 && narrow(stripes[left])) {
            --left;
        }
        std::size_t right = i + 1;
        while (right + 1 < stripes.size() && narrow(stripes[right])) {
            ++right;
        }
        const Light& l = stripes[left].colour;
        const Light& r = stripes[right].colour;
        const Light& c = stripes[i].colour;
        double along = 0;
        double length = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            along += (c[k] - r[k]) * (l[k] - r[k]);
            length += (l[k] - r[k]) * (l[k] - r[k]);
        }
        const double share = length > 0 ? std::clamp(along / length, 0.0, 1.0) : 0.5;
        Light mix{};
        for (std::size_t k = 0; k < 3; ++k) {
            mix[k] = share * l[k] + (1 - share) * r[k];
        }
        // Between two of one swatch and near their colour, the grain of that one stripe; between
        // two others and on the way from one to the other, the blur of their edge.
        const bool grain = stripes[left].swatch == stripes[right].swatch && apart(mix, c) < kGrain;
        const bool edge = apart(mix, c) < kOnTheLine && apart(l, r) > kNeighboursApart;
        if (!grain && !edge) {
            ++i;
            continue;
        }
        stripes[i - 1].width += share * stripes[i].width;
        stripes[i + 1].width += (1 - share) * stripes[i].width;
        stripes.erase(stripes.begin() + static_cast<std::ptrdiff_t>(i));
        if (stripes[i - 1].swatch == stripes[i].swatch) {
            stripes[i - 1].width += stripes[i].width;
            stripes.erase(stripes.begin() + static_cast<std::ptrdiff_t>(i));
        }
        i = std::max<std::size_t>(1, i - 1);
    }
}

// Counts from widths: whole threads where the twill showed their width, else in proportion.
QList<int> countsOf(const std::vector<Stripe>& stripes, const Way& way, bool& inProportion,
                    double& misfit) {
    QList<int> counts;
    inProportion = way.threadWidth <= 0;
    misfit = 0;
    if (!inProportion) {
        double width = way.threadWidth;
        const double period = way.repeat->period;
        for (int round = 0; round < 3; ++round) {
            counts.clear();
            misfit = 0;
            long long threads = 0;
            for (std::size_t i = 0; i < stripes.size(); ++i) {
                const double exact = stripes[i].width / width;
                const int count = std::max(1, static_cast<int>(std::lround(exact)));
                counts.append(count);
                misfit = std::max(misfit, std::abs(exact - count));
                const bool pivot =
                    way.repeat->kind == Repeat::Symmetric && (i == 0 || i + 1 == stripes.size());
                threads += pivot || way.repeat->kind == Repeat::Straight ? count : 2 * count;
            }
            // The repeat holds a whole number of threads: the width that makes it so.
            const double refined = period / static_cast<double>(threads);
            if (std::abs(refined / width - 1) > 0.03) {
                break;
            }
            width = refined;
        }
        return counts;
    }
    double narrowest = 1e300;
    for (const Stripe& s : stripes) {
        narrowest = std::min(narrowest, s.width);
    }
    // The narrowest stripe 2 threads, unless some stripe then falls between two even counts.
    for (const double least : {2.0, 4.0}) {
        const double unit = narrowest / least;
        counts.clear();
        double worst = 0;
        for (const Stripe& s : stripes) {
            const double exact = s.width / unit;
            const int count = std::max(2, 2 * static_cast<int>(std::lround(exact / 2)));
            counts.append(count);
            worst = std::max(worst, std::abs(exact - count) / count);
        }
        if (worst < 0.15) {
            break;
        }
    }
    return counts;
}

// A straight repeat whose ring of stripes mirrors about one of them is a symmetric sett, and is
// written as one: pivots marked, as a weaver would write it.
void mirroredAsSymmetric(Sett& sett) {
    const qsizetype m = sett.stripes.size();
    if (sett.repeat != Repeat::Straight || m < 2 || m % 2 != 0) {
        return;
    }
    const auto at = [&](qsizetype i) -> const SettStripe& {
        return sett.stripes[((i % m) + m) % m];
    };
    for (qsizetype pivot = 0; pivot < m / 2; ++pivot) {
        bool mirrored = true;
        for (qsizetype k = 1; k < m / 2 && mirrored; ++k) {
            mirrored = at(pivot + k).code == at(pivot - k).code &&
                       at(pivot + k).count == at(pivot - k).count;
        }
        if (mirrored) {
            QList<SettStripe> half;
            for (qsizetype k = 0; k <= m / 2; ++k) {
                half.append(at(pivot + k));
            }
            sett.stripes = half;
            sett.repeat = Repeat::Symmetric;
            return;
        }
    }
}

// The sett of one way from its stripes, with the cast taken out of their colours.
void settOf(Way& way, const Light& cast, bool amongDyes) {
    const bool symmetric = way.repeat->kind == Repeat::Symmetric;
    std::vector<Stripe> stripes;
    for (const Segment& segment : way.segments) {
        Light corrected = segment.colour;
        for (std::size_t c = 0; c < 3; ++c) {
            corrected[c] *= cast[c];
        }
        const PaletteSwatch* swatch = &nearestSwatch(corrected, amongDyes);
        const double width = segment.width() * way.spacing;
        if (!stripes.empty() && stripes.back().swatch == swatch) {
            Stripe& last = stripes.back();
            for (std::size_t c = 0; c < 3; ++c) {
                last.colour[c] =
                    (last.colour[c] * last.width + corrected[c] * width) / (last.width + width);
            }
            last.width += width;
        } else {
            stripes.push_back({swatch, width, corrected});
        }
    }
    if (way.threadWidth > 0) {
        absorbEdges(stripes, way.threadWidth);
    }
    if (!symmetric && stripes.size() > 1 && stripes.front().swatch == stripes.back().swatch) {
        stripes.front().width += stripes.back().width;
        stripes.pop_back();
    }
    if (symmetric && !stripes.empty()) {
        // The fold's first and last samples lie on the pivots: each pivot reaches half a sample
        // less far than the samples it holds.
        const auto pivotWidth = [&](const Stripe& pivot) {
            return 2 * std::max(0.0, pivot.width - way.spacing / 2);
        };
        stripes.front().width = pivotWidth(stripes.front());
        if (stripes.size() > 1) {
            stripes.back().width = pivotWidth(stripes.back());
        }
    }
    const QList<int> counts = countsOf(stripes, way, way.inProportion, way.countMisfit);
    way.sett = Sett();
    way.sett.repeat = symmetric && stripes.size() > 1 ? Repeat::Symmetric : Repeat::Straight;
    for (std::size_t i = 0; i < stripes.size(); ++i) {
        way.sett.stripes.append({stripes[i].swatch->codeText(), stripes[i].swatch->colour(),
                                 counts[static_cast<qsizetype>(i)], 0});
    }
    mirroredAsSymmetric(way.sett);
}

QImage workingPicture(const QImage& picture, double& scale) {
    QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    scale = 1;
    const double pixels = static_cast<double>(rgb.width()) * rgb.height();
    if (pixels > static_cast<double>(kMostReadPixels)) {
        scale = std::sqrt(static_cast<double>(kMostReadPixels) / pixels);
        rgb = rgb.scaled(std::max(1, static_cast<int>(rgb.width() * scale)),
                         std::max(1, static_cast<int>(rgb.height() * scale)), Qt::IgnoreAspectRatio,
                         Qt::SmoothTransformation);
        scale = static_cast<double>(rgb.width()) / picture.width();
    }
    return rgb;
}

// The fold of a symmetric repeat starts and ends on a pivot, which has a neighbour on one side
// only: its colour is read from the samples nearest its middle, away from the blur of that one
// edge. A narrow pivot otherwise takes on half its neighbour's colour. Where the threads were
// seen, threadSamples is a thread's width in samples: each sample then holds the mean of a thread
// around it, and the edge's blur reaches half a thread further.
void readPivotColours(std::vector<Segment>& segments, const std::vector<Light>& threads,
                      double threadSamples) {
    if (segments.size() < 2) {
        return;
    }
    const auto meanOf = [&](int first, int end) {
        Light mean{0, 0, 0};
        for (int i = first; i < end; ++i) {
            for (std::size_t c = 0; c < 3; ++c) {
                mean[c] += threads[static_cast<std::size_t>(i)][c] / (end - first);
            }
        }
        return mean;
    };
    // Samples at least this far from the edge (which lies half a sample before `to`) are clear of
    // its blur.
    const int pastTheMean = static_cast<int>(std::ceil(threadSamples / 2));
    const auto clear = [&](double width) {
        return (width >= 6 ? 3 : width >= 3 ? 2 : 1) + pastTheMean;
    };
    Segment& first = segments.front();
    const int firstEnd = static_cast<int>(std::lround(first.to));
    first.colour = meanOf(0, std::max(1, firstEnd - clear(first.width()) + 1));
    Segment& last = segments.back();
    const int n = static_cast<int>(threads.size());
    const int lastFrom = static_cast<int>(std::lround(last.from));
    last.colour = meanOf(std::min(n - 1, lastFrom + clear(last.width()) - 1), n);
}

// The stripes of a fold whose samples each hold the mean of a thread around them, threadSamples
// wide: where a thread spans many samples, each blurred edge spans as many, and the cuts are
// sought on the means of a few samples at a time, so that an edge is as many samples wide as
// where a thread spans a few pixels.
std::vector<Segment> stripesOf(const std::vector<Light>& threads, double threadSamples) {
    constexpr double kSamplesPerThread = 4;
    const int every = std::max(1, static_cast<int>(threadSamples / kSamplesPerThread));
    if (every == 1) {
        return segmentStripes(threads);
    }
    const std::size_t n = threads.size();
    std::vector<Light> coarse;
    for (std::size_t first = 0; first < n; first += static_cast<std::size_t>(every)) {
        const std::size_t end = std::min(n, first + static_cast<std::size_t>(every));
        Light mean{0, 0, 0};
        for (std::size_t i = first; i < end; ++i) {
            for (std::size_t c = 0; c < 3; ++c) {
                mean[c] += threads[i][c] / static_cast<double>(end - first);
            }
        }
        coarse.push_back(mean);
    }
    std::vector<Segment> segments = segmentStripes(coarse);
    for (Segment& s : segments) {
        s.from = std::min<double>(static_cast<double>(n), s.from * every);
        s.to = std::min<double>(static_cast<double>(n), s.to * every);
    }
    return segments;
}

// The setts of both ways, each with the other's mean taken out of its threads, and how alike the
// two are; or why there are none.
std::variant<int, QString> settsOf(Way& across, Way& down, const TwillPitch& pitch) {
    // Each column's mean is half its end's colour and half the mean of the picks it crosses
    // (each row's the same the other way): the two means follow from the means of a repeat each
    // way, which differ by half the difference of the means of the picks and the ends seen.
    const Light acrossMean = weightedMean(across.profile, across.trusted);
    const Light downMean = weightedMean(down.profile, down.trusted);
    const Light acrossRepeat = repeatMean(across.folded, across.repeat->kind);
    const Light downRepeat = repeatMean(down.folded, down.repeat->kind);
    Light picksSeen{};
    Light endsSeen{};
    for (std::size_t c = 0; c < 3; ++c) {
        const double mean = (acrossMean[c] + downMean[c]) / 2;
        picksSeen[c] = mean + (acrossRepeat[c] - downRepeat[c]);
        endsSeen[c] = mean - (acrossRepeat[c] - downRepeat[c]);
    }
    for (auto [way, other] : {std::pair{&across, picksSeen}, std::pair{&down, endsSeen}}) {
        std::vector<Light> threads = way->folded;
        for (Light& t : threads) {
            for (std::size_t c = 0; c < 3; ++c) {
                t[c] = std::max(0.0, 2 * t[c] - other[c]);
            }
        }
        way->segments = stripesOf(threads, way->averagedOver / way->spacing);
        if (way->repeat->kind == Repeat::Symmetric) {
            readPivotColours(way->segments, threads, way->averagedOver / way->spacing);
        }
    }

    if (pitch.seen) {
        across.threadWidth = pitch.across;
        down.threadWidth = pitch.down;
    }
    std::vector<Light> colours;
    std::vector<double> shares;
    for (const Way* way : {&across, &down}) {
        for (const Segment& s : way->segments) {
            colours.push_back(s.colour);
            shares.push_back(s.width() * way->spacing / way->repeat->period);
        }
    }
    // Threads seen each in its own light and shade may show what lies behind the cloth in their
    // gaps, which pales them all alike.
    if (across.averagedOver > 0 && down.averagedOver > 0) {
        const BackingVeil veil = backingVeil(colours, shares);
        for (Way* way : {&across, &down}) {
            for (Segment& s : way->segments) {
                s.colour = veil.yarnOf(s.colour);
            }
        }
        for (Light& c : colours) {
            c = veil.yarnOf(c);
        }
    }
    const Light cast = fitCast(colours, shares);
    // A cloth of the dyes the named setts use, as most are, once the cast is out: on the whole
    // its colours lie within a reading's error of them. One in other colours of the palette is
    // read as it is.
    std::vector<Light> corrected = colours;
    for (Light& colour : corrected) {
        for (std::size_t c = 0; c < 3; ++c) {
            colour[c] *= cast[c];
        }
    }
    const bool amongDyes = meanSquaredFromDyes(corrected, shares) <= kAmongDyes;
    settOf(across, cast, amongDyes);
    settOf(down, cast, amongDyes);
    for (const Way* way : {&across, &down}) {
        if (way->sett.stripes.size() < 2) {
            return noStripes();
        }
        if (way->sett.stripes.size() > kMostReadStripes) {
            return QStringLiteral("the picture shows more stripes than a plaid holds (%1 in a "
                                  "repeat): no sett can be read from it")
                .arg(way->sett.stripes.size());
        }
    }
    return similarityScore(ClothProfile(across.sett), ClothProfile(down.sett));
}

// Where the cloth lies: found on a copy of a picture of more than three megapixels, halved or
// more, since the stripes' lie needs fewer pixels than the threads, then scaled back to the whole
// picture. Smaller pictures are not shrunk: a turn found on half the pixels is half as sure.
ClothPlane clothPlaneOf(const QImage& image) {
    constexpr double kPlanePixels = 3'000'000;
    const double pixels = static_cast<double>(image.width()) * image.height();
    const int factor = static_cast<int>(std::ceil(std::sqrt(pixels / kPlanePixels)));
    if (factor <= 1) {
        return findClothPlane(bandMeans(image), image.width(), image.height());
    }
    const QImage small = image.scaled(image.width() / factor, image.height() / factor,
                                      Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    ClothPlane plane = findClothPlane(bandMeans(small), small.width(), small.height());
    const double sx = static_cast<double>(small.width()) / image.width();
    const double sy = static_cast<double>(small.height()) / image.height();
    const double s = (sx + sy) / 2;
    // The whole picture's (dx, dy) is the small one's (sx dx, sy dy), and the cloth's units are
    // the whole picture's pixels, 1 / s of the small one's.
    std::array<double, 9>& m = plane.toCloth;
    for (int row = 0; row < 3; ++row) {
        const double out = row < 2 ? 1 / s : 1;
        m[static_cast<std::size_t>(row * 3)] *= sx * out;
        m[static_cast<std::size_t>(row * 3 + 1)] *= sy * out;
        m[static_cast<std::size_t>(row * 3 + 2)] *= out;
    }
    plane.middleX = image.width() / 2.0;
    plane.middleY = image.height() / 2.0;
    return plane;
}

} // namespace

QStringList PictureReading::notes() const {
    QStringList lines;
    if (!ok()) {
        return lines;
    }
    if (threadsPerInch) {
        lines << QStringLiteral("threads per inch: %1").arg(*threadsPerInch, 0, 'f', 1);
    }
    if (countsInProportion) {
        lines << QStringLiteral(
            "single threads could not be seen: the counts keep the stripes' proportions");
    } else {
        lines << QStringLiteral("pixels per thread: %1").arg(pixelsPerThread, 0, 'f', 2);
    }
    // A turn that rounds to nothing is no turn, whichever way it was.
    const double turn = std::abs(rotationDegrees) < 0.005 ? 0.0 : rotationDegrees;
    lines << QStringLiteral("rotation: %1 degrees").arg(turn, 0, 'f', 2);
    lines << QStringLiteral("repeats in the picture: %1 across, %2 down")
                 .arg(repeatsAcross, 0, 'f', 1)
                 .arg(repeatsDown, 0, 'f', 1);
    QString sure = QStringLiteral("confidence: %1%").arg(std::lround(confidence * 100));
    if (unsure) {
        sure += QStringLiteral(" (unsure: compare the sett with the picture)");
    }
    lines << sure;
    return lines;
}

PictureReading readSettFromPicture(const QImage& picture, std::optional<double> dotsPerInch) {
    if (picture.isNull()) {
        return refused(QStringLiteral("the picture is empty"));
    }
    if (std::min(picture.width(), picture.height()) < kSmallestSide) {
        return refused(QStringLiteral("the picture is too small to show a plaid (%1 x %2 pixels)")
                           .arg(picture.width())
                           .arg(picture.height()));
    }
    double scale = 1;
    const QImage image = workingPicture(picture, scale);
    const ClothPlane plane = clothPlaneOf(image);
    if (plane.gainAcross < kStriped && plane.gainDown < kStriped) {
        return refused(noStripes());
    }
    const Profiles profiles = clothProfiles(image, plane);
    const TwillPitch pitch = findTwillPitch(image, plane, profiles);
    Way across{profiles.across, {}, {}, {}, 1, {}, 0, {}, false, 0, 0};
    Way down{profiles.down, {}, {}, {}, 1, {}, 0, {}, false, 0, 0};
    if (pitch.seen) {
        for (auto [way, width] : {std::pair{&across, pitch.across}, std::pair{&down, pitch.down}}) {
            const Trusted trusted = trustedBins(way->profile);
            if (threadShading(way->profile, trusted.first, trusted.end, width) >= kThreadsSeen) {
                averageOverThreads(way->profile, trusted.first, trusted.end, width);
                way->averagedOver = width;
            }
            removeTwillRipple(way->profile, trusted.first, trusted.end, width);
        }
    }
    const Profile acrossStart = across.profile;
    const Profile downStart = down.profile;
    findWay(across);
    findWay(down);
    // A repeat found one way only is sought the other way as well, of its kind and period.
    if (across.repeat && !down.repeat) {
        down.profile = downStart;
        findWay(down, &*across.repeat);
    } else if (down.repeat && !across.repeat) {
        across.profile = acrossStart;
        findWay(across, &*down.repeat);
    }
    // A picture of one whole repeat is one each way: a ring read one way only is a photograph
    // whose ends happen to join, and that way is read again as the other repeats.
    if (across.repeat && down.repeat && across.repeat->ring != down.repeat->ring) {
        const bool acrossRing = across.repeat->ring;
        Way& ring = acrossRing ? across : down;
        const StripeRepeat other = *(acrossRing ? down : across).repeat;
        const Way asRing = ring;
        ring.profile = acrossRing ? acrossStart : downStart;
        findWay(ring, &other);
        // No such repeat: the ring stands, unsure as every ring is.
        if (!ring.repeat) {
            ring = asRing;
        }
    }
    if (!across.repeat || !down.repeat) {
        const bool striped = plane.gainAcross >= kStriped && plane.gainDown >= kStriped &&
                             std::max(lightnessSpread(across), lightnessSpread(down)) >= kFaintest;
        if (!across.repeat && !down.repeat) {
            return refused(striped ? lessThanARepeat() : noStripes());
        }
        return refused(striped ? lessThanARepeat() : notAlike());
    }

    const auto worth = [](const Way& way) {
        return way.repeat->fit * std::min(way.repeat->repeats, 2.0);
    };
    std::variant<int, QString> alike = settsOf(across, down, pitch);
    const int* score = std::get_if<int>(&alike);
    if (score != nullptr && *score < kSameAcrossAndDown) {
        // The less sure way may have been misread: read it again as the surer one repeats.
        const bool downWeaker = worth(across) >= worth(down);
        Way again = downWeaker ? down : across;
        again.profile = downWeaker ? downStart : acrossStart;
        findWay(again, &*(downWeaker ? across : down).repeat);
        if (again.repeat) {
            Way otherAcross = downWeaker ? across : again;
            Way otherDown = downWeaker ? again : down;
            const std::variant<int, QString> retried = settsOf(otherAcross, otherDown, pitch);
            const int* better = std::get_if<int>(&retried);
            if (better != nullptr && *better >= kSameAcrossAndDown) {
                across = std::move(otherAcross);
                down = std::move(otherDown);
                alike = retried;
            }
        }
    }
    if (const QString* why = std::get_if<QString>(&alike)) {
        return refused(*why);
    }
    if (std::get<int>(alike) < kSameAcrossAndDown) {
        return refused(notAlike());
    }
    // Of two ways read as different setts, where both showed their threads, the one whose
    // stripes came nearer whole counts: the other misread a width.
    const bool counted = !across.inProportion && !down.inProportion &&
                         !(across.sett.stripes.size() == down.sett.stripes.size() &&
                           threadsPerRepeat(across.sett) == threadsPerRepeat(down.sett));
    const Way& chosen = counted ? (across.countMisfit <= down.countMisfit ? across : down)
                                : (worth(across) >= worth(down) ? across : down);

    PictureReading reading;
    reading.sett = chosen.sett;
    reading.countsInProportion = chosen.inProportion;
    reading.pixelsPerThread = pitch.seen ? (pitch.across + pitch.down) / 2 / scale : 0;
    reading.rotationDegrees = plane.rotationDegrees;
    reading.repeatsAcross = across.repeat->repeats;
    reading.repeatsDown = down.repeat->repeats;
    if (dotsPerInch && pitch.seen && *dotsPerInch > 0) {
        reading.threadsPerInch = *dotsPerInch / reading.pixelsPerThread;
    }
    reading.confidence =
        std::min(across.repeat->fit, down.repeat->fit) * std::get<int>(alike) / 100.0;
    if (std::min(across.repeat->repeats, down.repeat->repeats) < 1.2) {
        reading.confidence *= 0.9;
    }
    reading.confidence *= std::min(evidence(*across.repeat), evidence(*down.repeat));
    reading.unsure = reading.confidence < kSure;
    return reading;
}

PictureReading readSettFromFile(const QString& fileName, PictureLoader& loader) {
    const LoadedPicture loaded = loader.loadWhole(fileName, kMostReadPixels);
    if (loaded.picture.isNull()) {
        return refused(QStringLiteral("the picture could not be read: %1").arg(loaded.problem));
    }
    // A file that records no resolution is given the toolkit's own.
    const int unrecorded = QImage(1, 1, QImage::Format_RGB32).dotsPerMeterX();
    std::optional<double> dotsPerInch;
    if (loaded.picture.dotsPerMeterX() > 0 && loaded.picture.dotsPerMeterX() != unrecorded) {
        dotsPerInch = loaded.picture.dotsPerMeterX() * 0.0254 * loaded.scale;
    }
    return readSettFromPicture(loaded.picture, dotsPerInch);
}

PictureReading readSettFromFile(const QString& fileName) {
    QtPictureLoader loader;
    return readSettFromFile(fileName, loader);
}

} // namespace loomara
