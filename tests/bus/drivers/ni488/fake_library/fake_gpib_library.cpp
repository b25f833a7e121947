// A stand-in for a GPIB library, loaded by the tests through the real
// loader: it exports the library entry points over a simulated bus. One
// source gives four libraries that differ the way real ones do:
//   FAKE_GPIB_LINUX    Linux GPIB: int status, long counts, ThreadIb* status
//   FAKE_GPIB_NI4882   NI-488.2: unsigned long status, size_t counts,
//                      Ibsta()/ThreadIb* status, no ibpad/ibtmo/ibsre
//   FAKE_GPIB_GLOBALS  int status, status only in exported variables
//   FAKE_GPIB_LEGACY   user_ibsta variables, status registration, no
//                      ibpad/ibtmo/ibsre
#include "bus/drivers/sim/sim_bus_factory.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

#if defined(FAKE_GPIB_NI4882)
using Status = unsigned long;
using Count = std::size_t;
using Limit = std::size_t;
using Variable = unsigned long;
using CountVariable = unsigned long;
#else
using Status = int;
using Count = long;
using Limit = int;
using Variable = int;
using CountVariable = long;
#endif

namespace {

std::unique_ptr<lumodm::SimulatedBus> bus;
std::map<std::string, int> calls;
Variable lastIbsta = 0;
Variable lastIberr = 0;
CountVariable lastIbcntl = 0;
#if defined(FAKE_GPIB_LEGACY)
Variable* registeredIbsta = nullptr;
Variable* registeredIberr = nullptr;
Variable* registeredIbcnt = nullptr;
CountVariable* registeredIbcntl = nullptr;
#endif

lumodm::SimulatedBus& theBus()
{
    if (!bus) {
        bus = lumodm::createSimulatedBus(QString(), nullptr);
    }
    return *bus;
}

void count(const char* name)
{
    ++calls[name];
}

void publish();

Status finish()
{
    const lumodm::GpibStatus& s = theBus().status();
    lastIbsta = static_cast<Variable>(s.ibsta);
    lastIberr = static_cast<Variable>(s.iberr);
    lastIbcntl = static_cast<CountVariable>(s.ibcntl);
    publish();
    return static_cast<Status>(lastIbsta);
}

long toLong(Count value)
{
    return static_cast<long>(value);
}

} // namespace

// --- status as each kind of library offers it -----------------------------

#if defined(FAKE_GPIB_LINUX)
FAKE_EXPORT int ThreadIbsta()
{
    return lastIbsta;
}
FAKE_EXPORT int ThreadIberr()
{
    return lastIberr;
}
FAKE_EXPORT int ThreadIbcnt()
{
    return static_cast<int>(lastIbcntl);
}
FAKE_EXPORT long ThreadIbcntl()
{
    return lastIbcntl;
}
FAKE_EXPORT const char* gpib_error_string(int)
{
    return "fake";
}
#endif

#if defined(FAKE_GPIB_NI4882)
FAKE_EXPORT unsigned long Ibsta()
{
    return lastIbsta;
}
FAKE_EXPORT unsigned long Iberr()
{
    return lastIberr;
}
FAKE_EXPORT unsigned long Ibcnt()
{
    return lastIbcntl;
}
FAKE_EXPORT unsigned long ThreadIbsta()
{
    return lastIbsta;
}
FAKE_EXPORT unsigned long ThreadIberr()
{
    return lastIberr;
}
FAKE_EXPORT unsigned long ThreadIbcnt()
{
    return lastIbcntl;
}
#endif

#define FAKE_VARIABLE __attribute__((visibility("default")))

#if defined(FAKE_GPIB_GLOBALS)
extern "C" {
FAKE_VARIABLE int ibsta = 0;
FAKE_VARIABLE int iberr = 0;
FAKE_VARIABLE int ibcnt = 0;
FAKE_VARIABLE long ibcntl = 0;
}
#endif

#if defined(FAKE_GPIB_LEGACY)
extern "C" {
FAKE_VARIABLE int user_ibsta = 0;
FAKE_VARIABLE int user_iberr = 0;
FAKE_VARIABLE int user_ibcnt = 0;
}

FAKE_EXPORT int RegisterGpibGlobalsForThread(int* sta, int* err, int* cnt, long* cntl)
{
    count("RegisterGpibGlobalsForThread");
    registeredIbsta = sta;
    registeredIberr = err;
    registeredIbcnt = cnt;
    registeredIbcntl = cntl;
    return 0;
}

FAKE_EXPORT int UnregisterGpibGlobalsForThread()
{
    count("UnregisterGpibGlobalsForThread");
    registeredIbsta = registeredIberr = registeredIbcnt = nullptr;
    registeredIbcntl = nullptr;
    return 0;
}
#endif

namespace {

void publish()
{
#if defined(FAKE_GPIB_GLOBALS)
    ibsta = lastIbsta;
    iberr = lastIberr;
    ibcnt = static_cast<int>(lastIbcntl);
    ibcntl = lastIbcntl;
#endif
#if defined(FAKE_GPIB_LEGACY)
    // A registered program reads its own variables; the library's stale ones
    // would give it away if it read those instead.
    if (registeredIbsta != nullptr) {
        *registeredIbsta = lastIbsta;
        *registeredIberr = lastIberr;
        *registeredIbcnt = static_cast<int>(lastIbcntl);
        *registeredIbcntl = lastIbcntl;
    } else {
        user_ibsta = lastIbsta;
        user_iberr = lastIberr;
        user_ibcnt = static_cast<int>(lastIbcntl);
    }
#endif
}

} // namespace

// --- the calls the program makes ------------------------------------------

FAKE_EXPORT void SendIFC(int board)
{
    count("SendIFC");
    theBus().SendIFC(board);
    finish();
}

FAKE_EXPORT void FindLstn(int board, const std::uint16_t* addressList, std::uint16_t* results,
                          Limit limit)
{
    count("FindLstn");
    theBus().FindLstn(board, addressList, reinterpret_cast<std::int16_t*>(results),
                      static_cast<int>(limit));
    finish();
}

FAKE_EXPORT int ibdev(int board, int primary, int secondary, int timeoutCode, int eoi, int eos)
{
    count("ibdev");
    const int ud = theBus().ibdev(board, primary, secondary, timeoutCode, eoi, eos);
    finish();
    return ud;
}

FAKE_EXPORT Status ibconfig(int ud, int option, int value)
{
    count("ibconfig");
    ++calls["ibconfig:" + std::to_string(option)];
    switch (option) {
    case 0x1:
        theBus().ibpad(ud, value);
        break;
    case 0x3:
        theBus().ibtmo(ud, value);
        break;
    case 0xB:
        theBus().ibsre(ud, value);
        break;
    default:
        // An option the simulated bus lacks: ask about a bad descriptor to
        // get a plain failure status.
        theBus().ibclr(-1);
        break;
    }
    return finish();
}

#if defined(FAKE_GPIB_LINUX) || defined(FAKE_GPIB_GLOBALS)
FAKE_EXPORT Status ibpad(int ud, int primary)
{
    count("ibpad");
    theBus().ibpad(ud, primary);
    return finish();
}

FAKE_EXPORT Status ibtmo(int ud, int timeoutCode)
{
    count("ibtmo");
    theBus().ibtmo(ud, timeoutCode);
    return finish();
}

FAKE_EXPORT Status ibsre(int ud, int value)
{
    count("ibsre");
    theBus().ibsre(ud, value);
    return finish();
}
#endif

FAKE_EXPORT Status ibclr(int ud)
{
    count("ibclr");
    theBus().ibclr(ud);
    return finish();
}

FAKE_EXPORT Status ibrsp(int ud, char* statusByte)
{
    count("ibrsp");
    theBus().ibrsp(ud, statusByte);
    return finish();
}

FAKE_EXPORT Status ibwrt(int ud, const void* data, Count length)
{
    count("ibwrt");
    theBus().ibwrt(ud, static_cast<const char*>(data), toLong(length));
    return finish();
}

FAKE_EXPORT Status ibrd(int ud, void* buffer, Count length)
{
    count("ibrd");
    theBus().ibrd(ud, static_cast<char*>(buffer), toLong(length));
    return finish();
}

FAKE_EXPORT Status ibwait(int ud, int mask)
{
    count("ibwait");
    theBus().ibwait(ud, mask);
    return finish();
}

FAKE_EXPORT Status ibask(int ud, int option, int* value)
{
    count("ibask");
    theBus().ibask(ud, option, value);
    return finish();
}

// --- for the tests ----------------------------------------------------------

// Puts the meters of a --sim style spec on a fresh bus; 0 on success.
FAKE_EXPORT int lumodmFakeConfigure(const char* spec)
{
    bus = lumodm::createSimulatedBus(QString::fromLatin1(spec), nullptr);
    calls.clear();
    return bus ? 0 : -1;
}

FAKE_EXPORT int lumodmFakeCallCount(const char* name)
{
    const auto it = calls.find(name);
    return it == calls.end() ? 0 : it->second;
}

FAKE_EXPORT int lumodmFakeRemoteEnabled()
{
    return theBus().remoteEnabled() ? 1 : 0;
}
