#pragma once

#include "meter/reading.h"
#include "stats/running_statistics.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace lumodm {

// Statistics over the readings since the last reset, in the base unit
// ("V", "Ohm", "A", "dBm" ...), so an autoranging run does not mix kOhm
// and Ohm. Only readings with a number count; a reading on another
// function or base unit starts them afresh, as the values would not mix.
class ReadingStatistics : public ReadingObserver
{
  public:
    void readingTaken(const Reading& reading) override;
    // Forgets the values, keeps the function they are taken on.
    void reset();

    const RunningStatistics& values() const { return values_; }
    // The base unit of the values; empty before the first reading.
    const QString& unit() const { return unit_; }
    // Every reading told, with a number or not, resets included.
    std::int64_t readingsSeen() const { return seen_; }
    // The Allan deviation at one reading's interval: the root of half the
    // mean squared step between neighbouring readings. A reading without a
    // number breaks the chain, so no step spans a gap. None before a step.
    std::optional<double> allanDeviationOneStep() const;

  private:
    RunningStatistics values_;
    QString functionCode_;
    QString unit_;
    std::int64_t seen_ = 0;
    std::optional<double> previous_;
    double squaredSteps_ = 0.0;
    std::int64_t steps_ = 0;
};

} // namespace lumodm
