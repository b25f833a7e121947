#include "stats/reading_statistics.h"

#include <cmath>

namespace lumodm {

void ReadingStatistics::readingTaken(const Reading& reading)
{
    ++seen_;
    if (reading.functionCode != functionCode_ || reading.baseUnit != unit_) {
        functionCode_ = reading.functionCode;
        unit_ = reading.baseUnit;
        reset();
    }
    if (!reading.hasFiniteValue()) {
        previous_.reset();
        return;
    }
    values_.add(reading.valueInBase);
    if (previous_) {
        const double step = reading.valueInBase - *previous_;
        squaredSteps_ += step * step;
        ++steps_;
    }
    previous_ = reading.valueInBase;
}

void ReadingStatistics::reset()
{
    values_.reset();
    previous_.reset();
    squaredSteps_ = 0.0;
    steps_ = 0;
}

std::optional<double> ReadingStatistics::allanDeviationOneStep() const
{
    if (steps_ == 0) {
        return std::nullopt;
    }
    return std::sqrt(squaredSteps_ / (2.0 * static_cast<double>(steps_)));
}

} // namespace lumodm
