#include "bus/drivers/address_limit_driver.h"

#include <vector>

namespace lumodm {

namespace {

// Longer lists than every primary and secondary address are not read on.
constexpr int MaxAddressListEntries = 31 * 32 + 1;

} // namespace

AddressLimitDriver::AddressLimitDriver(std::unique_ptr<GpibDriver> inner, int address)
    : inner_(std::move(inner)), address_(address)
{
}

int AddressLimitDriver::took(int result)
{
    status_ = inner_->status();
    return result;
}

int AddressLimitDriver::RegisterGpibGlobalsForThread()
{
    return took(inner_->RegisterGpibGlobalsForThread());
}

int AddressLimitDriver::UnregisterGpibGlobalsForThread()
{
    return took(inner_->UnregisterGpibGlobalsForThread());
}

int AddressLimitDriver::SendIFC(int board)
{
    return took(inner_->SendIFC(board));
}

int AddressLimitDriver::ibsre(int board, int value)
{
    return took(inner_->ibsre(board, value));
}

int AddressLimitDriver::FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results,
                                 int limit)
{
    if (addressList == nullptr) {
        return took(inner_->FindLstn(board, addressList, results, limit));
    }
    std::vector<std::uint16_t> kept;
    for (int i = 0; i < MaxAddressListEntries && addressList[i] != gpib::NOADDR; ++i) {
        const int primary = addressList[i] & 0xFF;
        if (primary == 0 || primary == address_) {
            kept.push_back(addressList[i]);
        }
    }
    kept.push_back(gpib::NOADDR);
    return took(inner_->FindLstn(board, kept.data(), results, limit));
}

int AddressLimitDriver::ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
                              int endOfString)
{
    return took(inner_->ibdev(board, primary, secondary, timeoutCode, eoiOnLast, endOfString));
}

int AddressLimitDriver::ibpad(int ud, int primary)
{
    return took(inner_->ibpad(ud, primary));
}

int AddressLimitDriver::ibclr(int ud)
{
    return took(inner_->ibclr(ud));
}

int AddressLimitDriver::ibrsp(int ud, char* statusByte)
{
    return took(inner_->ibrsp(ud, statusByte));
}

int AddressLimitDriver::ibwrt(int ud, const char* data, long count)
{
    return took(inner_->ibwrt(ud, data, count));
}

int AddressLimitDriver::ibrd(int ud, char* buffer, long count)
{
    return took(inner_->ibrd(ud, buffer, count));
}

int AddressLimitDriver::ibwait(int ud, int mask)
{
    return took(inner_->ibwait(ud, mask));
}

int AddressLimitDriver::ibtmo(int ud, int timeoutCode)
{
    return took(inner_->ibtmo(ud, timeoutCode));
}

int AddressLimitDriver::ibask(int ud, int option, int* value)
{
    return took(inner_->ibask(ud, option, value));
}

void AddressLimitDriver::close()
{
    inner_->close();
}

} // namespace lumodm
