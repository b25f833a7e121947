#pragma once

#include "bus/drivers/sim/sim_meter.h"

#include <QString>
#include <memory>

namespace lumodm {

// A simulated DM5010, DM5110 or DM5120 by name (any letter case);
// nullptr for any other name.
std::unique_ptr<SimulatedMeter> createSimulatedMeter(const QString& model);

} // namespace lumodm
