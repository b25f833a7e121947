#pragma once

#include <cmath>
#include <limits>

namespace lumodm {

// A double stored as single precision. Values beyond the single range
// saturate at the largest finite single rather than being undefined; NaN
// stays NaN.
inline float toSingle(double value)
{
    constexpr double kMax = std::numeric_limits<float>::max();
    if (value > kMax) {
        return std::numeric_limits<float>::max();
    }
    if (value < -kMax) {
        return -std::numeric_limits<float>::max();
    }
    return static_cast<float>(value);
}

} // namespace lumodm
