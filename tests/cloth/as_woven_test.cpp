#include "cloth/AsWoven.h"
#include "collection/Similarity.h"
#include "palette/PaletteSwatch.h"
#include "sett/SettText.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <cmath>
#include <complex>

using namespace loomara;

namespace {

Rgb randomSwatch(QRandomGenerator& random) {
    const auto swatches = paletteSwatches();
    return swatches[random.bounded(static_cast<int>(swatches.size()))].colour();
}

// A straight sett of random palette colours about `threads` threads long, with a weft of its own
// about `picks` long, woven in the weave.
ClothThreads randomCloth(QRandomGenerator& random, int threads, int picks,
                         const Weave& weave = defaultWeave()) {
    const auto stripes = [&](int length) {
        Sett sett;
        sett.repeat = Repeat::Straight;
        while (threadsPerRepeat(sett) < length) {
            sett.stripes.append({QStringLiteral("c"), randomSwatch(random), random.bounded(1, 24)});
        }
        return sett;
    };
    Sett sett = stripes(threads);
    sett.ownWeft = std::make_shared<const Sett>(stripes(picks));
    return clothThreads(sett, 1, 0, weave).threads;
}

double between(QRandomGenerator& random, double low, double high) {
    return low + random.bounded(high - low);
}

// Light as the eye mixes it from afar: linear sRGB, and back.
using Light = std::array<double, 3>;

void addLight(Light& sum, double weight, QRgb colour) {
    const int components[3] = {qRed(colour), qGreen(colour), qBlue(colour)};
    for (std::size_t c = 0; c < 3; ++c) {
        const double v = components[c] / 255.0;
        sum[c] += weight * (v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
    }
}

std::array<double, 3> labOfLight(const Light& light) {
    const auto encode = [](double c) {
        const double s = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
        return static_cast<int16>(std::lround(std::clamp(s, 0.0, 1.0) * 255));
    };
    return labOf({encode(light[0]), encode(light[1]), encode(light[2])});
}

// The frequency, in cycles a pixel, between `low` and `high` where the profile's spectrum peaks.
double spectrumPeak(const std::vector<double>& profile, double low, double high) {
    double mean = 0;
    for (const double v : profile) {
        mean += v;
    }
    mean /= static_cast<double>(profile.size());
    double best = 0;
    double bestFrequency = low;
    for (double f = low; f <= high; f += (high - low) / 1200) {
        const std::complex<double> step = std::polar(1.0, -2 * M_PI * f);
        std::complex<double> turn = 1;
        std::complex<double> sum;
        // Tapered at the ends, so that the picture's edges blur no peak.
        for (std::size_t x = 0; x < profile.size(); ++x) {
            const double taper = 1 - std::cos(2 * M_PI * static_cast<double>(x) /
                                              static_cast<double>(profile.size()));
            sum += (profile[x] - mean) * taper * turn;
            turn *= step;
        }
        if (std::abs(sum) > best) {
            best = std::abs(sum);
            bestFrequency = f;
        }
    }
    return bestFrequency;
}

} // namespace

// The picture's threads lie at the density's spacing, each way its own: the yarn and the gaps
// between come round once a thread.
TEST(AsWoven, ThreadsLieAtTheDensitysSpacing) {
    QRandomGenerator random(3301);
    for (int round = 0; round < 5; ++round) {
        const ClothThreads threads =
            randomCloth(random, random.bounded(150, 260), random.bounded(150, 260));
        ClothLook look;
        look.pixelsPerMm = 9;
        look.endsPerMm = between(random, 1.4, 2.6);
        look.picksPerMm = between(random, 1.4, 2.6);
        look.warpWidthMm = between(random, 0.4, 0.75) / look.endsPerMm;
        look.weftWidthMm = between(random, 0.4, 0.75) / look.picksPerMm;
        SCOPED_TRACE(::testing::Message() << look.endsPerMm << "/mm by " << look.picksPerMm);
        const QImage picture = asWovenPicture(threads, look);
        ASSERT_FALSE(picture.isNull());
        std::vector<double> columns(static_cast<std::size_t>(picture.width()));
        std::vector<double> rows(static_cast<std::size_t>(picture.height()));
        for (int y = 0; y < picture.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                // How far from the backing: none in a gap, some on every yarn.
                const QRgb p = line[x];
                const Rgb& b = look.backing;
                const double light =
                    std::hypot(qRed(p) - b.red, qGreen(p) - b.green, qBlue(p) - b.blue);
                columns[static_cast<std::size_t>(x)] += light;
                rows[static_cast<std::size_t>(y)] += light;
            }
        }
        for (const auto& [profile, perMm] :
             {std::pair{&columns, look.endsPerMm}, std::pair{&rows, look.picksPerMm}}) {
            const double expected = perMm / look.pixelsPerMm;
            const double peak = spectrumPeak(*profile, expected * 0.6, expected * 1.4);
            EXPECT_NEAR(peak / expected, 1, 0.01);
        }
    }
}

// Seen from afar, the cloth is the mix of its yarns and the backing, each by the area it covers:
// the light moves along and across a yarn but none is made or lost.
TEST(AsWoven, AWholeRepeatsMeanColourIsItsYarnsAndBackingByArea) {
    QRandomGenerator random(3302);
    for (int round = 0; round < 12; ++round) {
        const Weave& weave = weaves()[random.bounded(static_cast<int>(weaves().size()))];
        const ClothThreads threads =
            randomCloth(random, random.bounded(20, 120), random.bounded(20, 120), weave);
        ClothLook look;
        look.pixelsPerMm = between(random, 8.0, 20.0);
        look.endsPerMm = between(random, 1.2, 2.8);
        look.picksPerMm = between(random, 1.2, 2.8);
        look.warpWidthMm = between(random, 0.3, 1.2) / look.endsPerMm;
        look.weftWidthMm = between(random, 0.3, 1.2) / look.picksPerMm;
        look.backing = randomSwatch(random);
        const QImage picture = asWovenPicture(threads, look);
        ASSERT_FALSE(picture.isNull());

        Light seen{};
        const double pixel = 1.0 / picture.width() / picture.height();
        for (int y = 0; y < picture.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                addLight(seen, pixel, line[x]);
            }
        }
        // Each crossing: the yarn on top, as the drawdown shows it, covers its share, the one
        // beneath shows beside it, and the backing shows where neither reaches.
        const QImage drawdown = clothPicture(threads);
        const double warpShare = std::min(1.0, look.warpWidthMm * look.endsPerMm);
        const double weftShare = std::min(1.0, look.weftWidthMm * look.picksPerMm);
        const double crossing = 1.0 / drawdown.width() / drawdown.height();
        const QRgb backing = qRgb(look.backing.red, look.backing.green, look.backing.blue);
        Light mixed{};
        for (int j = 0; j < drawdown.height(); ++j) {
            for (int i = 0; i < drawdown.width(); ++i) {
                const Rgb& w = threads.warp[i];
                const Rgb& f = threads.weft[j];
                const QRgb warp = qRgb(w.red, w.green, w.blue);
                const bool up = drawdown.pixel(i, j) == warp;
                addLight(mixed, crossing * warpShare * (up ? 1 : 1 - weftShare), warp);
                addLight(mixed, crossing * weftShare * (up ? 1 - warpShare : 1),
                         qRgb(f.red, f.green, f.blue));
                addLight(mixed, crossing * (1 - warpShare) * (1 - weftShare), backing);
            }
        }
        const auto a = labOfLight(seen);
        const auto b = labOfLight(mixed);
        EXPECT_LT(std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]), 2)
            << weave.title.toStdString() << ", " << threads.warp.size() << " x "
            << threads.weft.size() << ", yarn " << warpShare << " and " << weftShare
            << " of its space";
    }
}

// Yarn that fills its space hides the backing altogether; thinner yarn lets it show. Either way
// the same cloth gives the same picture every time.
TEST(AsWoven, YarnThatFillsItsSpaceHidesTheBacking) {
    QRandomGenerator random(3303);
    const ClothThreads threads = randomCloth(random, 60, 50);
    ClothLook look;
    look.pixelsPerMm = 13.7;
    look.endsPerMm = 2.3;
    look.picksPerMm = 1.9;
    for (const double fill : {1.0, 1.3}) {
        look.warpWidthMm = fill / look.endsPerMm;
        look.weftWidthMm = fill / look.picksPerMm;
        look.backing = {0, 0, 0};
        const QImage onBlack = asWovenPicture(threads, look);
        look.backing = {255, 0, 255};
        EXPECT_EQ(asWovenPicture(threads, look), onBlack) << fill;
    }
    look.warpWidthMm = 0.97 / look.endsPerMm;
    look.weftWidthMm = 0.97 / look.picksPerMm;
    const QImage onMagenta = asWovenPicture(threads, look);
    EXPECT_EQ(asWovenPicture(threads, look), onMagenta);
    look.backing = {0, 0, 0};
    EXPECT_NE(asWovenPicture(threads, look), onMagenta);
}

// Every weave: at the middle of each crossing the yarn on top is the one the drawdown shows.
TEST(AsWoven, TheYarnOnTopAtEachCrossingIsTheDrawdowns) {
    Sett sett = readSett(u"...R40...").sett;
    sett.ownWeft = std::make_shared<const Sett>(readSett(u"...B36...").sett);
    ClothLook look;
    look.pixelsPerMm = 9;
    look.endsPerMm = 1.1;
    look.picksPerMm = 1.3;
    for (const Weave& weave : weaves()) {
        const ClothThreads threads = clothThreads(sett, 1, 0, weave).threads;
        const QImage drawdown = clothPicture(threads);
        const QImage picture = asWovenPicture(threads, look);
        for (int j = 0; j < drawdown.height(); ++j) {
            for (int i = 0; i < drawdown.width(); ++i) {
                const QRgb middle = picture.pixel(static_cast<int>((i + 0.5) * 9 / 1.1),
                                                  static_cast<int>((j + 0.5) * 9 / 1.3));
                const QRgb shown = drawdown.pixel(i, j);
                EXPECT_EQ(qRed(middle) > qBlue(middle), qRed(shown) > qBlue(shown))
                    << weave.title.toStdString() << " " << i << "," << j;
            }
        }
    }
}

// Printed at 100%, the picture is the cloth's size.
TEST(AsWoven, ThePictureRecordsItsTrueSize) {
    Sett sett = readSett(u"...K112...").sett;
    sett.ownWeft = std::make_shared<const Sett>(readSett(u"...K56...").sett);
    const ClothThreads threads = clothThreads(sett, 1, 0).threads;
    ClothLook look;
    look.endsPerMm = 56 / 25.4;
    look.picksPerMm = 28 / 25.4;
    look.pixelsPerMm = 10;
    const QImage picture = asWovenPicture(threads, look);
    EXPECT_EQ(picture.size(), QSize(508, 508));
    EXPECT_EQ(picture.dotsPerMeterX(), 10'000);
    EXPECT_EQ(picture.dotsPerMeterY(), 10'000);
}
