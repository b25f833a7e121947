#include "readings/chart_ticks.h"
#include "readings/engineering_text.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace lumodm {

namespace {

constexpr int kMostTicks = 20;
constexpr int kMaxDecimals = 15; // as many as a double holds
constexpr double kDayMs = 86400e3;

// The power of ten and its multiplier (1, 2 or 5) of the smallest round
// step not below `raw` (positive and finite).
std::pair<int, double> roundStep(double raw)
{
    const int decade = static_cast<int>(std::floor(std::log10(raw)));
    const double fraction = raw / std::pow(10.0, decade);
    for (const double multiple : {1.0, 2.0, 5.0}) {
        if (fraction <= multiple * (1.0 + 1e-9)) {
            return {decade, multiple};
        }
    }
    return {decade + 1, 1.0};
}

// Up to a day, steps that read well on a clock.
const double kClockStepsMs[] = {
    100,   200,   500,   1e3,    2e3,    5e3,    10e3,    15e3,    30e3,    60e3,   120e3,
    300e3, 600e3, 900e3, 1800e3, 3600e3, 7200e3, 10800e3, 21600e3, 43200e3, kDayMs,
};

int tickCount(int wanted)
{
    return std::clamp(wanted, 2, kMostTicks);
}

// Steps from the first tick to the last: at least one, and as the step is
// at least a (count - 1)th of the span, a few more than wanted at most
// wherever the range falls; bounded for ranges a double cannot step through.
int intervalsBetween(double first, double last)
{
    const double intervals = last - first;
    return intervals >= 1.0 && intervals <= 2.0 * kMostTicks ? static_cast<int>(intervals) : 1;
}

} // namespace

ValueAxisTicks valueAxisTicks(double low, double high, int wanted, const QString& unit)
{
    ValueAxisTicks axis;
    axis.unit = unit;
    axis.labelFormat = QStringLiteral("%.6g");
    if (!std::isfinite(low) || !std::isfinite(high) || !std::isfinite(high - low) || low > high) {
        return axis;
    }
    if (high == low) {
        const double pad = low != 0.0 ? std::fabs(low) * 1e-3 : 1e-9;
        low -= pad;
        high += pad;
    }
    if (!(high > low)) { // a span too small for a double
        return axis;
    }
    const int count = tickCount(wanted);
    const auto [decade, multiple] = roundStep((high - low) / (count - 1));
    const double step = multiple * std::pow(10.0, decade);
    const double first = std::floor(low / step);
    const int intervals = intervalsBetween(first, std::ceil(high / step));
    const double last = first + intervals;
    const double magnitude = std::max(std::fabs(first), std::fabs(last)) * step;
    if (!(step > 0.0) || !std::isfinite(magnitude)) {
        return axis;
    }
    // Beyond the prefixes the labels take an exponent.
    const bool positional = magnitude < 1e15 && (magnitude == 0.0 || magnitude >= 1e-12);
    const int exponent = takesPrefixes(unit) && positional ? prefixExponentFor(magnitude) : 0;
    axis.count = intervals + 1;
    axis.scale = std::pow(10.0, -exponent);
    axis.low = first * step * axis.scale;
    axis.high = last * step * axis.scale;
    axis.unit = prefixText(exponent) + unit;
    if (positional) {
        const int decimals = std::clamp(exponent - decade, 0, kMaxDecimals);
        axis.labelFormat = QStringLiteral("%.") + QString::number(decimals) + QLatin1Char('f');
    }
    return axis;
}

TimeAxisTicks timeAxisTicks(double from, double to, int wanted, int utcOffsetSeconds)
{
    TimeAxisTicks axis;
    axis.from = from;
    axis.to = to;
    axis.format = timeFormatFor(1e3, false);
    if (!std::isfinite(from) || !std::isfinite(to) || from > to) {
        return axis;
    }
    const int count = tickCount(wanted);
    const double raw = (to - from) / (count - 1);
    double step = kDayMs;
    const auto clock = std::find_if(std::begin(kClockStepsMs), std::end(kClockStepsMs),
                                    [raw](double s) { return s >= raw; });
    if (clock != std::end(kClockStepsMs)) {
        step = *clock;
    } else {
        const auto [decade, multiple] = roundStep(raw / kDayMs);
        step = multiple * std::pow(10.0, decade) * kDayMs;
    }
    const double offset = 1e3 * utcOffsetSeconds;
    const double first = std::floor((from + offset) / step);
    const int intervals = intervalsBetween(first, std::ceil((to + offset) / step));
    axis.count = intervals + 1;
    axis.from = first * step - offset;
    axis.to = (first + intervals) * step - offset;
    // A run that ends at midnight has not run into the next day.
    const bool acrossDays =
        std::floor((axis.from + offset) / kDayMs) != std::floor((axis.to + offset - 1.0) / kDayMs);
    axis.format = timeFormatFor(step, acrossDays);
    return axis;
}

TimeAxisTicks timeAxisTicksWithin(double from, double to, int wanted, int utcOffsetSeconds)
{
    TimeAxisTicks axis;
    axis.from = from;
    axis.to = to;
    axis.count = tickCount(wanted);
    const double offset = 1e3 * utcOffsetSeconds;
    const bool acrossDays =
        std::floor((from + offset) / kDayMs) != std::floor((to + offset - 1.0) / kDayMs);
    axis.format = timeFormatFor((to - from) / (axis.count - 1), acrossDays);
    return axis;
}

QString timeFormatFor(double stepMs, bool acrossDays)
{
    if (stepMs >= kDayMs) {
        return QStringLiteral("yyyy-MM-dd");
    }
    if (stepMs >= 60e3) {
        return acrossDays ? QStringLiteral("MM-dd hh:mm") : QStringLiteral("hh:mm");
    }
    // "z" is the fraction without trailing zeros: one digit at the
    // steps below a second.
    return stepMs >= 1e3 ? QStringLiteral("hh:mm:ss") : QStringLiteral("hh:mm:ss.z");
}

} // namespace lumodm
