#pragma once

#include "meter/meter_model.h"

#include <QString>
#include <cstdint>

namespace lumodm {

// A range list entry and range caption: "Range" and the number ("Range3").
QString rangeEntryText(std::int16_t rangeNumber);

// The question that asks a model for its present range: "FUNC?" on the
// DM5010 (the answer carries the range value), "RANGE?" on the others.
QString rangeQuestion(MeterModel model);

// The present range number in the answer to rangeQuestion() while the
// meter is on `functionCode`; automatic range reads as 0.
float presentRangeNumber(MeterModel model, const QString& functionCode, const QString& answer);

// The command that puts the meter on range `rangeNumber` (0 automatic) of
// `functionCode`: "RANGE3" on the DM5110/DM5120; the function code and the
// range value on the DM5010 ("DCV 20", "OHMS -200"), where a function
// without range values repeats `present`.
QString rangeCommand(MeterModel model, const QString& functionCode, std::int16_t rangeNumber,
                     float present);

} // namespace lumodm
