#include "stats/allan_deviation.h"

#include <algorithm>
#include <cmath>

namespace lumodm {

namespace {

constexpr double kGapFactor = 1.5;

bool usable(double time, double value)
{
    return std::isfinite(time) && std::isfinite(value);
}

// The median of the forward steps between neighbouring usable readings.
double medianStep(const std::vector<double>& times, const std::vector<double>& values,
                  std::size_t n)
{
    std::vector<double> steps;
    steps.reserve(n);
    bool have = false;
    double last = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        if (!usable(times[i], values[i])) {
            have = false;
            continue;
        }
        if (have && times[i] > last) {
            steps.push_back(times[i] - last);
        }
        last = times[i];
        have = true;
    }
    if (steps.empty()) {
        return 0.0;
    }
    const auto middle = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() / 2);
    std::nth_element(steps.begin(), middle, steps.end());
    return *middle;
}

// Finds the gaps of the run and the longest stretch between them.
void splitRun(const std::vector<double>& times, const std::vector<double>& values, std::size_t n,
              AllanDeviation& result)
{
    const double longest = kGapFactor * result.interval;
    std::size_t start = n; // none begun
    std::size_t lastIndex = 0;
    bool broken = false;
    const auto close = [&](std::size_t end) {
        if (end - start > result.count) {
            result.first = start;
            result.count = end - start;
        }
    };
    for (std::size_t i = 0; i < n; ++i) {
        if (!usable(times[i], values[i])) {
            broken = start != n; // only a reading after it makes a gap
            continue;
        }
        if (start == n) {
            start = i;
        } else if (const double step = times[i] - times[lastIndex];
                   broken || !(step > 0.0 && step <= longest)) {
            close(lastIndex + 1);
            if (result.gaps.size() < AllanDeviation::kMaxGapsListed) {
                result.gaps.push_back({i, times[lastIndex], times[i]});
            }
            ++result.gapCount;
            start = i;
        }
        broken = false;
        lastIndex = i;
    }
    if (start != n) {
        close(lastIndex + 1);
    }
}

} // namespace

// With cumulative sums S of the readings, the sum of m differences y[i+m] - y[i]
// from j on is S[j+2m] - 2 S[j+m] + S[j]: each averaging time costs one pass.
// The mean and the straight line of the stretch come off the readings first,
// so that the sums stay small and keep their digits under a strong drift;
// the line's share goes back into each term (slope * m^2) before it is squared.
AllanDeviation allanDeviation(const std::vector<double>& times, const std::vector<double>& values)
{
    AllanDeviation result;
    const std::size_t n = std::min(times.size(), values.size());
    result.interval = medianStep(times, values, n);
    splitRun(times, values, n, result);
    const std::size_t count = result.count;
    if (!(result.interval > 0.0) || count < 4) {
        return result;
    }
    const double* y = values.data() + result.first;
    const double size = static_cast<double>(count);
    const double centre = (size - 1.0) / 2.0;
    double mean = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        mean += y[i];
    }
    mean /= size;
    double moment = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        moment += (static_cast<double>(i) - centre) * (y[i] - mean);
    }
    const double slope = moment / (size * (size * size - 1.0) / 12.0);
    std::vector<double> sums(count + 1, 0.0);
    for (std::size_t i = 0; i < count; ++i) {
        sums[i + 1] = sums[i] + (y[i] - mean - slope * (static_cast<double>(i) - centre));
    }
    const double* s = sums.data();
    for (std::size_t m = 1; m <= count / 4; m *= 2) {
        const std::size_t terms = count - 2 * m + 1;
        const double mm = static_cast<double>(m) * static_cast<double>(m);
        const double line = slope * mm;
        // Four partial sums, so the additions need not wait for each other.
        double squares[4] = {0.0, 0.0, 0.0, 0.0};
        std::size_t j = 0;
        for (; j + 4 <= terms; j += 4) {
            for (std::size_t k = 0; k < 4; ++k) {
                const double d = s[j + k + 2 * m] - 2.0 * s[j + k + m] + s[j + k] + line;
                squares[k] += d * d;
            }
        }
        for (; j < terms; ++j) {
            const double d = s[j + 2 * m] - 2.0 * s[j + m] + s[j] + line;
            squares[0] += d * d;
        }
        const double total = (squares[0] + squares[1]) + (squares[2] + squares[3]);
        const double variance = total / (2.0 * mm * static_cast<double>(terms));
        result.points.push_back({static_cast<double>(m) * result.interval, m, std::sqrt(variance)});
    }
    return result;
}

} // namespace lumodm
