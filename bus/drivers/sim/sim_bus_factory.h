#pragma once

#include "bus/drivers/sim/sim_bus.h"

#include <QString>
#include <memory>

namespace lumodm {

// The simulated bus the command line asks for. `spec` is the text after
// "--sim=": meters separated by commas, each a model name (DM5010, DM5110,
// DM5120, any letter case) with an optional "@" and primary address 1 to
// 30 (16 when left out); empty means "DM5010@16". "fault=NAME" entries
// switch on faults (see SimFaults) of the meter named before them. On a
// bad spec the result is nullptr and `error` (when given) says what is
// wrong.
std::unique_ptr<SimulatedBus> createSimulatedBus(const QString& spec, QString* error);

} // namespace lumodm
