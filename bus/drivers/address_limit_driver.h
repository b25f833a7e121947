#pragma once

#include "bus/gpib_driver.h"

#include <memory>

namespace lumodm {

// Wraps any driver so that listener discovery considers one address only
// (--address=N): a "++" adapter then polls that address alone, and a board
// or the simulated bus lists no other listener. The interface's own address
// 0 stays in the list, where discovery expects it. Every other call passes
// through unchanged.
class AddressLimitDriver : public GpibDriver
{
  public:
    AddressLimitDriver(std::unique_ptr<GpibDriver> inner, int address);

    int RegisterGpibGlobalsForThread() override;
    int UnregisterGpibGlobalsForThread() override;
    int SendIFC(int board) override;
    int ibsre(int board, int value) override;
    int FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results,
                 int limit) override;
    int ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
              int endOfString) override;
    int ibpad(int ud, int primary) override;
    int ibclr(int ud) override;
    int ibrsp(int ud, char* statusByte) override;
    int ibwrt(int ud, const char* data, long count) override;
    int ibrd(int ud, char* buffer, long count) override;
    int ibwait(int ud, int mask) override;
    int ibtmo(int ud, int timeoutCode) override;
    int ibask(int ud, int option, int* value) override;
    void close() override;

  private:
    // The inner driver's status becomes this one's.
    int took(int result);

    std::unique_ptr<GpibDriver> inner_;
    int address_;
};

} // namespace lumodm
