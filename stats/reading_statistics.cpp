#include "stats/reading_statistics.h"

#include <cmath>

namespace lumodm {

void ReadingStatistics::readingTaken(const Reading& reading)
{
    ++seen_;
    if (reading.functionCode != functionCode_ || reading.baseUnit != unit_) {
        functionCode_ = reading.functionCode;
        unit_ = reading.baseUnit;
        values_.reset();
    }
    // An overflow's number is no measurement; a number beyond a double's
    // range would spoil every figure after it.
    if (reading.kind == Reading::Kind::Value && std::isfinite(reading.valueInBase)) {
        values_.add(reading.valueInBase);
    }
}

} // namespace lumodm
