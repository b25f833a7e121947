#pragma once

#include "bus/drivers/sim/sim_meter.h"

namespace lumodm {

// The DM5010's way of talking: its range travels as a value in the
// meter's units. "FUNCT?" (or "FUNC?") answers the function and its range
// value ("DCV 20"); on automatic range the value is negative and names the
// range the present input falls in ("DCV -2"). A range is set with the
// function and a value ("OHMS 2E+07"; any negative value for automatic),
// and "CALC DBM" / "CALC OFF" / "CALC?" handle the dBm calculation.
class Dm5010Meter : public SimulatedMeter
{
  public:
    Dm5010Meter();

  protected:
    Outcome modelCommand(const QByteArray& unit, QByteArray& answer) override;

  private:
    QByteArray functionAnswer();
    Outcome rangeCommand(const QByteArray& functionName, const QByteArray& argument);
};

} // namespace lumodm
