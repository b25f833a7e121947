#pragma once

#include <cstdint>

namespace lumodm {

// Count, mean, spread and extremes of a series of values, kept in one pass
// (Welford's update), so that values far from zero (1e6 with a little
// noise) keep their small spread where a sum of squares would cancel it.
class RunningStatistics
{
  public:
    void add(double value);
    void reset() { *this = RunningStatistics(); }

    std::int64_t count() const { return count_; }
    // Each of these is meaningful from one value on (0 before it).
    double mean() const { return mean_; }
    double minimum() const { return minimum_; }
    double maximum() const { return maximum_; }
    double peakToPeak() const { return maximum_ - minimum_; }
    // The sample standard deviation (n - 1): meaningful from two values on
    // (0 before).
    double standardDeviation() const;

  private:
    std::int64_t count_ = 0;
    double mean_ = 0.0;
    double squares_ = 0.0; // sum of squared distances from the running mean
    double minimum_ = 0.0;
    double maximum_ = 0.0;
};

} // namespace lumodm
