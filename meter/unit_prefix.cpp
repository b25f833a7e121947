#include "meter/unit_prefix.h"

#include <cmath>
#include <cstdlib>

namespace lumodm {

namespace {

constexpr int kSmallestPrefix = -12;
constexpr int kLargestPrefix = 12;

} // namespace

QString prefixText(int exponent)
{
    switch (exponent) {
    case -12:
        return QStringLiteral("p");
    case -9:
        return QStringLiteral("n");
    case -6:
        return QStringLiteral("\u00B5");
    case -3:
        return QStringLiteral("m");
    case 3:
        return QStringLiteral("k");
    case 6:
        return QStringLiteral("M");
    case 9:
        return QStringLiteral("G");
    case 12:
        return QStringLiteral("T");
    default:
        return {};
    }
}

std::optional<int> prefixPower(const QString& unit, const QString& base)
{
    if (unit == base) {
        return 0;
    }
    if (unit.size() != base.size() + 1 || !unit.endsWith(base)) {
        return std::nullopt;
    }
    for (int exponent = kSmallestPrefix; exponent <= kLargestPrefix; exponent += 3) {
        if (exponent != 0 && unit.front() == prefixText(exponent).front()) {
            return exponent;
        }
    }
    return std::nullopt;
}

double scaledByPowerOfTen(double value, int power)
{
    const double factor = std::pow(10.0, std::abs(power));
    return power >= 0 ? value * factor : value / factor;
}

int digitFormatDecimals(float format)
{
    return static_cast<int>(std::lround((format - std::floor(format)) * 10.0F));
}

} // namespace lumodm
