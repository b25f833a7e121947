#pragma once

#include "bus/forwarding_driver.h"

#include <QList>
#include <memory>

namespace lumodm {

// Wraps any driver so that listener discovery considers the addresses
// named only (--address=N or N,M,...): a "++" adapter then polls those
// alone, and a board or the simulated bus lists no other listener. The
// interface's own address 0 stays in the list, where discovery expects it.
// Every other call passes through unchanged.
class AddressLimitDriver : public ForwardingDriver
{
  public:
    AddressLimitDriver(std::unique_ptr<GpibDriver> inner, QList<int> addresses);

    int FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results,
                 int limit) override;

  private:
    QList<int> addresses_;
};

} // namespace lumodm
