#include "stats/reading_statistics.h"

namespace lumodm {

void ReadingStatistics::readingTaken(const Reading& reading)
{
    ++seen_;
    if (reading.functionCode != functionCode_ || reading.baseUnit != unit_) {
        functionCode_ = reading.functionCode;
        unit_ = reading.baseUnit;
        values_.reset();
    }
    if (reading.hasFiniteValue()) {
        values_.add(reading.valueInBase);
    }
}

} // namespace lumodm
