#pragma once

#include "meter/reading.h"
#include "readings/reading_analysis.h"
#include "stats/min_max_pyramid.h"
#include "stats/reading_statistics.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

namespace lumodm {

// Where a reading falls against the optional limits.
enum class LimitZone { Unknown, Below, Inside, Above };
enum class LimitSide { Low, High };

// One run of readings on one function: the chart draws each as a series of
// its own, from `firstTime` until the next one begins.
struct ReadingSeries
{
    QString functionCode;
    QString unit; // base unit
    double firstTime = 0.0;
};

// What the readings window shows, without any widget: the big readout's
// text and state, the relative value, the limits, their crossings and the
// beep, the statistics, and the history split into series by function.
// The window only mirrors it.
class ReadingsViewModel : public ReadingObserver
{
  public:
    void readingTaken(const Reading& reading) override;
    // A stopped run holds the last value.
    void runStarted() override { running_ = true; }
    void runEnded() override
    {
        running_ = false;
        analysis_.runEnded();
    }
    bool held() const { return !running_ && last_.has_value(); }

    // The digits ("1.23456", "OVERFLO", or hyphens when there is no number),
    // the unit beside them, and a note: "no reading", "overflow", "held".
    QString readoutText() const;
    QString unitText() const;
    QString noteText() const;
    // The reading as text with its unit, for the clipboard; empty before any.
    QString copyText() const;

    // Takes the last reading as the reference; false when it has no number.
    bool setReference();
    bool canSetReference() const { return last_ && last_->hasFiniteValue(); }
    void clearReference() { reference_.reset(); }
    // The last reading minus the reference, in the base unit.
    std::optional<double> relative() const;
    QString relativeText() const;

    // Limits in the base unit; a limit that is not a number is no limit.
    void setLimits(std::optional<double> low, std::optional<double> high);
    // Limits are typed and shown in the unit the readout shows ("kOhm"),
    // empty before any reading; once taken they are kept in the base unit,
    // so a limit stays the same quantity when the readout changes range.
    const QString& limitUnit() const { return shownUnit_; }
    // A limit as typed in limitUnit() ("1.5", "-2e-3"; blank for none). A
    // text that is not a number leaves the limit as it was: false.
    bool setLimitText(LimitSide side, const QString& text);
    void setLimits(const QString& low, const QString& high);
    // The limit in limitUnit(), for its field; blank for none.
    QString limitText(LimitSide side) const;
    // Whether a field's text can be taken: a number, or blank.
    static bool isLimitText(const QString& text);
    bool hasLimits() const { return low_ || high_; }
    LimitZone zone() const { return zone_; }
    // Whether a crossing beeps, and whether the last reading asks for it:
    // it moved to another zone than the reading with a number before it.
    void setBeep(bool beep) { beep_ = beep; }
    bool beepDue() const { return beep_ && crossed_; }
    // Forgets the statistics, the chart's history and the analysis: all
    // start again with the next reading.
    void resetStatistics();

    const ReadingStatistics& statistics() const { return statistics_; }
    // n, then mean, std, min, max and p-p with the unit; "-" for one not
    // known yet (all but n at n=0, the deviation at n=1).
    QStringList figureTexts() const;
    // The chart's readings since the last Reset: a reading whose time goes
    // back (the clock set back) stays out of it.
    const MinMaxPyramid& history() const { return history_; }
    const std::deque<ReadingSeries>& series() const { return series_; }
    // The histogram and Allan deviation of the readings since Reset.
    const ReadingAnalysis& analysis() const { return analysis_; }

  private:
    LimitZone zoneOf(const Reading& reading) const;
    void noteResolution(const Reading& reading);

    std::optional<Reading> last_;
    std::optional<double> reference_;
    QString referenceFunction_;
    std::optional<double> low_;
    std::optional<double> high_;
    QString shownUnit_;
    QString shownBase_;
    LimitZone zone_ = LimitZone::Unknown;
    LimitZone knownZone_ = LimitZone::Unknown;
    bool crossed_ = false;
    bool beep_ = false;
    bool running_ = false;
    ReadingStatistics statistics_;
    // The last digit the readouts of the readings in the statistics show,
    // the coarsest of them, as a power of ten of the base unit; none when
    // one of them was in the general form.
    std::optional<int> statisticsResolution_;
    MinMaxPyramid history_;
    std::deque<ReadingSeries> series_;
    ReadingAnalysis analysis_;
};

// Seconds since the epoch of a reading's time.
double secondsSinceEpoch(const Reading& reading);

} // namespace lumodm
