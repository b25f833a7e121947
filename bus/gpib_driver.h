#pragma once

#include <cstdint>

namespace lumodm {

// Status bits and error codes of the NI-488.2 calling interface.
namespace gpib {
constexpr int ERR = 0x8000;
constexpr int TIMO = 0x4000;
constexpr int END = 0x2000;
constexpr int SRQI = 0x1000;
constexpr int RQS = 0x0800;
constexpr int CMPL = 0x0100;
constexpr int LOK = 0x0080;
constexpr int REM = 0x0040;
constexpr int CIC = 0x0020;
constexpr int ATN = 0x0010;
constexpr int TACS = 0x0008;
constexpr int LACS = 0x0004;
constexpr int DTAS = 0x0002;
constexpr int DCAS = 0x0001;

constexpr int EDVR = 0;
constexpr int ECIC = 1;
constexpr int ENOL = 2;
constexpr int EADR = 3;
constexpr int EARG = 4;
constexpr int ESAC = 5;
constexpr int EABO = 6;
constexpr int ENEB = 7;
constexpr int EOIP = 10;
constexpr int ECAP = 11;
constexpr int EFSO = 12;
constexpr int EBUS = 14;
constexpr int ESTB = 15;
constexpr int ESRQ = 16;
constexpr int ETAB = 20;

constexpr std::uint16_t NOADDR = 0xFFFF;

// Timeout codes (T1s = 11, T3s = 12) and the ibask/ibconfig option numbers.
constexpr int T1s = 11;
constexpr int T3s = 12;
constexpr int IbcPAD = 0x0001;
constexpr int IbcTMO = 0x0003;
constexpr int IbcSRE = 0x000B;

// Seconds for a timeout code 0..17 (0 = never).
double timeoutSeconds(int code);
} // namespace gpib

// The driver's own 32-bit status after its last call.
struct GpibStatus
{
    std::int32_t ibsta = 0;
    std::int32_t iberr = 0;
    std::int64_t ibcntl = 0;
};

// The NI-488.2 calls the program makes, on any bus: the built-in simulated
// bus, a library loaded at run time, or a "++" adapter. Every call leaves
// its result in status(); the ones that return int return ibsta (ibdev
// returns the descriptor, -1 on failure).
class GpibDriver
{
  public:
    virtual ~GpibDriver() = default;

    // Status-variable registration: 0 registered; 1 registered after an
    // unregister; 2 or 3 not registered; any other value not registered.
    virtual int RegisterGpibGlobalsForThread() { return 0; }
    virtual int UnregisterGpibGlobalsForThread() { return 0; }

    virtual int SendIFC(int board) = 0;
    virtual int ibsre(int board, int value) = 0;
    // addressList ends with NOADDR; results are written from slot 0; at most
    // `limit` are written. The count found is left in ibcntl.
    virtual int FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results,
                         int limit) = 0;
    virtual int ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
                      int endOfString) = 0;
    virtual int ibpad(int ud, int primary) = 0;
    virtual int ibclr(int ud) = 0;
    virtual int ibrsp(int ud, char* statusByte) = 0;
    virtual int ibwrt(int ud, const char* data, long count) = 0;
    // Bytes land at buffer start; the rest of the buffer is left untouched.
    virtual int ibrd(int ud, char* buffer, long count) = 0;
    virtual int ibwait(int ud, int mask) = 0;
    virtual int ibtmo(int ud, int timeoutCode) = 0;
    virtual int ibask(int ud, int option, int* value) = 0;

    // Release the board or connection; the program calls it once at its end.
    virtual void close() {}

    // The connection to the bus itself is gone (an adapter unplugged or
    // its network link closed): every further call fails alike.
    virtual bool connectionLost() const { return false; }

    const GpibStatus& status() const { return status_; }

  protected:
    GpibStatus status_;
};

} // namespace lumodm
