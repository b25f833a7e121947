#pragma once

#include "bus/drivers/sim/sim_meter.h"

namespace lumodm {

// The DM5110's and DM5120's way of talking: ranges are numbers.
// "FUNCT?" answers "FUNCT <code>;", "RANGE?" answers "RANGE <n>;" (0 for
// automatic), "RANGE<n>" (or "RANGE <n>") sets a range, RANGE0 automatic,
// and "FUNCT <code>" selects a function like the plain code does. The dB
// functions have no fixed ranges of their own.
class Dm51x0Meter : public SimulatedMeter
{
  public:
    explicit Dm51x0Meter(const SimModel& model);

  protected:
    Outcome modelCommand(const QByteArray& unit, QByteArray& answer) override;
};

} // namespace lumodm
