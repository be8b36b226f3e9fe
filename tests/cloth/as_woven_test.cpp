#include "cloth/AsWoven.h"
#include "collection/Similarity.h"
#include "palette/PaletteSwatch.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <cmath>
#include <complex>

using namespace loomara;

namespace {

// Threads in stripes of random palette colours, as a random sett weaves them.
QList<Rgb> randomStripes(QRandomGenerator& random, int threads) {
    const auto swatches = paletteSwatches();
    QList<Rgb> colours;
    while (colours.size() < threads) {
        const Rgb c = swatches[random.bounded(static_cast<int>(swatches.size()))].colour();
        for (int n = random.bounded(1, 24); n > 0 && colours.size() < threads; --n) {
            colours.append(c);
        }
    }
    return colours;
}

double between(QRandomGenerator& random, double low, double high) {
    return low + random.bounded(high - low);
}

Rgb randomSwatch(QRandomGenerator& random) {
    const auto swatches = paletteSwatches();
    return swatches[random.bounded(static_cast<int>(swatches.size()))].colour();
}

double linear(double srgb) {
    const double c = srgb / 255;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

Rgb srgbOf(const std::array<double, 3>& light) {
    const auto encode = [](double c) {
        const double s = c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
        return static_cast<int16>(std::lround(std::clamp(s, 0.0, 1.0) * 255));
    };
    return {encode(light[0]), encode(light[1]), encode(light[2])};
}

double deltaE(Rgb a, Rgb b) {
    const auto la = labOf(a);
    const auto lb = labOf(b);
    return std::hypot(la[0] - lb[0], la[1] - lb[1], la[2] - lb[2]);
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
        for (const double v : profile) {
            sum += (v - mean) * turn;
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

// The picture's threads lie at the density's spacing, each way its own: the light across the
// picture repeats once a thread.
TEST(AsWoven, ThreadsLieAtTheDensitysSpacing) {
    QRandomGenerator random(3301);
    for (int round = 0; round < 5; ++round) {
        const ClothThreads threads{randomStripes(random, random.bounded(150, 260)),
                                   randomStripes(random, random.bounded(150, 260))};
        ClothLook look;
        look.pixelsPerMm = 9;
        look.endsPerMm = between(random, 1.4, 2.6);
        look.picksPerMm = between(random, 1.4, 2.6);
        look.warpWidthMm = between(random, 0.4, 0.9) / look.endsPerMm;
        look.weftWidthMm = between(random, 0.4, 0.9) / look.picksPerMm;
        SCOPED_TRACE(::testing::Message() << look.endsPerMm << "/mm by " << look.picksPerMm);
        const QImage picture = asWovenPicture(threads, look);
        ASSERT_FALSE(picture.isNull());
        std::vector<double> columns(static_cast<std::size_t>(picture.width()));
        std::vector<double> rows(static_cast<std::size_t>(picture.height()));
        for (int y = 0; y < picture.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                const double light = qGray(line[x]);
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
        const ClothThreads threads{randomStripes(random, random.bounded(20, 120)),
                                   randomStripes(random, random.bounded(20, 120))};
        ClothLook look;
        look.pixelsPerMm = between(random, 8.0, 20.0);
        look.endsPerMm = between(random, 1.2, 2.8);
        look.picksPerMm = between(random, 1.2, 2.8);
        look.warpWidthMm = between(random, 0.3, 1.2) / look.endsPerMm;
        look.weftWidthMm = between(random, 0.3, 1.2) / look.picksPerMm;
        look.backing = randomSwatch(random);
        const QImage picture = asWovenPicture(threads, look);
        ASSERT_FALSE(picture.isNull());

        std::array<double, 3> seen{};
        for (int y = 0; y < picture.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb p = line[x];
                seen[0] += linear(qRed(p));
                seen[1] += linear(qGreen(p));
                seen[2] += linear(qBlue(p));
            }
        }
        const double pixels = static_cast<double>(picture.width()) * picture.height();

        // Each crossing: the yarn on top covers its share, the one beneath shows beside it, and
        // the backing shows where neither reaches.
        const double warpShare = std::min(1.0, look.warpWidthMm * look.endsPerMm);
        const double weftShare = std::min(1.0, look.weftWidthMm * look.picksPerMm);
        std::array<double, 3> mixed{};
        for (qsizetype j = 0; j < threads.weft.size(); ++j) {
            for (qsizetype i = 0; i < threads.warp.size(); ++i) {
                const bool up = endRaised(i + 1, j + 1);
                const double warpArea = up ? warpShare : warpShare * (1 - weftShare);
                const double weftArea = up ? weftShare * (1 - warpShare) : weftShare;
                const double backingArea = (1 - warpShare) * (1 - weftShare);
                const Rgb& w = threads.warp[i];
                const Rgb& f = threads.weft[j];
                const Rgb& b = look.backing;
                mixed[0] += warpArea * linear(w.red) + weftArea * linear(f.red) +
                            backingArea * linear(b.red);
                mixed[1] += warpArea * linear(w.green) + weftArea * linear(f.green) +
                            backingArea * linear(b.green);
                mixed[2] += warpArea * linear(w.blue) + weftArea * linear(f.blue) +
                            backingArea * linear(b.blue);
            }
        }
        const double crossings = static_cast<double>(threads.warp.size()) * threads.weft.size();
        for (std::size_t c = 0; c < 3; ++c) {
            seen[c] /= pixels;
            mixed[c] /= crossings;
        }
        EXPECT_LT(deltaE(srgbOf(seen), srgbOf(mixed)), 2)
            << threads.warp.size() << " x " << threads.weft.size() << ", yarn " << warpShare
            << " and " << weftShare << " of its space";
    }
}

// Yarn that fills its space hides the backing altogether; thinner yarn lets it show. Either way
// the same cloth gives the same picture every time.
TEST(AsWoven, YarnThatFillsItsSpaceHidesTheBacking) {
    QRandomGenerator random(3303);
    const ClothThreads threads{randomStripes(random, 60), randomStripes(random, 50)};
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
    const QImage onMagenta = asWovenPicture(threads, look);
    EXPECT_EQ(asWovenPicture(threads, look), onMagenta);
    look.backing = {0, 0, 0};
    EXPECT_NE(asWovenPicture(threads, look), onMagenta);
}

// Any weave: at the middle of every crossing the yarn on top shows, as the weave says.
TEST(AsWoven, TheYarnOnTopAtEachCrossingIsTheWeaves) {
    QRandomGenerator random(3304);
    const ClothThreads threads{QList<Rgb>(40, Rgb{200, 20, 20}), QList<Rgb>(36, Rgb{20, 20, 200})};
    ClothLook look;
    look.pixelsPerMm = 9;
    look.endsPerMm = 1.1;
    look.picksPerMm = 1.3;
    for (int round = 0; round < 4; ++round) {
        const int ends = random.bounded(2, 9);
        const int picks = random.bounded(2, 9);
        QList<bool> table;
        for (int k = 0; k < ends * picks; ++k) {
            table.append(random.bounded(2) == 1);
        }
        const EndUp weave = [&](long long end, long long pick) {
            return table[((pick - 1) % picks) * ends + (end - 1) % ends];
        };
        const QImage picture = asWovenPicture(threads, look, weave);
        for (int j = 0; j < threads.weft.size(); ++j) {
            for (int i = 0; i < threads.warp.size(); ++i) {
                const QRgb middle = picture.pixel(static_cast<int>((i + 0.5) * 9 / 1.1),
                                                  static_cast<int>((j + 0.5) * 9 / 1.3));
                EXPECT_EQ(qRed(middle) > qBlue(middle), weave(i + 1, j + 1)) << i << "," << j;
            }
        }
    }
}

// Printed at 100%, the picture is the cloth's size.
TEST(AsWoven, ThePictureRecordsItsTrueSize) {
    const ClothThreads threads{QList<Rgb>(112, Rgb{}), QList<Rgb>(56, Rgb{})};
    ClothLook look;
    look.endsPerMm = 56 / 25.4;
    look.picksPerMm = 28 / 25.4;
    look.pixelsPerMm = 10;
    const QImage picture = asWovenPicture(threads, look);
    EXPECT_EQ(picture.size(), QSize(508, 508));
    EXPECT_EQ(picture.dotsPerMeterX(), 10'000);
    EXPECT_EQ(picture.dotsPerMeterY(), 10'000);
}
