#include "sett/Lab.h"

#include <algorithm>
#include <cmath>

namespace loomara {

namespace {

constexpr double kEdge = 6.0 / 29.0;
// D65 white in XYZ, Y being 1.
constexpr double kWhiteX = 0.95047;
constexpr double kWhiteZ = 1.08883;

double linear(int component) {
    const double c = component / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

int encoded(double linear) {
    const double c =
        linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    return static_cast<int>(std::lround(std::clamp(c, 0.0, 1.0) * 255));
}

double labCurve(double t) {
    return t > kEdge * kEdge * kEdge ? std::cbrt(t) : t / (3 * kEdge * kEdge) + 4.0 / 29.0;
}

double labCurveInverse(double f) {
    return f > kEdge ? f * f * f : 3 * kEdge * kEdge * (f - 4.0 / 29.0);
}

// Linear red, green and blue of a Lab colour, any of them possibly beyond 0..1.
std::array<double, 3> linearOf(double l, double a, double b) {
    const double fy = (l + 16) / 116;
    const double x = kWhiteX * labCurveInverse(fy + a / 500);
    const double y = labCurveInverse(fy);
    const double z = kWhiteZ * labCurveInverse(fy - b / 200);
    return {3.2404542 * x - 1.5371385 * y - 0.4985314 * z,
            -0.9692660 * x + 1.8760108 * y + 0.0415560 * z,
            0.0556434 * x - 0.2040259 * y + 1.0572252 * z};
}

bool shown(const std::array<double, 3>& rgb) {
    // Rounding to 8 bits forgives this much.
    constexpr double kSlack = 1e-9;
    return std::all_of(rgb.begin(), rgb.end(),
                       [](double c) { return c >= -kSlack && c <= 1 + kSlack; });
}

} // namespace

Lab labOf(Rgb colour) {
    return labOfLight(linear(colour.red), linear(colour.green), linear(colour.blue));
}

Lab labOfLight(double r, double g, double b) {
    const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / kWhiteX;
    const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / kWhiteZ;
    const double fy = labCurve(y);
    return {116 * fy - 16, 500 * (labCurve(x) - fy), 200 * (fy - labCurve(z))};
}

Rgb rgbOfLab(const Lab& lab) {
    const double l = std::clamp(lab[0], 0.0, 100.0);
    std::array<double, 3> rgb = linearOf(l, lab[1], lab[2]);
    if (!shown(rgb)) {
        // The grey of that lightness is always shown: halve the way to it until the edge of what
        // is shown is found to well under an 8-bit step.
        double inside = 0;
        double outside = 1;
        for (int step = 0; step < 40; ++step) {
            const double middle = (inside + outside) / 2;
            (shown(linearOf(l, middle * lab[1], middle * lab[2])) ? inside : outside) = middle;
        }
        rgb = linearOf(l, inside * lab[1], inside * lab[2]);
    }
    return {static_cast<int16>(encoded(rgb[0])), static_cast<int16>(encoded(rgb[1])),
            static_cast<int16>(encoded(rgb[2]))};
}

} // namespace loomara
