#pragma once

#include "bus/descriptor_driver.h"
#include "bus/drivers/sim/sim_device.h"
#include "bus/drivers/sim/sim_listener.h"
#include "bus/drivers/sim/sim_meter.h"

#include <QByteArray>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace lumodm {

// A GPIB bus in memory, behind the same calls as a real board: board 0
// is the controller at primary address 0, and simulated devices sit at
// primary addresses 1 to 30. An address with nothing behind it behaves as
// on a real bus: a write finds no listener (ERR, ENOL), a read or a serial
// poll times out (ERR, TIMO, EABO).
//
// Timeouts cost no time here: a read from a device with nothing to say
// returns TIMO at once, whatever the descriptor's timeout code.
class SimulatedBus : public DescriptorDriver
{
  public:
    static constexpr int BoardAddress = 0;

    SimulatedBus() = default;

    // Places a device at a primary address 1 to 30; nullptr when the
    // address is out of that range or taken.
    SimDevice* addDevice(std::unique_ptr<SimDevice> device, int address);
    SimulatedMeter* addMeter(std::unique_ptr<SimulatedMeter> meter, int address);
    // Another instrument that answers "ID?" with `idAnswer`, or never when
    // it is empty.
    SimulatedListener* addListener(int address, const QByteArray& idAnswer = {});

    SimDevice* deviceAt(int address) const;
    SimulatedMeter* meterAt(int address) const;
    // Occupied addresses, ascending.
    std::vector<int> addresses() const;

    // What the board has been told, for tests.
    bool remoteEnabled() const { return remoteEnable_; }
    int interfaceClears() const { return interfaceClears_; }
    int openDescriptors() const { return descriptorCount(); }

    // Status registration: the next result (0 registered; see GpibDriver).
    int registrationResult = 0;
    int registrationCalls = 0;
    int RegisterGpibGlobalsForThread() override;
    int UnregisterGpibGlobalsForThread() override;

    int SendIFC(int board) override;
    int ibsre(int board, int value) override;
    int FindLstn(int board, const std::uint16_t* addressList, std::int16_t* results,
                 int limit) override;
    int ibclr(int ud) override;
    int ibrsp(int ud, char* statusByte) override;
    int ibwrt(int ud, const char* data, long count) override;
    int ibrd(int ud, char* buffer, long count) override;
    void close() override;

  protected:
    // The read end-of-string settings.
    bool askMore(const Descriptor& d, int option, int* value) const override;

  private:
    // The device a descriptor addresses, if it is on the bus now.
    SimDevice* attendingDevice(const Descriptor& d);
    int boardDone(int board);

    std::array<std::unique_ptr<SimDevice>, 31> devices_{};
    bool remoteEnable_ = false;
    int interfaceClears_ = 0;
};

} // namespace lumodm
