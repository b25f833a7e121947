#pragma once

#include "meter/meter_model.h"
#include "meter/reading_ranges.h"

#include <QString>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <optional>

namespace lumodm {

// One reading as the meter gave it and as the readout shows it.
struct Reading
{
    enum class Kind {
        Value,    // a number, shown with its unit and digits
        Overflow, // beyond the meter's range: "OVERFLO"
        NoNumber, // a failed exchange or an answer without a number
    };

    Kind kind = Kind::NoNumber;
    QString functionCode; // the function the meter confirmed for this reading
    UnitGroup group = UnitGroup::Other;
    // The range the reading is shown on: on automatic range (0) the one the
    // value falls into, when one does.
    std::int16_t rangeNumber = 0;
    // The range setting as the panel shows it, alike on every model: 0
    // automatic, N fixed range N; none for a function without ranges.
    std::optional<std::int16_t> rangeSetting;
    double value = 0.0;       // in `unit`; the answer's number for an overflow
    double valueInBase = 0.0; // the answer's number, in `baseUnit`
    QString unit;             // "mV", "kOhm", "µA" ...; for diode and dB the function's own unit
    QString baseUnit;         // "V", "Ohm", "A", or the function's own unit
    // Diode and dB readings leave the panel's unit label as the function set it.
    bool keepsUnitLabel = false;
    float digitFormat = 0.0F;
    QString readoutText; // what the readout shows for it
    QString rawAnswer;   // the meter's answer to "SEND", as received
    // When the answer came: read once, so every consumer writes the same time.
    std::chrono::system_clock::time_point time;
    // The meter that gave it: its designation and primary address (0 when
    // not known), so that a consumer of several meters tells them apart.
    QString meterModel;
    int meterAddress = 0;

    // A number that can be counted and drawn: an overflow's number is no
    // measurement, and one beyond a double's range would spoil every
    // figure after it.
    bool hasFiniteValue() const { return kind == Kind::Value && std::isfinite(valueInBase); }
};

// What an answer to "SEND" means on a function and range of a model.
Reading interpretReading(const QString& answer, const QString& functionCode, MeterModel model,
                         std::int16_t rangeNumber);

// Told of every reading the panel shows and of every reading the headless
// reader takes; by the panel also of its measurement runs, from Run to a
// Stop (the user's or the panel's own). Plain notifications in the order
// they happen, so that they may as well arrive later on another thread.
class ReadingObserver
{
  public:
    virtual ~ReadingObserver() = default;
    virtual void readingTaken(const Reading& reading) = 0;
    virtual void runStarted() {}
    virtual void runEnded() {}
};

} // namespace lumodm
