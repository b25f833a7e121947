#include "bus/descriptor_driver.h"

namespace lumodm {

namespace {

constexpr int IbcSAD = 0x0002;
constexpr int IbcEOT = 0x0004;

} // namespace

bool DescriptorDriver::validPrimary(int primary)
{
    return primary >= 0 && primary <= 30;
}

bool DescriptorDriver::validSecondary(int secondary)
{
    return secondary == 0 || (secondary >= 0x60 && secondary <= 0x7E);
}

int DescriptorDriver::done(int bits, std::int64_t count)
{
    status_.ibsta = bits | gpib::CMPL;
    status_.ibcntl = count;
    return status_.ibsta;
}

int DescriptorDriver::fail(int iberr, int bits, std::int64_t count)
{
    status_.iberr = iberr;
    return done(gpib::ERR | bits, count);
}

DescriptorDriver::Descriptor* DescriptorDriver::descriptor(int ud)
{
    if (ud < 1 || ud > descriptorCount()) {
        return nullptr;
    }
    return descriptors_[static_cast<std::size_t>(ud - 1)].get();
}

bool DescriptorDriver::askMore(const Descriptor& d, int option, int* value) const
{
    (void)d;
    (void)option;
    (void)value;
    return false;
}

int DescriptorDriver::ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
                            int endOfString)
{
    if (board != 0) {
        fail(gpib::ENEB);
        return -1;
    }
    if (!validPrimary(primary) || !validSecondary(secondary) || timeoutCode < 0 ||
        timeoutCode > MaxTimeoutCode) {
        fail(gpib::EARG);
        return -1;
    }
    if (descriptorCount() >= MaxDescriptors) {
        fail(gpib::EDVR);
        return -1;
    }
    auto d = std::make_unique<Descriptor>();
    d->primary = primary;
    d->secondary = secondary;
    d->timeoutCode = timeoutCode;
    d->eoiOnLast = eoiOnLast != 0;
    d->endOfString = endOfString;
    descriptors_.push_back(std::move(d));
    done(0);
    return descriptorCount();
}

int DescriptorDriver::ibpad(int ud, int primary)
{
    Descriptor* d = descriptor(ud);
    if (d == nullptr) {
        return fail(gpib::EDVR);
    }
    if (!validPrimary(primary)) {
        return fail(gpib::EARG);
    }
    d->primary = primary;
    return done(0);
}

int DescriptorDriver::ibwait(int ud, int mask)
{
    (void)mask;
    if (descriptor(ud) == nullptr) {
        return fail(gpib::EDVR);
    }
    // Every transfer here is over when its call returns.
    return done(0);
}

int DescriptorDriver::ibtmo(int ud, int timeoutCode)
{
    Descriptor* d = descriptor(ud);
    if (d == nullptr) {
        return fail(gpib::EDVR);
    }
    if (timeoutCode < 0 || timeoutCode > MaxTimeoutCode) {
        return fail(gpib::EARG);
    }
    d->timeoutCode = timeoutCode;
    return done(0);
}

int DescriptorDriver::ibask(int ud, int option, int* value)
{
    Descriptor* d = descriptor(ud);
    if (d == nullptr) {
        return fail(gpib::EDVR);
    }
    if (value == nullptr) {
        return fail(gpib::EARG);
    }
    switch (option) {
    case gpib::IbcPAD:
        *value = d->primary;
        break;
    case IbcSAD:
        *value = d->secondary;
        break;
    case gpib::IbcTMO:
        *value = d->timeoutCode;
        break;
    case IbcEOT:
        *value = d->eoiOnLast ? 1 : 0;
        break;
    default:
        if (!askMore(*d, option, value)) {
            return fail(gpib::EARG);
        }
        break;
    }
    return done(0);
}

} // namespace lumodm
