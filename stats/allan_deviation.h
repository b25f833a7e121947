#pragma once

#include <cstddef>
#include <vector>

namespace lumodm {

// A break in a run: the reading at `index` is the first after it, `from`
// and `to` the times of the readings on either side (a failed reading, a
// Stop and Run, a clock that stepped).
struct RunGap
{
    std::size_t index = 0;
    double from = 0.0;
    double to = 0.0;
};

// The Allan deviation at one averaging time: `tau` = `m` reading intervals.
struct AllanPoint
{
    double tau = 0.0;
    std::size_t m = 0;
    double deviation = 0.0;
};

struct AllanDeviation
{
    double interval = 0.0;          // seconds: the median step between readings, 0 when unknown
    std::vector<AllanPoint> points; // m = 1, 2, 4, ... up to a quarter of the stretch
    std::size_t first = 0;          // the stretch computed over: readings first ...
    std::size_t count = 0;          // ... first + count - 1
    std::size_t gapCount = 0;       // every gap in the run
    std::vector<RunGap> gaps;       // the first kMaxGapsListed of them, in order

    static constexpr std::size_t kMaxGapsListed = 1000;
};

// The overlapping Allan deviation of readings taken at equal intervals:
// `values[i]` at `times[i]` seconds (the shorter length counts). The
// readings' own time stamps give the interval. A step longer than 1.5
// intervals, a step that goes back, and a reading without a finite time or
// value break the run; the deviation is computed over the longest stretch
// without a break, since a gap inside the sums would pass off readings far
// apart as neighbours, and every gap is reported rather than hidden.
AllanDeviation allanDeviation(const std::vector<double>& times, const std::vector<double>& values);

} // namespace lumodm
