#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <optional>

namespace lumodm {

// One measurement cycle's outcome, as the readout showed it. The reading
// log and the headless reader consume these.
struct ReadingRecord
{
    enum class Kind { Value, Overflow, NoReading };

    Kind kind = Kind::NoReading;
    // Read once per reading, so that every consumer writes the same time.
    std::chrono::system_clock::time_point time;
    QString functionCode;
    // The range the panel shows: 0 "Auto", N "RangeN" on every model; none
    // for a function without ranges (the caption is hidden).
    std::optional<std::int16_t> rangeNumber;
    double value = 0.0;   // in the displayed unit; meaningful for Kind::Value
    QString unit;         // the unit label as it stands after the reading
    QString readoutText;  // the readout as shown
    QString rawAnswer;    // the meter's answer to "SEND", as received
};

// Told of every reading the panel displays (values, overflows and
// exchanges that gave no number). Not told of skipped cycles (range list
// open), mismatches, or readings that a Stop kept off the display.
class ReadingObserver
{
public:
    virtual ~ReadingObserver() = default;
    virtual void readingTaken(const ReadingRecord& record) = 0;
};

} // namespace lumodm
