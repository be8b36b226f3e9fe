#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace loomara {

// Every number a user gives, whatever it counts, is read by readNumber in one form: decimal digits
// with at most one point (12, 12.5, .5), no sign, no exponent, no blanks, however many digits.
// What differs from one number to another is only its unit, which the caller strips, and its
// bounds.
struct NumberBounds {
    double least = 0;
    double most = 0;
    bool aboveLeast = false; // the least itself is refused: "above 0"
    bool whole = false;      // no point: a count of steps, repeats or entries
};

// The number the text holds, when it is written in that form and lies within the bounds as
// boundsText shows them (so that a number equal to a bound shown is at the edge, never past it).
std::optional<double> readNumber(QStringView text, const NumberBounds& bounds);

// What the bounds take, each bound followed by the unit: "from 1 to 8", "from 0.0254 to 2540",
// "above 0/cm and at most 1000/cm". A bound is shown to 6 significant digits, in the same form.
QString boundsText(const NumberBounds& bounds, QStringView unit = {});

// How the form is told in every refusal: "in digits only" for a whole number, else "in plain
// digits with no sign or exponent".
QString numberForm(const NumberBounds& bounds);

// A number in the form readNumber reads, to the given significant digits, never with an exponent:
// 1e-7 is "0.0000001", 1e6 "1000000".
QString plainNumber(double number, int significant);

} // namespace loomara
