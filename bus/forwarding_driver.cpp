#include "bus/forwarding_driver.h"

namespace lumodm {

ForwardingDriver::ForwardingDriver(std::unique_ptr<GpibDriver> inner)
    : owned_(std::move(inner)), inner_(*owned_)
{
}

ForwardingDriver::ForwardingDriver(GpibDriver& inner) : inner_(inner) {}

int ForwardingDriver::pass(const DriverCall& call)
{
    const int result = call();
    status_ = inner_.status();
    return result;
}

int ForwardingDriver::RegisterGpibGlobalsForThread()
{
    return forward([this] { return inner_.RegisterGpibGlobalsForThread(); });
}

int ForwardingDriver::UnregisterGpibGlobalsForThread()
{
    return forward([this] { return inner_.UnregisterGpibGlobalsForThread(); });
}

int ForwardingDriver::SendIFC(int board)
{
    return forward([&] { return inner_.SendIFC(board); });
}

int ForwardingDriver::ibsre(int board, int value)
{
    return forward([&] { return inner_.ibsre(board, value); });
}

int ForwardingDriver::FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results,
                               int limit)
{
    return forward([&] { return inner_.FindLstn(board, addressList, results, limit); });
}

int ForwardingDriver::ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
                            int endOfString)
{
    return forward([&] {
        return inner_.ibdev(board, primary, secondary, timeoutCode, eoiOnLast, endOfString);
    });
}

int ForwardingDriver::ibpad(int ud, int primary)
{
    return forward([&] { return inner_.ibpad(ud, primary); });
}

int ForwardingDriver::ibclr(int ud)
{
    return forward([&] { return inner_.ibclr(ud); });
}

int ForwardingDriver::ibrsp(int ud, char* statusByte)
{
    return forward([&] { return inner_.ibrsp(ud, statusByte); });
}

int ForwardingDriver::ibwrt(int ud, const char* data, long count)
{
    return forward([&] { return inner_.ibwrt(ud, data, count); });
}

int ForwardingDriver::ibrd(int ud, char* buffer, long count)
{
    return forward([&] { return inner_.ibrd(ud, buffer, count); });
}

int ForwardingDriver::ibwait(int ud, int mask)
{
    return forward([&] { return inner_.ibwait(ud, mask); });
}

int ForwardingDriver::ibtmo(int ud, int timeoutCode)
{
    return forward([&] { return inner_.ibtmo(ud, timeoutCode); });
}

int ForwardingDriver::ibask(int ud, int option, int* value)
{
    return forward([&] { return inner_.ibask(ud, option, value); });
}

void ForwardingDriver::close()
{
    if (owned_) {
        owned_->close();
    }
}

} // namespace lumodm
