#pragma once

#include "bus/gpib_driver.h"

#include <cstdint>

namespace lumodm {

// Wraps every driver call: registers the status variables before the first
// call (and again before each call while not registered), and after every
// call copies the low 16 bits of the driver's status into ibsta, iberr and
// ibcnt, which callers test.
class Vbib32
{
public:
    explicit Vbib32(GpibDriver& driver);

    std::int16_t ibsta = 0;
    std::int16_t iberr = 0;
    std::int16_t ibcnt = 0;

    void SendIFC(int board);
    void ibsre(int board, int value);
    void FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results, int limit);
    std::int16_t ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
                       int endOfString);
    void ibpad(std::int16_t ud, int primary);
    void ibclr(std::int16_t ud);
    void ibrsp(std::int16_t ud, char* statusByte);
    void ibwrt(std::int16_t ud, const char* data, long count);
    void ibrd(std::int16_t ud, char* buffer, long count);
    void ibwait(std::int16_t ud, int mask);
    void ibtmo(std::int16_t ud, int timeoutCode);
    void ibask(std::int16_t ud, int option, int* value);

private:
    void ensureRegistered();
    void copyStatus();

    GpibDriver& driver_;
    bool registered_ = false;
};

} // namespace lumodm
