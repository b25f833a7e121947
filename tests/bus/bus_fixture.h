#pragma once

#include "bus/vbib32.h"
#include "bus/vbib32rv.h"
#include "tests/support/scripted_driver.h"
#include "tests/support/scripted_platform.h"

#include <gtest/gtest.h>

namespace lumodm::testing {

// The helper module over a scripted driver and platform.
class BusTest : public ::testing::Test
{
  protected:
    ScriptedDriver driver;
    ScriptedPlatform platform;
    Vbib32 gpib{driver};
    Vbib32Rv rv{gpib, platform};

    // A device opened as the module hands devices out: 3 s timeout.
    std::int16_t openDevice(int address = 5) { return gpib.ibdev(0, address, 0, gpib::T3s, 1, 0); }
    // The driver log from here on.
    void clearLog() { driver.log.clear(); }

    using Log = std::vector<std::string>;
};

} // namespace lumodm::testing
