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

void MinMaxPyramid::Group::add(double time, double value)
{
    firstTime = count++ == 0 ? time : firstTime;
    lastTime = time;
    if (std::isnan(value)) {
        return;
    }
    if (!any || value < low) {
        low = value;
        lowTime = time;
    }
    if (!any || value >= high) {
        high = value;
        highTime = time;
    }
    any = true;
}

bool MinMaxPyramid::append(double time, double value)
{
    if (std::isnan(time) || (readings_ > 0 && time < lastTime())) {
        ++refused_;
        return false;
    }
    if (readings_++ == 0) {
        first_ = time;
    }
    last_ = time;
    if (level_ == 0 && size_ < capacity_) {
        store(time, value);
        return true;
    }
    if (level_ == 0) {
        compact();
    }
    pending_.add(time, value);
    const std::uint64_t groupSize = std::uint64_t{2} << std::min(level_, 62);
    if (pending_.count >= groupSize) {
        // Full: the group goes on filling to the size of the next level.
        if (size_ + 2 > capacity_) {
            compact();
        } else {
            store(pending_);
            pending_ = Group();
        }
    }
    return true;
}

void MinMaxPyramid::store(double time, double value)
{
    if (chunks_.empty() || chunks_.back()->size == kChunk) {
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
}

// A group without a number keeps its ends, so that its time stays spanned.
std::array<MinMaxPyramid::Entry, 2> MinMaxPyramid::entriesOf(const Group& group)
{
    if (!group.any) {
        return {{{group.firstTime, std::nan("")}, {group.lastTime, std::nan("")}}};
    }
    const Entry low{group.lowTime, group.low};
    const Entry high{group.highTime, group.high};
    return group.lowTime <= group.highTime ? std::array{low, high} : std::array{high, low};
}

void MinMaxPyramid::store(const Group& group)
{
    for (const Entry& e : entriesOf(group)) {
        store(e.time, e.value);
    }
}

// In place: the two entries of group g go to 2g and 2g + 1, behind the four
// they come from; then the blocks are made afresh. Runs once per doubling
// of the run, so its cost spreads to a few operations a reading.
void MinMaxPyramid::compact()
{
    const std::size_t groups = size_ / 4;
    for (std::size_t g = 0; g < groups; ++g) {
        Group group;
        for (std::size_t i = 4 * g; i < 4 * g + 4; ++i) {
            group.add(time(i), value(i));
        }
        const std::array<Entry, 2> entries = entriesOf(group);
        for (std::size_t k = 0; k < 2; ++k) {
            Chunk& chunk = *chunks_[(2 * g + k) / kChunk];
            chunk.times[(2 * g + k) % kChunk] = entries[k].time;
            chunk.values[(2 * g + k) % kChunk] = entries[k].value;
        }
    }
    size_ = 2 * groups;
    chunks_.resize(size_ / kChunk + (size_ % kChunk != 0));
    for (std::size_t c = 0; c < chunks_.size(); ++c) {
        Chunk& chunk = *chunks_[c];
        chunk.size = std::min(kChunk, size_ - c * kChunk);
        chunk.small.fill({});
        chunk.middle.fill({});
        chunk.all = {};
        for (std::size_t at = 0; at < chunk.size; ++at) {
            if (!std::isnan(chunk.values[at])) {
                chunk.small[at / kSmall].widen(chunk.values[at]);
                chunk.middle[at / kMiddle].widen(chunk.values[at]);
                chunk.all.widen(chunk.values[at]);
            }
        }
    }
    ++level_;
}

void MinMaxPyramid::clear()
{
    *this = MinMaxPyramid(capacity_);
}

double MinMaxPyramid::time(std::size_t i) const
{
    return chunks_[i / kChunk]->times[i % kChunk];
}

double MinMaxPyramid::value(std::size_t i) const
{
    return chunks_[i / kChunk]->values[i % kChunk];
}

double MinMaxPyramid::firstTime() const
{
    return readings_ > 0 ? first_ : std::nan("");
}

double MinMaxPyramid::lastTime() const
{
    return readings_ > 0 ? last_ : std::nan("");
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

std::vector<ColumnExtremes> MinMaxPyramid::columns(double from, double to, std::size_t width,
                                                   double since, double until) const
{
    std::vector<ColumnExtremes> out(std::min(width, kMaxColumns));
    const double span = to - from;
    if (out.empty() || readings_ == 0 || !(from < to) || !std::isfinite(span)) {
        return out;
    }
    const std::size_t n = out.size();
    const auto boundary = [&](std::size_t c) {
        return from + span * static_cast<double>(c) / static_cast<double>(n);
    };
    const std::size_t last = firstAtOrAfter(until);
    std::size_t begin = std::max(firstAtOrAfter(from), firstAtOrAfter(since));
    for (std::size_t c = 0; c < n && begin < last; ++c) {
        const std::size_t end = c + 1 == n ? firstAfter(to) : firstAtOrAfter(boundary(c + 1));
        if (std::min(end, last) > begin) {
            fold(begin, std::min(end, last), out[c]);
        }
        begin = std::max(begin, end);
    }
    // The group still filling shows its extremes where they fall.
    if (pending_.count == 0 || !pending_.any) {
        return out;
    }
    for (const Entry& e : entriesOf(pending_)) {
        if (!(e.time >= from && e.time <= to && e.time >= since && e.time < until)) {
            continue;
        }
        auto c = static_cast<std::size_t>(
            std::clamp((e.time - from) / span * static_cast<double>(n), 0.0, n - 1.0));
        while (c + 1 < n && e.time >= boundary(c + 1)) {
            ++c;
        }
        while (c > 0 && e.time < boundary(c)) {
            --c;
        }
        ColumnExtremes& column = out[c];
        column.minimum = column.present ? std::min(column.minimum, e.value) : e.value;
        column.maximum = column.present ? std::max(column.maximum, e.value) : e.value;
        column.present = true;
    }
    return out;
}

} // namespace lumodm
