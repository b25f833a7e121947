#pragma once

#include <cstddef>
#include <vector>

namespace lumodm {

// One stored reading: when it came (seconds on the caller's time scale,
// e.g. since the epoch) and its value in the base unit.
struct HistoryPoint
{
    double time = 0.0;
    double value = 0.0;
};

// The smallest and largest value among the points that fall into one
// column of a drawing.
struct ThinnedColumn
{
    std::size_t column = 0;
    double minimum = 0.0;
    double maximum = 0.0;

    bool operator==(const ThinnedColumn& o) const
    {
        return column == o.column && minimum == o.minimum && maximum == o.maximum;
    }
};

// The latest readings of a run, oldest dropped once `capacity` are held,
// and their thinning to what a chart of some pixel columns can show.
class ReadingHistory
{
  public:
    static constexpr std::size_t DefaultCapacity = 100000;

    explicit ReadingHistory(std::size_t capacity = DefaultCapacity);

    void add(double time, double value);
    void clear();

    std::size_t capacity() const { return capacity_; }
    std::size_t size() const { return points_.size(); }
    // The i-th point held, oldest first (i < size()).
    const HistoryPoint& at(std::size_t i) const;

    // The points from `from` to `to` (both included) cut into `columns`
    // equal slices of time, each non-empty slice given as its smallest and
    // largest value, in column order. Every extreme of every slice is kept,
    // so a spike of one reading still shows; points out of the span, or
    // with a time or value that is not a number, are left out.
    std::vector<ThinnedColumn> thin(std::size_t columns, double from, double to) const;

  private:
    std::size_t capacity_;
    std::vector<HistoryPoint> points_; // grows to capacity_, then wraps
    std::size_t oldest_ = 0;           // where the oldest point is once full
};

} // namespace lumodm
