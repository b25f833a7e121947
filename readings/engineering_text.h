#pragma once

#include "meter/reading.h"
#include "meter/unit_prefix.h"

#include <QString>
#include <optional>

namespace lumodm {

// How many digits a figure gets: its last digit is no finer than
// 10^finest of the base unit, and it has at most `significant` significant
// digits (0: no such bound). A figure needs at least one of the two.
struct FigureDigits
{
    std::optional<int> finest;
    int significant = 0;
};

// The finest digit a reading's readout shows, as a power of ten of its
// base unit: 1.4 on "kOhm" is 10^-1 Ohm; or the answer's, when the meter
// answered with finer digits than it shows. None when the readout is in
// the general form, whose digits follow the value.
std::optional<int> resolutionExponent(const Reading& reading);

// Whether a unit takes SI prefixes: the meter's own "V", "A" and "Ohm".
// dB units are logarithmic, and a unit the meter leaves empty has nothing
// to stand before.
bool takesPrefixes(const QString& unit);

// The power of ten of the prefix (meter/unit_prefix.h) that shows
// `magnitude` with one to three integer digits, from -12 to 12.
int prefixExponentFor(double magnitude);

// A base-unit value as a person reads it: rounded to its digits, with the
// prefix that keeps one to three integer digits and trailing zeros kept,
// so that a figure keeps its width from reading to reading: "36.06 µV",
// "1.5000090 V", "0.0 mV", "-12.35 dBm". Not finite: "-". A value beyond
// the prefixes is written with an exponent.
QString engineeringText(double value, const QString& unit, FigureDigits digits);

} // namespace lumodm
