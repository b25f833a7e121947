#pragma once

#include "bus/gpib_driver.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace lumodm {

class SharedLibrary;

// The entry points of one NI-488.2 style library, bound by name, with the
// library's own types hidden: Linux GPIB passes counts as long and returns
// int; NI-488.2 (ni4882) passes size_t and returns unsigned long. Every ib*
// call returns the status word; the rest of the status is read the best
// way the library offers (see status()).
class Ni488Api
{
  public:
    virtual ~Ni488Api() = default;

    virtual void SendIFC(int board) = 0;
    virtual void FindLstn(int board, const std::uint16_t* addressList, std::uint16_t* results,
                          int limit) = 0;
    virtual int ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
                      int endOfString) = 0;
    // These return ibsta. ibpad, ibtmo and ibsre go through ibconfig where
    // the library exports only that.
    virtual std::int32_t ibsre(int ud, int value) = 0;
    virtual std::int32_t ibpad(int ud, int primary) = 0;
    virtual std::int32_t ibtmo(int ud, int timeoutCode) = 0;
    virtual std::int32_t ibclr(int ud) = 0;
    virtual std::int32_t ibrsp(int ud, char* statusByte) = 0;
    virtual std::int32_t ibwrt(int ud, const char* data, long count) = 0;
    virtual std::int32_t ibrd(int ud, char* buffer, long count) = 0;
    virtual std::int32_t ibwait(int ud, int mask) = 0;
    virtual std::int32_t ibask(int ud, int option, int* value) = 0;

    // The library's registration of the caller's status variables; 0 when
    // the library has none (nothing to register, so it succeeds at once).
    virtual int registerGlobals() = 0;
    virtual int unregisterGlobals() = 0;

    // The status after the last call: ibsta as `returnedStatus` when the
    // call returned one, otherwise read; iberr and ibcntl always read.
    virtual GpibStatus status(const std::int32_t* returnedStatus) const = 0;

    // How the library was bound, e.g. "Linux GPIB calls; status from
    // ThreadIbsta/ThreadIberr/ThreadIbcntl": for the trace and the tests.
    virtual QString description() const = 0;
};

// Binds the entry points of an opened library. Returns nullptr and names the
// missing entry points in *error when the library cannot serve as a driver.
std::unique_ptr<Ni488Api> bindNi488Api(const SharedLibrary& library, QString* error);

} // namespace lumodm
