#pragma once

#include "bus/gpib_driver.h"

#include <memory>

namespace lumodm {

// One call of a driver, handed to ForwardingDriver::pass without copying
// or allocating: the callable lives on the caller's stack for the call.
class DriverCall
{
  public:
    template <typename Call>
    explicit DriverCall(Call& call)
        : call_(&call), invoke_([](void* c) { return (*static_cast<Call*>(c))(); })
    {
    }
    int operator()() const { return invoke_(call_); }

  private:
    void* call_;
    int (*invoke_)(void*);
};

// A driver that passes every call on to another and takes that driver's
// status as its own. The decorators (an address limit, a trace, one
// meter's view of a shared bus) override only what they change: single
// calls, or `pass`, which every call goes through.
class ForwardingDriver : public GpibDriver
{
  public:
    // Owns the inner driver and closes it on close().
    explicit ForwardingDriver(std::unique_ptr<GpibDriver> inner);
    // Uses a driver that someone else owns and closes.
    explicit ForwardingDriver(GpibDriver& inner);

    GpibDriver& inner() { return inner_; }

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
    bool connectionLost() const override { return inner_.connectionLost(); }

  protected:
    // Runs one call of the inner driver, then takes its status.
    virtual int pass(const DriverCall& call);

  private:
    template <typename Call> int forward(Call call) { return pass(DriverCall(call)); }

    std::unique_ptr<GpibDriver> owned_;
    GpibDriver& inner_;
};

} // namespace lumodm
