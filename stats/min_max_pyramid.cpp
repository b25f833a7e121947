#include "stats/min_max_pyramid.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace lumodm {

namespace {

constexpr std::size_t kChunk = 4096; // readings per chunk, the largest block
constexpr std::size_t kMiddle = 256;
constexpr std::size_t kSmall = 16;

// Empty until a value widens it.
struct Extremes
{
    double minimum = std::numeric_limits<double>::infinity();
    double maximum = -std::numeric_limits<double>::infinity();

    void widen(double v)
    {
        minimum = std::min(minimum, v);
        maximum = std::max(maximum, v);
    }
    void widen(const Extremes& e)
    {
        minimum = std::min(minimum, e.minimum);
        maximum = std::max(maximum, e.maximum);
    }
};

// The first reading held that is not `before` (times ascend): a search over
// the chunks' last times, then inside the one chunk.
template <class Chunks, class Before>
std::size_t firstNotBefore(const Chunks& chunks, std::size_t size, Before before)
{
    const auto chunk = std::partition_point(
        chunks.begin(), chunks.end(), [&](const auto& c) { return before(c->times[c->size - 1]); });
    if (chunk == chunks.end()) {
        return size;
    }
    const auto& times = (*chunk)->times;
    const auto at = std::partition_point(times.begin(), times.begin() + (*chunk)->size, before);
    return static_cast<std::size_t>(chunk - chunks.begin()) * kChunk +
           static_cast<std::size_t>(at - times.begin());
}

} // namespace

// Whole chunks come and go, so each block's extremes only ever widen as
// readings arrive and none is ever computed again.
struct MinMaxPyramid::Chunk
{
    std::array<double, kChunk> times;
    std::array<double, kChunk> values;
    std::array<Extremes, kChunk / kSmall> small;
    std::array<Extremes, kChunk / kMiddle> middle;
    Extremes all;
    std::size_t size = 0;
};

MinMaxPyramid::MinMaxPyramid(std::size_t capacity)
    : capacity_(std::max<std::size_t>(capacity / kChunk + (capacity % kChunk != 0), 1) * kChunk)
{
}

MinMaxPyramid::~MinMaxPyramid() = default;
MinMaxPyramid::MinMaxPyramid(MinMaxPyramid&&) noexcept = default;
MinMaxPyramid& MinMaxPyramid::operator=(MinMaxPyramid&&) noexcept = default;

bool MinMaxPyramid::append(double time, double value)
{
    if (std::isnan(time) || (size_ > 0 && time < this->time(size_ - 1))) {
        ++refused_;
        return false;
    }
    if (chunks_.empty() || chunks_.back()->size == kChunk) {
        if (size_ + kChunk > capacity_ && !chunks_.empty()) {
            chunks_.pop_front();
            size_ -= kChunk;
        }
        chunks_.push_back(std::make_unique<Chunk>());
    }
    Chunk& chunk = *chunks_.back();
    const std::size_t at = chunk.size++;
    chunk.times[at] = time;
    chunk.values[at] = value;
    ++size_;
    if (!std::isnan(value)) {
        chunk.small[at / kSmall].widen(value);
        chunk.middle[at / kMiddle].widen(value);
        chunk.all.widen(value);
    }
    return true;
}

void MinMaxPyramid::clear()
{
    chunks_.clear();
    size_ = 0;
    refused_ = 0;
}

double MinMaxPyramid::time(std::size_t i) const
{
    return chunks_[i / kChunk]->times[i % kChunk];
}

double MinMaxPyramid::value(std::size_t i) const
{
    return chunks_[i / kChunk]->values[i % kChunk];
}

std::size_t MinMaxPyramid::memoryBytes() const
{
    return sizeof(*this) + chunks_.size() * (sizeof(Chunk) + sizeof(chunks_.front()));
}

std::size_t MinMaxPyramid::firstAtOrAfter(double time) const
{
    return firstNotBefore(chunks_, size_, [time](double t) { return t < time; });
}

std::size_t MinMaxPyramid::firstAfter(double time) const
{
    return firstNotBefore(chunks_, size_, [time](double t) { return t <= time; });
}

// The largest aligned block that starts at each step and fits: at most 15
// of each smaller kind at either end of the range, whole chunks between.
void MinMaxPyramid::fold(std::size_t begin, std::size_t end, ColumnExtremes& into) const
{
    Extremes e;
    for (std::size_t i = begin; i < end;) {
        const Chunk& chunk = *chunks_[i / kChunk];
        const std::size_t at = i % kChunk;
        const std::size_t left = end - i;
        if (at == 0 && left >= kChunk) {
            e.widen(chunk.all);
            i += kChunk;
        } else if (at % kMiddle == 0 && left >= kMiddle) {
            e.widen(chunk.middle[at / kMiddle]);
            i += kMiddle;
        } else if (at % kSmall == 0 && left >= kSmall) {
            e.widen(chunk.small[at / kSmall]);
            i += kSmall;
        } else {
            if (!std::isnan(chunk.values[at])) {
                e.widen(chunk.values[at]);
            }
            ++i;
        }
    }
    into.present = e.minimum <= e.maximum;
    if (into.present) {
        into.minimum = e.minimum;
        into.maximum = e.maximum;
    }
}

std::vector<ColumnExtremes> MinMaxPyramid::columns(double from, double to, std::size_t width) const
{
    std::vector<ColumnExtremes> out(std::min(width, kMaxColumns));
    const double span = to - from;
    if (out.empty() || size_ == 0 || !(from < to) || !std::isfinite(span)) {
        return out;
    }
    const std::size_t n = out.size();
    std::size_t begin = firstAtOrAfter(from);
    for (std::size_t c = 0; c < n; ++c) {
        const std::size_t end =
            c + 1 == n
                ? firstAfter(to)
                : firstAtOrAfter(from + span * static_cast<double>(c + 1) / static_cast<double>(n));
        if (end > begin) {
            fold(begin, end, out[c]);
            begin = end;
        }
    }
    return out;
}

} // namespace lumodm
