#pragma once

#include "meter/reading.h"
#include "stats/allan_deviation.h"
#include "stats/histogram.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace lumodm {

// What broke a run of readings: a Stop, a reading without a number, or the
// readings' own time stamps (a step much longer than the interval, or one
// back).
enum class RunBreak { Stop, FailedReading, Overflow, Pause, ClockBack };

struct HistogramAnalysis
{
    Histogram histogram;
    QString unit; // the base unit of the values
    QString text; // what the histogram is of, for its title: lines split by '\n'
};

struct AllanAnalysis
{
    AllanDeviation allan;
    std::vector<RunBreak> causes; // of each of allan.gaps
    QString unit;
    QString text; // what it is over, its gaps and their causes: lines split by '\n'
};

// The readings since Reset, kept for the histogram and the Allan deviation
// in the base unit: the newest `capacity` of them (with the marks of their
// breaks), the oldest dropped. A reading on another function or base unit
// starts them afresh, as the statistics do. A Stop and a reading without a
// number are marked where they fall, so that the Allan deviation reports
// them as gaps even when the next reading comes on time.
class ReadingAnalysis : public ReadingObserver
{
  public:
    // About a million readings and a few thousand breaks: 16 MB.
    static constexpr std::size_t kDefaultCapacity = std::size_t{1} << 20;

    explicit ReadingAnalysis(std::size_t capacity = kDefaultCapacity);

    void readingTaken(const Reading& reading) override;
    void runEnded() override;
    // Forgets the readings, keeps the function they are taken on.
    void reset();

    // The readings with a number held.
    std::size_t readings() const { return readings_; }
    // Changes with every change of what is held: a view draws afresh only then.
    std::uint64_t revision() const { return revision_; }

    HistogramAnalysis histogram() const;
    AllanAnalysis allanDeviation() const;

  private:
    struct Mark
    {
        std::uint64_t sequence; // of the entry it stands at
        RunBreak cause;
    };

    void push(double time, double value);
    void mark(double time, RunBreak cause);
    // Turns the ring so that the oldest entry comes first: the computations
    // take the entries as they stand, without a copy of 16 MB each time.
    void putInOrder() const;
    std::uint64_t oldestSequence() const { return pushed_ - times_.size(); }
    const Mark* markAt(std::uint64_t sequence) const;

    std::size_t capacity_;
    // The ring's order is no part of what it holds: turned in order by a
    // computation, it stays the same to every caller.
    mutable std::vector<double> times_;  // seconds since the epoch
    mutable std::vector<double> values_; // NaN at a mark
    mutable std::size_t head_ = 0;       // the oldest entry, once the ring is full
    std::uint64_t pushed_ = 0;           // entries ever pushed
    std::size_t readings_ = 0;
    std::deque<Mark> marks_;
    std::uint64_t revision_ = 0;
    QString functionCode_;
    QString unit_;
};

// The CSV files of the two: a header naming the unit, a row a bin
// ("bin_low_V,bin_high_V,count,normal_expected") or an averaging time
// ("tau_s,adev_V,n_terms").
QString histogramCsv(const HistogramAnalysis& analysis);
QString allanDeviationCsv(const AllanAnalysis& analysis);

} // namespace lumodm
