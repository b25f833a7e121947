#pragma once

#include "bus/forwarding_driver.h"

#include <chrono>
#include <iosfwd>
#include <memory>
#include <string>

namespace lumodm {

// Wraps any driver and writes one line per call to a stream: the call with
// its arguments, the data written or read (escaped), the resulting status
// and the time the call took. It is how a user finds out why a meter does
// not answer (--trace).
class TraceDriver : public ForwardingDriver
{
  public:
    TraceDriver(std::unique_ptr<GpibDriver> inner, std::ostream& out);

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
    using Clock = std::chrono::steady_clock;

    // Writes the line of a call that has taken the inner driver's status.
    void report(const std::string& call, Clock::time_point started, const std::string& result);
    void write(const std::string& line);

    std::ostream& out_;
};

} // namespace lumodm
