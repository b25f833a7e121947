#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <memory>
#include <vector>

namespace lumodm {

// The extremes of the readings of one pixel column; `present` is false for a
// column without a reading that has a value.
struct ColumnExtremes
{
    double minimum = 0.0;
    double maximum = 0.0;
    bool present = false;
};

// A long run's readings (time, value) with the minimum and maximum of every
// block of 16, 256 and 4096 entries beside them, so that a chart of W
// columns over any time range costs a few blocks per column whatever the
// number of readings: O(W log N). Times must not go back; a reading whose
// time does is refused and counted. A value that is not a number is held
// but has no extreme.
//
// Nothing is ever dropped: once the capacity (rounded up to whole blocks of
// 4096) is full, every group of four entries is compacted to two, the
// group's lowest and highest at their own times, so the whole run stays in
// view with every extreme where it was, at half the detail. From then on
// each group of 2^(level + 1) readings is stored as its two extremes, and
// the group still filling is shown as well. A million readings fit at full
// detail; memory is about 17 bytes an entry of the capacity at most.
class MinMaxPyramid
{
  public:
    static constexpr std::size_t kDefaultCapacity = std::size_t{1} << 20; // 1,048,576
    static constexpr std::size_t kMaxColumns = 65536;
    static constexpr double kForever = std::numeric_limits<double>::infinity();

    explicit MinMaxPyramid(std::size_t capacity = kDefaultCapacity);
    ~MinMaxPyramid();
    MinMaxPyramid(MinMaxPyramid&&) noexcept;
    MinMaxPyramid& operator=(MinMaxPyramid&&) noexcept;

    // False (and nothing held changes) when `time` is not a number or earlier
    // than the last reading's.
    bool append(double time, double value);
    void clear();

    std::size_t size() const { return size_; } // entries stored
    std::size_t capacity() const { return capacity_; }
    // How often the entries were compacted: 0 while every reading is held.
    int level() const { return level_; }
    // Every reading appended since the last clear, the compacted ones too.
    std::uint64_t readings() const { return readings_; }
    std::uint64_t refused() const { return refused_; }
    double time(std::size_t i) const;  // the i-th entry, oldest first
    double value(std::size_t i) const; // (i < size())
    // The first and the last reading's time; NaN when there is none.
    double firstTime() const;
    double lastTime() const;
    std::size_t memoryBytes() const;

    // The extremes per column of `width` columns (at most kMaxColumns) that
    // split [from, to] evenly: column c holds the readings from
    // from + (to - from) * c / width up to the next column's start, the last
    // column `to` itself too; only readings from `since` on and before
    // `until` count. Nothing present when the range is empty.
    std::vector<ColumnExtremes> columns(double from, double to, std::size_t width,
                                        double since = -kForever, double until = kForever) const;

  private:
    struct Chunk;
    struct Entry
    {
        double time;
        double value;
    };
    // The lowest and the highest of a group, the first of equal lowest and
    // the last of equal highest, so a flat stretch keeps both its ends.
    struct Group
    {
        double lowTime = 0.0, low = 0.0, highTime = 0.0, high = 0.0;
        double firstTime = 0.0, lastTime = 0.0;
        std::size_t count = 0;
        bool any = false; // a value that is a number came

        void add(double time, double value);
    };
    void store(double time, double value);
    void store(const Group& group); // as two entries
    static std::array<Entry, 2> entriesOf(const Group& group);
    void compact();
    std::size_t firstAtOrAfter(double time) const; // of the entries held
    std::size_t firstAfter(double time) const;
    void fold(std::size_t begin, std::size_t end, ColumnExtremes& into) const;

    std::size_t capacity_;
    std::size_t size_ = 0;
    int level_ = 0;
    double first_ = 0.0;
    double last_ = 0.0;
    std::uint64_t readings_ = 0;
    std::uint64_t refused_ = 0;
    Group pending_; // the group still filling, from level 1 on
    std::deque<std::unique_ptr<Chunk>> chunks_;
};

} // namespace lumodm
