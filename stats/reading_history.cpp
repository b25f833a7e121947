#include "stats/reading_history.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lumodm {

ReadingHistory::ReadingHistory(std::size_t capacity) : capacity_(std::max<std::size_t>(capacity, 1))
{
}

void ReadingHistory::add(double time, double value)
{
    ++added_;
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
    added_ = 0;
    ++clears_;
}

const HistoryPoint& ReadingHistory::at(std::size_t i) const
{
    return points_[(oldest_ + i) % points_.size()];
}

namespace {

// A grid that leaves a fifth of its span for the run to grow into, and
// gives way to a finer one once the points fill less than two fifths.
constexpr double kRoom = 1.25;
constexpr double kShrink = 0.4;

// The series now are the ones before, less some dropped at the front, plus
// some begun after every point so far.
bool seriesGrewAtTheEnds(const std::vector<double>& before, const std::vector<double>& now,
                         double lastTime)
{
    const auto kept =
        now.empty() ? before.end() : std::find(before.begin(), before.end(), now.front());
    const auto count = static_cast<std::size_t>(before.end() - kept);
    return count <= now.size() && std::equal(kept, before.end(), now.begin()) &&
           (count == now.size() || now[count] > lastTime);
}

} // namespace

std::int64_t GridThinning::columnOf(double time) const
{
    constexpr double limit = 4e18; // well inside the integer's range
    const double column = std::floor(time / width_);
    return std::isnan(column) ? std::numeric_limits<std::int64_t>::min()
                              : static_cast<std::int64_t>(std::clamp(column, -limit, limit));
}

bool GridThinning::update(const ReadingHistory& history, const std::vector<double>& starts,
                          std::size_t columns)
{
    const std::size_t size = history.size();
    const double from = size > 0 ? history.at(0).time : 0.0;
    const double to = size > 0 ? history.at(size - 1).time : 0.0;
    const double span = std::max(to - from, 1.0);
    if (size == 0 || columns == 0 || !std::isfinite(from) || !std::isfinite(to)) {
        const bool had = !buckets_.empty();
        *this = GridThinning();
        return had;
    }
    const bool sameSeries = seriesGrewAtTheEnds(starts_, starts, lastTime_);
    starts_ = starts;
    const auto count = static_cast<double>(columns);
    const bool regrid = columns != columns_ || !(width_ > 0.0) ||
                        columnOf(to) - columnOf(from) >= static_cast<std::int64_t>(columns) ||
                        span < kShrink * count * width_;
    if (regrid) {
        columns_ = columns;
        width_ = kRoom * span / count;
    }
    const std::uint64_t fresh = history.added() - added_;
    if (regrid || !sameSeries || history.clears() != clears_ || history.added() < added_ ||
        fresh > size) {
        return rebuild(history);
    }
    bool changed = false;
    const std::int64_t first = columnOf(from);
    if (first != first_) {
        first_ = first;
        changed = true;
        while (!buckets_.empty() && buckets_.front().column < first_) {
            buckets_.pop_front();
        }
    }
    for (std::size_t i = size - static_cast<std::size_t>(fresh); i < size; ++i) {
        const HistoryPoint& p = history.at(i);
        if (p.time < lastTime_) { // the clock went back: no longer in order
            return rebuild(history);
        }
        lastTime_ = std::isnan(p.time) ? lastTime_ : p.time;
        changed = fold(p.time, p.value) || changed;
    }
    added_ = history.added();
    // A full ring dropped its oldest: the first column may have lost an extreme.
    if (fresh > 0 && size == history.capacity()) {
        return ordered_ ? refoldFirstColumn(history) || changed : rebuild(history);
    }
    return changed;
}

bool GridThinning::rebuild(const ReadingHistory& history)
{
    buckets_.clear();
    added_ = history.added();
    clears_ = history.clears();
    ordered_ = true;
    lastTime_ = -std::numeric_limits<double>::infinity();
    first_ = columnOf(history.at(0).time);
    for (std::size_t i = 0; i < history.size(); ++i) {
        const HistoryPoint& p = history.at(i);
        ordered_ = ordered_ && !(p.time < lastTime_);
        lastTime_ = std::max(lastTime_, p.time);
        fold(p.time, p.value);
    }
    return true;
}

// The points of the first column are the oldest held, at the ring's front.
bool GridThinning::refoldFirstColumn(const ReadingHistory& history)
{
    const auto later = std::find_if(buckets_.begin(), buckets_.end(),
                                    [this](const GridBucket& b) { return b.column > first_; });
    const std::vector<GridBucket> before(buckets_.begin(), later);
    buckets_.erase(buckets_.begin(), later);
    for (std::size_t i = 0; i < history.size() && columnOf(history.at(i).time) <= first_; ++i) {
        fold(history.at(i).time, history.at(i).value);
    }
    const auto now = std::find_if(buckets_.begin(), buckets_.end(),
                                  [this](const GridBucket& b) { return b.column > first_; });
    return !std::equal(before.begin(), before.end(), buckets_.begin(), now);
}

bool GridThinning::fold(double time, double value)
{
    const std::int64_t column = columnOf(time);
    if (std::isnan(time) || std::isnan(value) || column < first_ ||
        column - first_ >= static_cast<std::int64_t>(columns_) || starts_.empty() ||
        !(time >= starts_.front())) {
        return false;
    }
    const double series = *(std::upper_bound(starts_.begin(), starts_.end(), time) - 1);
    const auto before = [](const GridBucket& b, const GridBucket& key) {
        return b.column < key.column || (b.column == key.column && b.series < key.series);
    };
    const GridBucket key{column, series, value, value};
    // In time order every point lands in the last bucket or a new one after it.
    auto it = buckets_.empty() || before(buckets_.back(), key)
                  ? buckets_.end()
                  : std::lower_bound(buckets_.begin(), buckets_.end(), key, before);
    if (it == buckets_.end() || before(key, *it)) {
        buckets_.insert(it, key);
        return true;
    }
    if (value < it->minimum) {
        it->minimum = value;
        return true;
    }
    if (value > it->maximum) {
        it->maximum = value;
        return true;
    }
    return false;
}

} // namespace lumodm
