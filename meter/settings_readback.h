#pragma once

#include "meter/meter_context.h"

#include <QString>
#include <cstdint>

namespace lumodm {

// Reads the meter's function and range back into the panel.
void UpdateFunction(MeterContext& context);
// `runReading`: the read-back opens a reading of a measurement run
// (TakeReading). Until that run is stopped, the voltage and resistance lists
// are only re-selected, so an open list is not rebuilt under the user.
QString ReadSettings(MeterContext& context, bool runReading = false);
void FillRangeList(Form1& form, std::int16_t count);

// DM5010 range arithmetic: a range value in the meter's units to a range
// number, and back (the value as sent in a range command).
std::int16_t dm5010VoltageRangeNumber(float rangeValue);
std::int16_t dm5010OhmsRangeNumber(float rangeValue);
float dm5010VoltageRangeValue(std::int16_t rangeNumber);
float dm5010OhmsRangeValue(std::int16_t rangeNumber);

// A range value as the DM5010's range command writes it: the shortest
// decimal form at most seven significant digits, exponent from 1e7 on
// ("0.2", "1000", "-2", "2E+07").
QString dm5010RangeValueText(float value);

} // namespace lumodm
