#include "stats/reading_history.h"

#include <algorithm>
#include <cmath>

namespace lumodm {

ReadingHistory::ReadingHistory(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1))
{
}

void ReadingHistory::add(double time, double value)
{
    if (points_.size() < capacity_) {
        points_.push_back({time, value});
        return;
    }
    points_[oldest_] = {time, value};
    oldest_ = (oldest_ + 1) % capacity_;
}

void ReadingHistory::clear()
{
    points_.clear();
    oldest_ = 0;
}

const HistoryPoint& ReadingHistory::at(std::size_t i) const
{
    return points_[(oldest_ + i) % points_.size()];
}

std::vector<ThinnedColumn> ReadingHistory::thin(std::size_t columns, double from, double to) const
{
    std::vector<ThinnedColumn> result;
    const double span = to - from;
    const double perSecond = static_cast<double>(columns) / span;
    if (columns == 0 || !(span > 0.0) || !std::isfinite(span) || !std::isfinite(perSecond)) {
        return result;
    }
    // One slot per column; `seen` tells the filled ones.
    std::vector<ThinnedColumn> slots(columns);
    std::vector<bool> seen(columns, false);
    const double lastColumn = static_cast<double>(columns - 1);
    // The order of the points does not matter: a clock set back mid-run
    // still thins right.
    for (const HistoryPoint& p : points_) {
        if (!(p.time >= from && p.time <= to) || std::isnan(p.value)) {
            continue;
        }
        // From 0 to `columns` here; the end of the span goes to the last column.
        const double position = (p.time - from) * perSecond;
        const std::size_t c =
            position < lastColumn ? static_cast<std::size_t>(position) : columns - 1;
        ThinnedColumn& slot = slots[c];
        if (!seen[c]) {
            seen[c] = true;
            slot = {c, p.value, p.value};
        } else {
            slot.minimum = std::min(slot.minimum, p.value);
            slot.maximum = std::max(slot.maximum, p.value);
        }
    }
    for (std::size_t c = 0; c < columns; ++c) {
        if (seen[c]) {
            result.push_back(slots[c]);
        }
    }
    return result;
}

} // namespace lumodm
