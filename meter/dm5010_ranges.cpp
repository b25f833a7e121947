// The DM5010 reports and takes its range as a value in volts or ohms
// rather than a range number; these convert between the two.
#include "meter/dm5010_ranges.h"
#include "meter/parse_number.h"
#include "meter/single_precision.h"

#include <cmath>
#include <limits>

namespace lumodm {

namespace {

std::int16_t saturate16(int value)
{
    if (value > std::numeric_limits<std::int16_t>::max()) {
        return std::numeric_limits<std::int16_t>::max();
    }
    if (value < std::numeric_limits<std::int16_t>::min()) {
        return std::numeric_limits<std::int16_t>::min();
    }
    return static_cast<std::int16_t>(value);
}

// A negative range value means automatic range; the magnitude still names
// a range, so the number is negated. A value of 0 has no logarithm: it
// reads as plain automatic range.
std::int16_t rangeNumberFrom(float rangeValue, double logArgumentScale, int offset)
{
    if (rangeValue == 0.0F || std::isnan(rangeValue)) {
        return 0;
    }
    const double magnitude = std::fabs(static_cast<double>(rangeValue)) * logArgumentScale;
    const int number = int{nearestInt16(std::log10(magnitude))} + offset;
    return saturate16(rangeValue < 0.0F ? -number : number);
}

} // namespace

std::int16_t dm5010VoltageRangeNumber(float rangeValue)
{
    return rangeNumberFrom(rangeValue, 10.0, +1);
}

std::int16_t dm5010OhmsRangeNumber(float rangeValue)
{
    return rangeNumberFrom(rangeValue, 1.0, -1);
}

float dm5010VoltageRangeValue(std::int16_t rangeNumber)
{
    const float value = toSingle(0.2 * std::pow(10.0, rangeNumber - 1));
    if (value < 0.2F) {
        return -2.0F;
    }
    // The top range is named 2000 by the arithmetic but is 1000 V.
    if (value == 2000.0F) {
        return 1000.0F;
    }
    return value;
}

float dm5010OhmsRangeValue(std::int16_t rangeNumber)
{
    const float value = toSingle(20.0 * std::pow(10.0, rangeNumber));
    if (value < 200.0F) {
        return -200.0F;
    }
    return value;
}

QString dm5010RangeValueText(float value)
{
    // Seven significant digits, trailing zeros dropped, exponent from 1e7 on
    // ("2E+07"); QString::number ignores the locale, so the point is ".".
    return QString::number(static_cast<double>(value), 'G', 7);
}

} // namespace lumodm
