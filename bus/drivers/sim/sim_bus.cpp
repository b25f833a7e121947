#include "bus/drivers/sim/sim_bus.h"

#include <algorithm>

namespace lumodm {

namespace {

constexpr int IbcSAD = 0x0002;
constexpr int IbcEOT = 0x0004;
constexpr int IbcEOSrd = 0x000C;
constexpr int IbcEOSchar = 0x000F;
constexpr int REOS = 0x0400;
constexpr int MaxTimeoutCode = 17;

bool validPrimary(int primary)
{
    return primary >= 0 && primary <= 30;
}

bool validSecondary(int secondary)
{
    return secondary == 0 || (secondary >= 0x60 && secondary <= 0x7E);
}

} // namespace

// Devices -------------------------------------------------------------------

SimDevice* SimulatedBus::addDevice(std::unique_ptr<SimDevice> device, int address)
{
    if (!device || address < 1 || address > 30 || devices_[static_cast<std::size_t>(address)]) {
        return nullptr;
    }
    device->setAddress(address);
    devices_[static_cast<std::size_t>(address)] = std::move(device);
    return devices_[static_cast<std::size_t>(address)].get();
}

SimulatedMeter* SimulatedBus::addMeter(std::unique_ptr<SimulatedMeter> meter, int address)
{
    return static_cast<SimulatedMeter*>(addDevice(std::move(meter), address));
}

SimulatedListener* SimulatedBus::addListener(int address, const QByteArray& idAnswer)
{
    return static_cast<SimulatedListener*>(
        addDevice(std::make_unique<SimulatedListener>(idAnswer), address));
}

SimDevice* SimulatedBus::deviceAt(int address) const
{
    if (!validPrimary(address)) {
        return nullptr;
    }
    return devices_[static_cast<std::size_t>(address)].get();
}

SimulatedMeter* SimulatedBus::meterAt(int address) const
{
    return dynamic_cast<SimulatedMeter*>(deviceAt(address));
}

std::vector<int> SimulatedBus::addresses() const
{
    std::vector<int> found;
    for (int address = 1; address <= 30; ++address) {
        if (devices_[static_cast<std::size_t>(address)]) {
            found.push_back(address);
        }
    }
    return found;
}

int SimulatedBus::openDescriptors() const
{
    return static_cast<int>(std::count_if(descriptors_.begin(), descriptors_.end(),
                                          [](const auto& d) { return d != nullptr; }));
}

// Status ----------------------------------------------------------------------

int SimulatedBus::done(int bits, std::int64_t count)
{
    status_.ibsta = bits | gpib::CMPL;
    status_.ibcntl = count;
    return status_.ibsta;
}

int SimulatedBus::fail(int iberr, int bits, std::int64_t count)
{
    status_.iberr = iberr;
    return done(gpib::ERR | bits, count);
}

int SimulatedBus::boardDone(int board)
{
    if (board != 0) {
        return fail(gpib::ENEB);
    }
    return done(gpib::CIC);
}

int SimulatedBus::RegisterGpibGlobalsForThread()
{
    ++registrationCalls;
    return registrationResult;
}

int SimulatedBus::UnregisterGpibGlobalsForThread()
{
    return 0;
}

// Board calls -----------------------------------------------------------------

int SimulatedBus::SendIFC(int board)
{
    if (board == 0) {
        ++interfaceClears_;
    }
    return boardDone(board);
}

int SimulatedBus::ibsre(int board, int value)
{
    if (board == 0) {
        remoteEnable_ = value != 0;
    }
    return boardDone(board);
}

int SimulatedBus::FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results,
                           int limit)
{
    if (board != 0) {
        return fail(gpib::ENEB);
    }
    if (addressList == nullptr || results == nullptr || limit < 1) {
        return fail(gpib::EARG);
    }
    // Every primary and secondary address at most once, and the terminator.
    constexpr int MaxEntries = 31 * 32 + 1;
    int found = 0;
    bool tooMany = false;
    for (int i = 0; i < MaxEntries && addressList[i] != gpib::NOADDR; ++i) {
        const int word = addressList[i];
        const int primary = word & 0xFF;
        const int secondary = (word >> 8) & 0xFF;
        if (!validPrimary(primary) || !validSecondary(secondary)) {
            return fail(gpib::EARG, 0, found);
        }
        // The simulated devices use no secondary addresses.
        bool listens = false;
        if (secondary == 0) {
            if (primary == BoardAddress) {
                listens = true;
            } else if (SimDevice* device = deviceAt(primary)) {
                listens = device->attend();
            }
        }
        if (!listens) {
            continue;
        }
        if (found == limit) {
            tooMany = true;
            break;
        }
        results[found++] = static_cast<std::int16_t>(word);
    }
    if (tooMany) {
        return fail(gpib::ETAB, gpib::CIC, found);
    }
    if (found == 0) {
        return fail(gpib::EBUS, gpib::CIC, 0);
    }
    return done(gpib::CIC, found);
}

// Device calls ----------------------------------------------------------------

SimulatedBus::Descriptor* SimulatedBus::descriptor(int ud)
{
    if (ud < 1 || ud > static_cast<int>(descriptors_.size())) {
        return nullptr;
    }
    return descriptors_[static_cast<std::size_t>(ud - 1)].get();
}

SimDevice* SimulatedBus::attendingDevice(const Descriptor& d)
{
    SimDevice* device = d.primary == BoardAddress ? nullptr : deviceAt(d.primary);
    return device != nullptr && device->attend() ? device : nullptr;
}

int SimulatedBus::ibdev(int board, int primary, int secondary, int timeoutCode, int eoiOnLast,
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
    if (static_cast<int>(descriptors_.size()) >= MaxDescriptors) {
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
    return static_cast<int>(descriptors_.size());
}

int SimulatedBus::ibpad(int ud, int primary)
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

int SimulatedBus::ibclr(int ud)
{
    Descriptor* d = descriptor(ud);
    if (d == nullptr) {
        return fail(gpib::EDVR);
    }
    SimDevice* device = attendingDevice(*d);
    if (device == nullptr) {
        return fail(gpib::ENOL);
    }
    device->deviceClear();
    return done(0);
}

int SimulatedBus::ibrsp(int ud, char* statusByte)
{
    Descriptor* d = descriptor(ud);
    if (d == nullptr) {
        return fail(gpib::EDVR);
    }
    if (statusByte == nullptr) {
        return fail(gpib::EARG);
    }
    SimDevice* device = attendingDevice(*d);
    if (device == nullptr) {
        return fail(gpib::EABO, gpib::TIMO);
    }
    *statusByte = static_cast<char>(device->serialPoll());
    return done(0, 1);
}

int SimulatedBus::ibwrt(int ud, const char* data, long count)
{
    Descriptor* d = descriptor(ud);
    if (d == nullptr) {
        return fail(gpib::EDVR);
    }
    if (count < 0 || (data == nullptr && count > 0)) {
        return fail(gpib::EARG);
    }
    SimDevice* device = attendingDevice(*d);
    if (device == nullptr) {
        return fail(gpib::ENOL);
    }
    if (count == 0) {
        return done(0);
    }
    const int error = device->write(data, count, d->eoiOnLast);
    if (error == gpib::EABO) {
        return fail(error, gpib::TIMO);
    }
    if (error >= 0) {
        return fail(error);
    }
    return done(0, count);
}

int SimulatedBus::ibrd(int ud, char* buffer, long count)
{
    Descriptor* d = descriptor(ud);
    if (d == nullptr) {
        return fail(gpib::EDVR);
    }
    if (buffer == nullptr || count <= 0) {
        return fail(gpib::EARG);
    }
    SimDevice* device = attendingDevice(*d);
    if (device == nullptr) {
        return fail(gpib::EABO, gpib::TIMO);
    }
    const SimDevice::ReadResult result = device->read(buffer, count);
    if (result.timeout) {
        return fail(gpib::EABO, gpib::TIMO, result.count);
    }
    return done(result.end ? gpib::END : 0, result.count);
}

int SimulatedBus::ibwait(int ud, int mask)
{
    (void)mask;
    if (descriptor(ud) == nullptr) {
        return fail(gpib::EDVR);
    }
    // Simulated I/O is complete when its call returns.
    return done(0);
}

int SimulatedBus::ibtmo(int ud, int timeoutCode)
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

int SimulatedBus::ibask(int ud, int option, int* value)
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
    case IbcEOSrd:
        *value = (d->endOfString & REOS) != 0 ? 1 : 0;
        break;
    case IbcEOSchar:
        *value = d->endOfString & 0xFF;
        break;
    default:
        return fail(gpib::EARG);
    }
    return done(0);
}

void SimulatedBus::close()
{
    descriptors_.clear();
}

} // namespace lumodm
