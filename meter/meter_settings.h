#pragma once

#include "bus/vbib32rv.h"
#include "meter/meter_model.h"
#include "meter/reading_ranges.h"

#include <QString>
#include <cstdint>

namespace lumodm {

// The meter's function and range as it reports them.
struct MeterSettings
{
    QString functionCode; // "" when the meter gave no function answer
    UnitGroup group = UnitGroup::Other;
    // 1..N a fixed range, 0 automatic, negative (DM5010) automatic with the
    // magnitude naming a range. Only meaningful when `known`.
    std::int16_t rangeNumber = 0;
    // The function's fixed ranges on this model (the range list's length
    // less "Auto"); 0 for the diode and dB functions.
    std::int16_t rangeCount = 0;

    // A code of the function table: only then are range and list settled.
    bool known() const { return group != UnitGroup::Other; }
};

// Asks the meter for its function and range ("FUNCT?" then "RANGE?" or,
// on the DM5010, "CALC?" for a voltage function). Failed exchanges read as
// empty answers.
MeterSettings readSettings(Vbib32Rv& bus, std::int16_t& device, MeterModel model);

} // namespace lumodm
