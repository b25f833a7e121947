#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
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
// block of 16, 256 and 4096 readings beside them, so that a chart of W
// columns over any time range costs a few blocks per column whatever the
// number of readings: O(W log N). Times must not go back; a reading whose
// time does is refused and counted. A value that is not a number is held
// but has no extreme. Once full, the oldest 4096 readings go at once, so
// between capacity - 4095 and capacity readings stay (the capacity rounded
// up to whole blocks of 4096); memory is about 17 bytes a reading of the
// capacity at most.
class MinMaxPyramid
{
  public:
    static constexpr std::size_t kDefaultCapacity = std::size_t{1} << 20; // 1,048,576
    static constexpr std::size_t kMaxColumns = 65536;

    explicit MinMaxPyramid(std::size_t capacity = kDefaultCapacity);
    ~MinMaxPyramid();
    MinMaxPyramid(MinMaxPyramid&&) noexcept;
    MinMaxPyramid& operator=(MinMaxPyramid&&) noexcept;

    // False (and nothing held changes) when `time` is not a number or earlier
    // than the last reading's.
    bool append(double time, double value);
    void clear();

    std::size_t size() const { return size_; }
    std::size_t capacity() const { return capacity_; }
    std::uint64_t refused() const { return refused_; }
    double time(std::size_t i) const;  // the i-th reading held, oldest first
    double value(std::size_t i) const; // (i < size())
    std::size_t memoryBytes() const;

    // The extremes per column of `width` columns (at most kMaxColumns) that
    // split [from, to] evenly: column c holds the readings from
    // from + (to - from) * c / width up to the next column's start, the last
    // column `to` itself too. Nothing present when the range is empty.
    std::vector<ColumnExtremes> columns(double from, double to, std::size_t width) const;

  private:
    struct Chunk;
    std::size_t firstAtOrAfter(double time) const; // of the readings held
    std::size_t firstAfter(double time) const;
    void fold(std::size_t begin, std::size_t end, ColumnExtremes& into) const;

    std::size_t capacity_;
    std::size_t size_ = 0;
    std::uint64_t refused_ = 0;
    std::deque<std::unique_ptr<Chunk>> chunks_;
};

} // namespace lumodm
