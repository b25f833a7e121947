#include "bus/drivers/sim/sim_bus.h"

namespace lumodm {

namespace {

constexpr int IbcEOSrd = 0x000C;
constexpr int IbcEOSchar = 0x000F;
constexpr int REOS = 0x0400;

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

// Status ----------------------------------------------------------------------

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

SimDevice* SimulatedBus::attendingDevice(const Descriptor& d)
{
    SimDevice* device = d.primary == BoardAddress ? nullptr : deviceAt(d.primary);
    return device != nullptr && device->attend() ? device : nullptr;
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

bool SimulatedBus::askMore(const Descriptor& d, int option, int* value) const
{
    switch (option) {
    case IbcEOSrd:
        *value = (d.endOfString & REOS) != 0 ? 1 : 0;
        return true;
    case IbcEOSchar:
        *value = d.endOfString & 0xFF;
        return true;
    default:
        return false;
    }
}

void SimulatedBus::close()
{
    clearDescriptors();
}

} // namespace lumodm
