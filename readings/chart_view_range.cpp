#include "readings/chart_view_range.h"

#include <algorithm>
#include <cmath>

namespace lumodm {

namespace {

bool isSpan(double low, double high)
{
    return std::isfinite(low) && std::isfinite(high) && low < high;
}

// The narrowest span of values shown: far below any meter's resolution,
// above a double's.
bool wideEnough(double low, double high)
{
    return isSpan(low, high) &&
           high - low > 1e-12 * std::max({std::fabs(low), std::fabs(high), 1e-280});
}

} // namespace

void ChartViewRange::setData(double first, double last)
{
    if (std::isfinite(first) && std::isfinite(last)) {
        first_ = first;
        last_ = std::max(first, last);
    }
}

void ChartViewRange::setShown(double from, double to, double low, double high)
{
    if (isSpan(from, to)) {
        shownTime_ = {from, to};
    }
    if (isSpan(low, high)) {
        shownValues_ = {low, high};
    }
}

void ChartViewRange::follow()
{
    if (following_) {
        return;
    }
    following_ = true;
    values_.reset();
    const double width = held_.second - held_.first;
    width_ = width < last_ - first_ ? std::optional(width) : std::nullopt;
}

void ChartViewRange::stopFollowing()
{
    if (following_) {
        const auto [from, to] = time();
        hold(from, to);
    }
}

void ChartViewRange::reset()
{
    *this = ChartViewRange();
}

std::pair<double, double> ChartViewRange::time() const
{
    if (!following_) {
        return held_;
    }
    // A run's first readings get a second of room.
    if (!width_ || *width_ >= last_ - first_) {
        return {first_, std::max(last_, first_ + 1.0)};
    }
    return {last_ - *width_, last_};
}

// Inside the run, at least kNarrowest wide.
std::pair<double, double> ChartViewRange::clamped(double from, double width) const
{
    const double whole = std::max(last_ - first_, kNarrowest);
    width = std::clamp(width, kNarrowest, whole);
    from = std::clamp(from, first_, std::max(first_, last_ - width));
    return {from, from + width};
}

void ChartViewRange::hold(double from, double to)
{
    if (isSpan(from, to)) {
        following_ = false;
        held_ = clamped(from, to - from);
    }
}

void ChartViewRange::zoomTime(double factor, double at)
{
    if (!(factor > 0.0) || !std::isfinite(factor)) {
        return;
    }
    const auto [from, to] = shownTime_;
    const double width =
        std::clamp((to - from) * factor, kNarrowest, std::max(last_ - first_, kNarrowest));
    at = std::clamp(at, 0.0, 1.0);
    const double pivot = from + at * (to - from);
    hold(pivot - at * width, pivot + (1.0 - at) * width);
}

void ChartViewRange::zoomValues(double factor, double at)
{
    const auto [low, high] = shownValues_;
    at = std::clamp(at, 0.0, 1.0);
    const double pivot = low + at * (high - low);
    const double height = (high - low) * factor;
    const double bottom = pivot - at * height;
    if (factor > 0.0 && wideEnough(bottom, bottom + height)) {
        values_ = {bottom, bottom + height};
        hold(shownTime_.first, shownTime_.second);
    }
}

void ChartViewRange::pan(double right, double up)
{
    const auto [from, to] = shownTime_;
    const double shift = right * (to - from);
    if (std::isfinite(shift)) {
        hold(from - shift, to - shift);
    }
    const auto [low, high] = shownValues_;
    const double lift = up * (high - low);
    if (lift != 0.0 && std::isfinite(lift)) {
        values_ = {low - lift, high - lift};
    }
}

void ChartViewRange::zoomToBox(double left, double right, double bottom, double top)
{
    const auto [from, to] = shownTime_;
    const auto [low, high] = shownValues_;
    const auto at = [](double edge, double a, double b) {
        return a + std::clamp(edge, 0.0, 1.0) * (b - a);
    };
    const double l = at(std::min(left, right), from, to);
    const double r = at(std::max(left, right), from, to);
    const double b = at(std::min(bottom, top), low, high);
    const double t = at(std::max(bottom, top), low, high);
    if (isSpan(l, r) && wideEnough(b, t)) {
        hold(l, r);
        values_ = {b, t};
    }
}

} // namespace lumodm
