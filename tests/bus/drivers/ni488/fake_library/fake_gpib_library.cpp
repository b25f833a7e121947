// A stand-in for a GPIB library, loaded by the tests through the real
// loader: the library entry points over the program's own simulated bus,
// with a DM5010 at 16 and a DM5120 at 3. Which entry points exist is what
// tells the kinds of library apart, so one source gives four libraries:
//   FAKE_GPIB_LINUX    Linux GPIB: int status, long counts, ThreadIb* status
//   FAKE_GPIB_NI4882   NI-488.2: unsigned long status, size_t counts,
//                      Ibsta() and ThreadIb* status, ibconfig
//   FAKE_GPIB_GLOBALS  int status, status only in exported variables
//   FAKE_GPIB_LEGACY   status only in variables registered by the caller,
//                      ibconfig
// A library offers either ibpad/ibtmo/ibsre or ibconfig, never both, so a
// call the loader routes the wrong way fails loudly.
#include "bus/drivers/sim/sim_bus_factory.h"

#include <cstddef>
#include <cstdint>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

#if defined(FAKE_GPIB_NI4882)
using Status = unsigned long;
using Count = std::size_t;
using Limit = std::size_t;
using CountVariable = unsigned long;
#else
using Status = int;
using Count = long;
using Limit = int;
using CountVariable = long;
#endif

namespace {

Status lastIbsta = 0;
Status lastIberr = 0;
CountVariable lastIbcntl = 0;
#if defined(FAKE_GPIB_LEGACY)
int* registeredIbsta = nullptr;
int* registeredIberr = nullptr;
long* registeredIbcntl = nullptr;
#endif

} // namespace

#if defined(FAKE_GPIB_GLOBALS)
extern "C" {
__attribute__((visibility("default"))) int ibsta = 0;
__attribute__((visibility("default"))) int iberr = 0;
__attribute__((visibility("default"))) long ibcntl = 0;
}
#endif

namespace {

lumodm::SimulatedBus& bus()
{
    static const auto theBus =
        lumodm::createSimulatedBus(QStringLiteral("DM5010@16,DM5120@3"), nullptr);
    return *theBus;
}

// Leaves the bus's status where this kind of library keeps it.
Status finish()
{
    const lumodm::GpibStatus& s = bus().status();
    lastIbsta = static_cast<Status>(s.ibsta);
    lastIberr = static_cast<Status>(s.iberr);
    lastIbcntl = static_cast<CountVariable>(s.ibcntl);
#if defined(FAKE_GPIB_GLOBALS)
    ibsta = s.ibsta;
    iberr = s.iberr;
    ibcntl = static_cast<long>(s.ibcntl);
#endif
#if defined(FAKE_GPIB_LEGACY)
    if (registeredIbcntl != nullptr) {
        *registeredIbsta = s.ibsta;
        *registeredIberr = s.iberr;
        *registeredIbcntl = static_cast<long>(s.ibcntl);
    }
#endif
    return lastIbsta;
}

} // namespace

#if defined(FAKE_GPIB_LINUX) || defined(FAKE_GPIB_NI4882)
FAKE_EXPORT Status ThreadIbsta()
{
    return lastIbsta;
}
FAKE_EXPORT Status ThreadIberr()
{
    return lastIberr;
}
#endif
#if defined(FAKE_GPIB_LINUX)
FAKE_EXPORT long ThreadIbcntl()
{
    return lastIbcntl;
}
#endif
#if defined(FAKE_GPIB_NI4882)
FAKE_EXPORT unsigned long ThreadIbcnt()
{
    return lastIbcntl;
}
// Only its presence matters: it marks the NI-488.2 calling types.
FAKE_EXPORT unsigned long Ibsta()
{
    return lastIbsta;
}
#endif

#if defined(FAKE_GPIB_LEGACY)
FAKE_EXPORT int RegisterGpibGlobalsForThread(int* sta, int* err, int*, long* cntl)
{
    registeredIbsta = sta;
    registeredIberr = err;
    registeredIbcntl = cntl;
    return 0;
}

FAKE_EXPORT int UnregisterGpibGlobalsForThread()
{
    registeredIbcntl = nullptr;
    return 0;
}
#endif

#define FAKE_CALL(name, parameters, arguments)                                                     \
    FAKE_EXPORT Status name parameters                                                             \
    {                                                                                              \
        bus().name arguments;                                                                      \
        return finish();                                                                           \
    }

FAKE_CALL(ibclr, (int ud), (ud))
FAKE_CALL(ibrsp, (int ud, char* statusByte), (ud, statusByte))
FAKE_CALL(ibwait, (int ud, int mask), (ud, mask))
FAKE_CALL(ibask, (int ud, int option, int* value), (ud, option, value))
FAKE_CALL(ibwrt, (int ud, const void* data, Count length),
          (ud, static_cast<const char*>(data), static_cast<long>(length)))
FAKE_CALL(ibrd, (int ud, void* buffer, Count length),
          (ud, static_cast<char*>(buffer), static_cast<long>(length)))
#if defined(FAKE_GPIB_LINUX) || defined(FAKE_GPIB_GLOBALS)
FAKE_CALL(ibpad, (int ud, int primary), (ud, primary))
FAKE_CALL(ibtmo, (int ud, int timeoutCode), (ud, timeoutCode))
FAKE_CALL(ibsre, (int ud, int value), (ud, value))
#else
FAKE_EXPORT Status ibconfig(int ud, int option, int value)
{
    if (option == 0x1) {
        bus().ibpad(ud, value);
    } else if (option == 0x3) {
        bus().ibtmo(ud, value);
    } else if (option == 0xB) {
        bus().ibsre(ud, value);
    } else {
        bus().ibclr(-1); // an option the simulated bus lacks: a plain failure
    }
    return finish();
}
#endif

FAKE_EXPORT void SendIFC(int board)
{
    bus().SendIFC(board);
    finish();
}

FAKE_EXPORT void FindLstn(int board, const std::uint16_t* addressList, std::uint16_t* results,
                          Limit limit)
{
    bus().FindLstn(board, addressList, reinterpret_cast<std::int16_t*>(results),
                   static_cast<int>(limit));
    finish();
}

FAKE_EXPORT int ibdev(int board, int primary, int secondary, int timeoutCode, int eoi, int eos)
{
    const int ud = bus().ibdev(board, primary, secondary, timeoutCode, eoi, eos);
    finish();
    return ud;
}
