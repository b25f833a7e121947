#include "bus/drivers/address_limit_driver.h"

#include <vector>

namespace lumodm {

namespace {

// Longer lists than every primary and secondary address are not read on.
constexpr int MaxAddressListEntries = 31 * 32 + 1;

} // namespace

AddressLimitDriver::AddressLimitDriver(std::unique_ptr<GpibDriver> inner, QList<int> addresses)
    : ForwardingDriver(std::move(inner)), addresses_(std::move(addresses))
{
}

int AddressLimitDriver::FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results,
                                 int limit)
{
    if (addressList == nullptr) {
        return ForwardingDriver::FindLstn(board, addressList, results, limit);
    }
    std::vector<std::uint16_t> kept;
    for (int i = 0; i < MaxAddressListEntries && addressList[i] != gpib::NOADDR; ++i) {
        const int primary = addressList[i] & 0xFF;
        if (primary == 0 || addresses_.contains(primary)) {
            kept.push_back(addressList[i]);
        }
    }
    kept.push_back(gpib::NOADDR);
    return ForwardingDriver::FindLstn(board, kept.data(), results, limit);
}

} // namespace lumodm
