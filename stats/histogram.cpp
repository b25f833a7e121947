#include "stats/histogram.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lumodm {

namespace {

// The quartiles come from at most this many values spread evenly over the
// run: the width is a rule of thumb, and selecting among a million values
// would cost more than all the rest.
constexpr std::size_t kQuartileSample = 65536;

double interquartileRange(const std::vector<double>& values)
{
    std::vector<double> sample;
    sample.reserve(kQuartileSample + 1);
    const std::size_t stride = values.size() / kQuartileSample + 1;
    for (std::size_t i = 0; i < values.size(); i += stride) {
        if (std::isfinite(values[i])) {
            sample.push_back(values[i]);
        }
    }
    if (sample.empty()) {
        return 0.0;
    }
    // After the first selection the values before the upper quartile are at
    // most it, so the lower one is searched for among them alone.
    const std::size_t end = sample.size() - 1;
    const auto upper = sample.begin() + static_cast<std::ptrdiff_t>(end * 3 / 4);
    std::nth_element(sample.begin(), upper, sample.end());
    const auto lower = sample.begin() + static_cast<std::ptrdiff_t>(end / 4);
    std::nth_element(sample.begin(), lower, upper);
    return *upper - *lower;
}

double normalBelow(double x, double mean, double deviation)
{
    return 0.5 * std::erfc(-(x - mean) / (deviation * std::sqrt(2.0)));
}

} // namespace

Histogram histogram(const std::vector<double>& values, std::size_t maxBins)
{
    Histogram h;
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -lowest;
    double sum = 0.0;
    for (const double v : values) {
        if (std::isfinite(v)) {
            ++h.total;
            sum += v;
            lowest = std::min(lowest, v);
            highest = std::max(highest, v);
        }
    }
    h.skipped = values.size() - h.total;
    if (h.total == 0) {
        return h;
    }
    const double n = static_cast<double>(h.total);
    h.mean = sum / n;
    double squares = 0.0;
    for (const double v : values) {
        squares += std::isfinite(v) ? (v - h.mean) * (v - h.mean) : 0.0;
    }
    h.deviation = h.total > 1 ? std::sqrt(squares / (n - 1.0)) : 0.0;
    h.start = lowest;
    const double range = highest - lowest;
    std::size_t bins = 1;
    if (range > 0.0) {
        double width = 2.0 * interquartileRange(values) / std::cbrt(n);
        if (!(width > 0.0)) {
            width = 3.49 * h.deviation / std::cbrt(n);
        }
        const double wanted = std::ceil(range / width);
        const double cap = static_cast<double>(std::max<std::size_t>(maxBins, 1));
        bins = wanted >= 1.0 ? static_cast<std::size_t>(std::min(wanted, cap)) : 1;
        // The bins span the values exactly, a little narrower than the rule.
        h.width = range / static_cast<double>(bins);
    }
    h.counts.assign(bins, 0);
    const double last = static_cast<double>(bins - 1);
    for (const double v : values) {
        if (std::isfinite(v)) {
            const double at = h.width > 0.0 ? (v - lowest) / h.width : 0.0;
            ++h.counts[at >= 0.0 ? static_cast<std::size_t>(std::min(at, last)) : 0];
        }
    }
    h.normal.assign(bins, 0.0);
    if (!(h.deviation > 0.0)) {
        h.normal[0] = n;
        return h;
    }
    double below = normalBelow(h.start, h.mean, h.deviation);
    for (std::size_t i = 0; i < bins; ++i) {
        const double above =
            normalBelow(h.start + h.width * static_cast<double>(i + 1), h.mean, h.deviation);
        h.normal[i] = n * (above - below);
        below = above;
    }
    return h;
}

} // namespace lumodm
