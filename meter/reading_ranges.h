#pragma once

#include "meter/meter_model.h"

#include <QString>
#include <cstdint>

namespace lumodm {

// How a reading is scaled from the meter's base unit into a row's unit.
// Factors are exact powers of ten; dividing and multiplying round
// differently in double precision, so the direction is kept.
enum class ScaleOp : std::uint8_t { None, Multiply, Divide };

// One fixed range of a unit group: readings strictly below `limit` fit it.
struct RangeRow
{
    double limit;
    const char* unit; // UTF-8
    ScaleOp op;
    double factor;
    float digitFormat; // 1.F: F digits after the point
};

// The ranges of one unit group on one model.
struct RangeTable
{
    const RangeRow* rows;
    int rowCount;
    // DM5010/DM5110 tables accept a negative range number (automatic range
    // reported with a value) and use its magnitude.
    bool lookupByMagnitude;
    // Resistance compares the signed value, so a negative reading fits row 1.
    bool compareSigned;
};

enum class UnitGroup { Voltage, Resistance, Current, Diode, Decibel, Other };

// The unit group of a function code (exact match).
UnitGroup unitGroupOf(const QString& functionCode);

// The group's base unit label ("V", "Ohm", "A"); empty for the others.
QString baseUnitOf(UnitGroup group);

// The range table for a group and a model; nullptr for groups without one.
const RangeTable* rangeTableFor(UnitGroup group, MeterModel model);

// Whether the DM5110 current pre-scale to milliamperes applies.
bool usesMilliampPrescale(UnitGroup group, MeterModel model);

// What the display shows for one value once a table row is chosen.
struct ScaledReading
{
    double value;      // in `unit`
    QString unit;      // the unit label to show
    float digitFormat; // 0 when no row fits (general form)
};

// Picks the row for a reading. With rangeNumber 0 (automatic) the first row
// whose limit exceeds the compared quantity is chosen and written back into
// rangeNumber; no fit leaves it 0. The row is then looked up by the range
// number; a number without a row leaves the value and `baseUnit` as given
// and the digit format 0.
ScaledReading selectRange(const RangeTable& table, double value, const QString& baseUnit,
                          std::int16_t& rangeNumber);

// The DM5120's AC voltage shows one digit fewer than its table says.
float lowerDigitFormatForAcv(float digitFormat);

} // namespace lumodm
