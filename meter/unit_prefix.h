#pragma once

#include <QString>
#include <optional>

namespace lumodm {

// The SI prefix of a power of ten that is a multiple of three, from -12
// "p" to 12 "T"; empty for any other.
QString prefixText(int exponent);

// The power of ten of a unit's prefix over its base unit: "kOhm" over
// "Ohm" is 3, "µA" over "A" -6, the base unit itself 0; none for a unit
// that is not its base with one prefix.
std::optional<int> prefixPower(const QString& unit, const QString& base);

// `value` times 10^power. Multiplying by a small power rounds unlike
// dividing by a large one, so the direction follows the sign.
double scaledByPowerOfTen(double value, int power);

// F of a 1.F digit format: the digits after the point.
int digitFormatDecimals(float format);

} // namespace lumodm
