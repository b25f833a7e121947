#pragma once

#include <QByteArray>

namespace lumodm {

// A DM5010 range value as the meter writes it: the shortest decimal form
// of the single-precision value with at most seven significant digits, a
// point as separator, exponent form from ten million on ("0.2", "1000",
// "-2", "2E+07").
QByteArray simRangeValueText(float value);

// A reading: sign, mantissa with `significantDigits` digits, "E" and the
// exponent without padding ("+1.23456E-3", "-4.00000E0").
QByteArray simReadingText(double value, int significantDigits);

// The over-range answer of every model.
QByteArray simOverRangeText();

} // namespace lumodm
