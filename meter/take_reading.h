#pragma once

#include "meter/meter_context.h"

namespace lumodm {

// One measurement cycle: settings check, "SEND", unit and digits, readout.
void TakeReading(MeterContext& context);

} // namespace lumodm
