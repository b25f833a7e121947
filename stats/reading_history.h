#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace lumodm {

// One stored reading: when it came (seconds on the caller's time scale,
// e.g. since the epoch) and its value in the base unit.
struct HistoryPoint
{
    double time = 0.0;
    double value = 0.0;
};

// The latest readings of a run, oldest dropped once `capacity` are held.
class ReadingHistory
{
  public:
    static constexpr std::size_t DefaultCapacity = 100000;

    explicit ReadingHistory(std::size_t capacity = DefaultCapacity);

    void add(double time, double value);
    void clear();
    // Points added since the last clear, dropped ones included, and how
    // many clears there were: what a reader needs to catch up.
    std::uint64_t added() const { return added_; }
    std::uint64_t clears() const { return clears_; }

    std::size_t capacity() const { return capacity_; }
    std::size_t size() const { return points_.size(); }
    // The i-th point held, oldest first (i < size()).
    const HistoryPoint& at(std::size_t i) const;

  private:
    std::size_t capacity_;
    std::vector<HistoryPoint> points_; // grows to capacity_, then wraps
    std::size_t oldest_ = 0;           // where the oldest point is once full
    std::uint64_t added_ = 0;
    std::uint64_t clears_ = 0;
};

// The extremes of one series' points in one column of a GridThinning.
struct GridBucket
{
    std::int64_t column = 0; // on the grid: the column of time t is floor(t / width)
    double series = 0.0;     // the start time of the series
    double minimum = 0.0;
    double maximum = 0.0;

    bool operator==(const GridBucket& o) const
    {
        return column == o.column && series == o.series && minimum == o.minimum &&
               maximum == o.maximum;
    }
};

// A history thinned to columns of a fixed width on a grid of absolute time,
// kept up to date as readings arrive: a new reading touches only the last
// column and a dropped one only the first, so a redraw with a full ring
// costs no rescan. The grid spans the held points with room to grow and is
// redrawn afresh only when they outgrow it, shrink well inside it, or the
// column count changes: rarely.
class GridThinning
{
  public:
    // Catches up with `history`, whose points belong to series starting at
    // `starts` (ascending; a point before the first belongs to none), on a
    // drawing of `columns` columns. True when any bucket or the grid changed.
    bool update(const ReadingHistory& history, const std::vector<double>& starts,
                std::size_t columns);

    // Each series' extremes per column, in column order, series by series
    // within a column; the points of every column's minimum and maximum.
    const std::deque<GridBucket>& buckets() const { return buckets_; }
    double width() const { return width_; } // seconds per column
    std::int64_t firstColumn() const { return first_; }
    std::size_t columns() const { return columns_; }

  private:
    std::int64_t columnOf(double time) const;
    bool rebuild(const ReadingHistory& history);
    bool fold(double time, double value);
    bool refoldFirstColumn(const ReadingHistory& history);

    std::deque<GridBucket> buckets_;
    std::vector<double> starts_;
    double width_ = 0.0;
    std::int64_t first_ = 0;
    std::size_t columns_ = 0;
    std::uint64_t added_ = 0;
    std::uint64_t clears_ = 0;
    double lastTime_ = 0.0;
    bool ordered_ = true; // every point folded so far came in time order
};

} // namespace lumodm
