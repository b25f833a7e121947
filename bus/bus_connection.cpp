#include "bus/bus_connection.h"

namespace lumodm {

BusConnection::BusConnection(std::unique_ptr<GpibDriver> driver, PlatformServices& platform)
    : owned_(std::move(driver)), driver_(*owned_), gpib_(driver_), helper_(gpib_, platform)
{
}

BusConnection::BusConnection(GpibDriver& driver, PlatformServices& platform)
    : driver_(driver), gpib_(driver_), helper_(gpib_, platform)
{
}

BusConnection::~BusConnection()
{
    close();
}

void BusConnection::close()
{
    if (owned_) {
        owned_->close();
    }
}

} // namespace lumodm
