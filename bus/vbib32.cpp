#include "bus/vbib32.h"

#include <limits>

namespace lumodm {

namespace {

// The low 16 bits of a driver value as the signed 16-bit value callers
// test, written out so that no narrowing conversion is left to the
// compiler's choice.
std::int16_t low16(std::int64_t value)
{
    const auto bits = static_cast<std::uint16_t>(static_cast<std::uint64_t>(value) & 0xFFFFu);
    if (bits >= 0x8000u) {
        return static_cast<std::int16_t>(static_cast<int>(bits) - 0x10000);
    }
    return static_cast<std::int16_t>(bits);
}

} // namespace

Vbib32::Vbib32(GpibDriver& driver) : driver_(driver) {}

void Vbib32::ensureRegistered()
{
    if (registered_) {
        return;
    }
    switch (driver_.RegisterGpibGlobalsForThread()) {
    case 0:
        registered_ = true;
        break;
    case 1:
        // Registered with other variables: take them back and register ours.
        driver_.UnregisterGpibGlobalsForThread();
        driver_.RegisterGpibGlobalsForThread();
        registered_ = true;
        break;
    case 2:
    case 3:
        driver_.UnregisterGpibGlobalsForThread();
        registered_ = false;
        break;
    default:
        registered_ = false;
        break;
    }
}

void Vbib32::copyStatus()
{
    const GpibStatus& s = driver_.status();
    ibsta = low16(s.ibsta);
    iberr = low16(s.iberr);
    ibcnt = low16(s.ibcntl);
}

void Vbib32::SendIFC(int board)
{
    ensureRegistered();
    driver_.SendIFC(board);
    copyStatus();
}

void Vbib32::ibsre(int board, int value)
{
    ensureRegistered();
    driver_.ibsre(board, value);
    copyStatus();
}

void Vbib32::FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results, int limit)
{
    ensureRegistered();
    driver_.FindLstn(board, addressList, results, limit);
    copyStatus();
}

std::int16_t Vbib32::ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
                           int endOfString)
{
    ensureRegistered();
    const int ud = driver_.ibdev(board, primary, secondary, timeoutCode, eoiOnLast, endOfString);
    copyStatus();
    // A descriptor that does not fit 16 bits cannot be handed on: make it
    // the driver's own failure value rather than a different descriptor.
    if (ud < std::numeric_limits<std::int16_t>::min() ||
        ud > std::numeric_limits<std::int16_t>::max()) {
        return -1;
    }
    return static_cast<std::int16_t>(ud);
}

void Vbib32::ibpad(std::int16_t ud, int primary)
{
    ensureRegistered();
    driver_.ibpad(ud, primary);
    copyStatus();
}

void Vbib32::ibclr(std::int16_t ud)
{
    ensureRegistered();
    driver_.ibclr(ud);
    copyStatus();
}

void Vbib32::ibrsp(std::int16_t ud, char* statusByte)
{
    ensureRegistered();
    driver_.ibrsp(ud, statusByte);
    copyStatus();
}

void Vbib32::ibwrt(std::int16_t ud, const char* data, long count)
{
    ensureRegistered();
    driver_.ibwrt(ud, data, count);
    copyStatus();
}

void Vbib32::ibrd(std::int16_t ud, char* buffer, long count)
{
    ensureRegistered();
    driver_.ibrd(ud, buffer, count);
    copyStatus();
}

void Vbib32::ibwait(std::int16_t ud, int mask)
{
    ensureRegistered();
    driver_.ibwait(ud, mask);
    copyStatus();
}

void Vbib32::ibtmo(std::int16_t ud, int timeoutCode)
{
    ensureRegistered();
    driver_.ibtmo(ud, timeoutCode);
    copyStatus();
}

void Vbib32::ibask(std::int16_t ud, int option, int* value)
{
    ensureRegistered();
    driver_.ibask(ud, option, value);
    copyStatus();
}

} // namespace lumodm
