#include "photo/Photographer.h"

#include "cloth/Cloth.h"

#include <QBuffer>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <thread>
#include <vector>

namespace loomara::photo {

namespace {

double linearOf(double encoded) {
    return encoded <= 0.04045 ? encoded / 12.92 : std::pow((encoded + 0.055) / 1.055, 2.4);
}

double encodedOf(double linear) {
    linear = std::clamp(linear, 0.0, 1.0);
    return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}

// Light from the camera's sensor, three planes of linear light.
struct Light {
    int width = 0;
    int height = 0;
    std::vector<float> planes[3];

    Light(int w, int h) : width(w), height(h) {
        for (auto& plane : planes) {
            plane.assign(static_cast<std::size_t>(w) * h, 0.0F);
        }
    }
    std::size_t at(int x, int y) const { return static_cast<std::size_t>(y) * width + x; }
};

template <typename Rows> void onWorkers(int rows, Rows&& work) {
    constexpr int kWorkers = 2;
    std::vector<std::thread> workers;
    for (int w = 0; w < kWorkers; ++w) {
        workers.emplace_back([&, w] {
            for (int y = w; y < rows; y += kWorkers) {
                work(y);
            }
        });
    }
    for (auto& worker : workers) {
        worker.join();
    }
}

void blurPlane(std::vector<float>& plane, int width, int height, double sigma) {
    const int radius = static_cast<int>(std::ceil(3 * sigma));
    std::vector<float> kernel;
    for (int i = -radius; i <= radius; ++i) {
        kernel.push_back(static_cast<float>(std::exp(-0.5 * i * i / (sigma * sigma))));
    }
    float sum = 0;
    for (float k : kernel) {
        sum += k;
    }
    for (float& k : kernel) {
        k /= sum;
    }
    std::vector<float> out(plane.size());
    auto pass = [&](const std::vector<float>& from, std::vector<float>& to, bool across) {
        const int lines = across ? height : width;
        const int length = across ? width : height;
        onWorkers(lines, [&](int line) {
            for (int i = 0; i < length; ++i) {
                float total = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int j = std::clamp(i + k, 0, length - 1);
                    const std::size_t at = across ? static_cast<std::size_t>(line) * width + j
                                                  : static_cast<std::size_t>(j) * width + line;
                    total += kernel[static_cast<std::size_t>(k + radius)] * from[at];
                }
                const std::size_t at = across ? static_cast<std::size_t>(line) * width + i
                                              : static_cast<std::size_t>(i) * width + line;
                to[at] = total;
            }
        });
    };
    pass(plane, out, true);
    pass(out, plane, false);
}

} // namespace

QImage photograph(const Sett& sett, const Shot& shot, long long mostPixels) {
    const double p = shot.pixelsPerThread;
    const long long across = threadsPerRepeat(sett);
    const long long down = threadsPerRepeat(sett.weft());
    if (!(p > 0) || across <= 0 || down <= 0) {
        return {};
    }
    const double w = std::ceil(shot.repeatsAcross * static_cast<double>(across) * p);
    const double h = std::ceil(shot.repeatsDown * static_cast<double>(down) * p);
    if (!(w >= 8 && h >= 8) || w * h > static_cast<double>(mostPixels)) {
        return {};
    }
    const int width = static_cast<int>(w);
    const int height = static_cast<int>(h);
    std::mt19937_64 random(shot.seed);
    std::uniform_real_distribution<double> unit(0, 1);

    // Enough cloth to cover the frame however it is turned and tilted, the frame's middle at a
    // chosen place of a repeat.
    const double reach = 0.5 * std::hypot(w, h) / p * (1 + 3 * shot.perspective) + 4;
    const long long longer = std::max(across, down);
    const int repeats = static_cast<int>(std::ceil((2 * reach + static_cast<double>(longer)) /
                                                   static_cast<double>(std::min(across, down)))) +
                        1;
    const ClothPlan plan = clothThreads(sett, repeats, 0);
    if (!plan.ok()) {
        return {};
    }
    const QImage cloth = clothPicture(plan.threads);
    if (cloth.isNull()) {
        return {};
    }
    const double middleU = reach + unit(random) * static_cast<double>(across);
    const double middleV = reach + unit(random) * static_cast<double>(down);
    const double tiltAngle = unit(random) * 2 * std::numbers::pi;
    const double tiltX = shot.perspective * std::cos(tiltAngle);
    const double tiltY = shot.perspective * std::sin(tiltAngle);
    const double lightAngle = unit(random) * 2 * std::numbers::pi;
    const double lightX = std::cos(lightAngle);
    const double lightY = std::sin(lightAngle);
    const double turn = shot.rotationDegrees * std::numbers::pi / 180;
    const double cosTurn = std::cos(turn);
    const double sinTurn = std::sin(turn);
    const double half = std::max(w, h) / 2;

    std::array<float, 256> linear{};
    for (int i = 0; i < 256; ++i) {
        linear[static_cast<std::size_t>(i)] = static_cast<float>(linearOf(i / 255.0));
    }
    const int samples = p >= 4 ? 2 : p >= 2 ? 3 : 4;
    Light light(width, height);
    onWorkers(height, [&](int y) {
        for (int x = 0; x < width; ++x) {
            float sum[3] = {0, 0, 0};
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const double nx = (x + (sx + 0.5) / samples - w / 2) / half;
                    const double ny = (y + (sy + 0.5) / samples - h / 2) / half;
                    const double d = 1 + tiltX * nx + tiltY * ny;
                    const double mx = nx / d * half;
                    const double my = ny / d * half;
                    const double u = middleU + (cosTurn * mx - sinTurn * my) / p;
                    const double v = middleV + (sinTurn * mx + cosTurn * my) / p;
                    const int cu = std::clamp(static_cast<int>(u), 0, cloth.width() - 1);
                    const int cv = std::clamp(static_cast<int>(v), 0, cloth.height() - 1);
                    const QRgb c = reinterpret_cast<const QRgb*>(cloth.constScanLine(cv))[cu];
                    sum[0] += linear[static_cast<std::size_t>(qRed(c))];
                    sum[1] += linear[static_cast<std::size_t>(qGreen(c))];
                    sum[2] += linear[static_cast<std::size_t>(qBlue(c))];
                }
            }
            for (int c = 0; c < 3; ++c) {
                light.planes[c][light.at(x, y)] = sum[c] / static_cast<float>(samples * samples);
            }
        }
    });
    if (shot.blur > 0.05) {
        for (auto& plane : light.planes) {
            blurPlane(plane, width, height, shot.blur);
        }
    }

    QImage picture(width, height, QImage::Format_RGB32);
    std::normal_distribution<double> grain(0, shot.noise > 0 ? shot.noise : 1);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double nx = (x + 0.5 - w / 2) / half;
            const double ny = (y + 0.5 - h / 2) / half;
            const double fall = 1 - shot.light * (1 + lightX * nx + lightY * ny) / 2;
            const double corners = 1 - 0.25 * shot.light * (nx * nx + ny * ny);
            int level[3];
            for (int c = 0; c < 3; ++c) {
                const double value = light.planes[c][light.at(x, y)] * fall * corners *
                                     shot.cast[static_cast<std::size_t>(c)];
                double encoded = encodedOf(value) * 255;
                if (shot.noise > 0) {
                    encoded += grain(random);
                }
                level[c] = static_cast<int>(std::lround(std::clamp(encoded, 0.0, 255.0)));
            }
            row[x] = qRgb(level[0], level[1], level[2]);
        }
    }
    if (shot.jpegQuality > 0) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "JPG", shot.jpegQuality);
        picture = QImage::fromData(bytes, "JPG").convertToFormat(QImage::Format_RGB32);
    }
    return picture;
}

} // namespace loomara::photo
