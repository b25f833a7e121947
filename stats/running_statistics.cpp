#include "stats/running_statistics.h"

#include <algorithm>
#include <cmath>

namespace lumodm {

void RunningStatistics::add(double value)
{
    ++count_;
    if (count_ == 1) {
        minimum_ = maximum_ = value;
    } else {
        minimum_ = std::min(minimum_, value);
        maximum_ = std::max(maximum_, value);
    }
    const double delta = value - mean_;
    mean_ += delta / static_cast<double>(count_);
    squares_ += delta * (value - mean_);
}

double RunningStatistics::standardDeviation() const
{
    if (count_ < 2) {
        return 0.0;
    }
    // Rounding can leave the sum a hair below zero for equal values.
    return std::sqrt(std::max(squares_, 0.0) / static_cast<double>(count_ - 1));
}

} // namespace lumodm
