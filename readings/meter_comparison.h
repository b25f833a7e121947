#pragma once

#include "meter/reading.h"
#include "readings/reading_analysis.h"
#include "stats/reading_statistics.h"

#include <QString>
#include <optional>

namespace lumodm {

// A transfer check of two meters on one bus: each reading of this window's
// meter minus the latest reading of another, absolute and in ppm of the
// other, with the statistics and the Allan deviation of the differences.
// The other's reading must be on the same base unit and recent; otherwise,
// or when either reading has no number, the pair is a gap that breaks the
// Allan deviation's chain rather than a difference that means nothing.
class MeterComparison
{
  public:
    // A reading of the other meter older than this pairs with nothing.
    static constexpr double kStaleSeconds = 30.0;

    // The other meter, by its address; 0 compares with nothing.
    void compareWith(int address, const QString& name);
    int otherAddress() const { return otherAddress_; }
    bool active() const { return otherAddress_ != 0; }

    // Every meter's readings come here; this meter's pair with the other's.
    void readingTaken(const Reading& reading, int ownAddress);
    void reset();

    // The last difference, in the base unit and in ppm of the other.
    std::optional<double> difference() const { return difference_; }
    std::optional<double> ppm() const { return ppm_; }
    const ReadingStatistics& differences() const { return differences_; }
    const ReadingStatistics& ppmDifferences() const { return ppmDifferences_; }
    // The differences kept for their histogram and Allan deviation, the
    // pairs that failed marked as gaps.
    const ReadingAnalysis& analysis() const { return analysis_; }
    // "minus DM5120 at 14: +12.3 µV (+8.2 ppm)", "-" parts when not known.
    QString text() const;

  private:
    void pair(const Reading& own);

    int otherAddress_ = 0;
    QString otherName_;
    std::optional<Reading> other_;
    std::optional<double> difference_;
    std::optional<double> ppm_;
    QString unit_;
    ReadingStatistics differences_;
    ReadingStatistics ppmDifferences_;
    ReadingAnalysis analysis_;
};

} // namespace lumodm
