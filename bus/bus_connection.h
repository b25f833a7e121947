#pragma once

#include "bus/gpib_driver.h"
#include "bus/vbib32.h"
#include "bus/vbib32rv.h"
#include "platform/platform_services.h"

#include <memory>

namespace lumodm {

// The bus as the program talks to it: a driver, the 16-bit status wrapper
// over it, and the helper module on top, built together in one place.
class BusConnection
{
  public:
    // Owns the driver and closes it when done.
    BusConnection(std::unique_ptr<GpibDriver> driver, PlatformServices& platform);
    // Uses a driver that someone else keeps (a simulated bus in a test).
    BusConnection(GpibDriver& driver, PlatformServices& platform);
    ~BusConnection();
    BusConnection(const BusConnection&) = delete;
    BusConnection& operator=(const BusConnection&) = delete;

    GpibDriver& driver() { return driver_; }
    Vbib32& gpib() { return gpib_; }
    Vbib32Rv& helper() { return helper_; }

    // Closes an owned driver (idempotent); a fatal end calls it before exit.
    void close();

  private:
    std::unique_ptr<GpibDriver> owned_;
    GpibDriver& driver_;
    Vbib32 gpib_;
    Vbib32Rv helper_;
};

} // namespace lumodm
