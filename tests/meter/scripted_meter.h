#pragma once

#include "bus/bus_connection.h"
#include "tests/support/scripted_driver.h"
#include "tests/support/scripted_platform.h"

#include <QByteArray>

namespace lumodm::testing {

// A meter that answers each command with a fixed text; a command without
// an answer times out.
struct ScriptedMeter
{
    ScriptedPlatform platform;
    ScriptedDriver driver;
    BusConnection bus{driver, platform};
    std::int16_t device = 17;

    void answer(const char* command, const char* reply)
    {
        driver.respond(-1, QByteArray(command), QByteArray(reply) + "\r\n");
    }
};

} // namespace lumodm::testing
