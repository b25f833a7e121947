#include "stats/histogram.h"

#include <algorithm>
#include <cmath>

namespace lumodm {

namespace {

// The value at `fraction` of the sorted values (rearranges them).
double orderStatistic(std::vector<double>& values, double fraction)
{
    const auto at = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    const auto it = values.begin() + static_cast<std::ptrdiff_t>(at);
    std::nth_element(values.begin(), it, values.end());
    return *it;
}

double normalBelow(double x, double mean, double deviation)
{
    return 0.5 * std::erfc(-(x - mean) / (deviation * std::sqrt(2.0)));
}

} // namespace

Histogram histogram(const std::vector<double>& values, std::size_t maxBins)
{
    Histogram h;
    std::vector<double> finite;
    finite.reserve(values.size());
    for (const double v : values) {
        if (std::isfinite(v)) {
            finite.push_back(v);
        }
    }
    h.total = finite.size();
    h.skipped = values.size() - h.total;
    if (finite.empty()) {
        return h;
    }
    const double n = static_cast<double>(h.total);
    const auto [lo, hi] = std::minmax_element(finite.begin(), finite.end());
    const double lowest = *lo;
    const double range = *hi - lowest;
    double sum = 0.0;
    for (const double v : finite) {
        sum += v;
    }
    h.mean = sum / n;
    double squares = 0.0;
    for (const double v : finite) {
        squares += (v - h.mean) * (v - h.mean);
    }
    h.deviation = h.total > 1 ? std::sqrt(squares / (n - 1.0)) : 0.0;
    h.start = lowest;
    std::size_t bins = 1;
    if (range > 0.0) {
        const double upper = orderStatistic(finite, 0.75);
        const double lower = orderStatistic(finite, 0.25);
        double width = 2.0 * (upper - lower) / std::cbrt(n);
        if (!(width > 0.0)) {
            width = 3.49 * h.deviation / std::cbrt(n);
        }
        const double wanted = std::ceil(range / width);
        const double most = static_cast<double>(std::max<std::size_t>(maxBins, 1));
        bins = wanted >= 1.0 ? static_cast<std::size_t>(std::min(wanted, most)) : 1;
        // The bins span the values exactly, a little narrower than the rule.
        h.width = range / static_cast<double>(bins);
    }
    h.counts.assign(bins, 0);
    const double last = static_cast<double>(bins - 1);
    for (const double v : finite) {
        const double at = h.width > 0.0 ? (v - lowest) / h.width : 0.0;
        ++h.counts[at >= 0.0 ? static_cast<std::size_t>(std::min(at, last)) : 0];
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
