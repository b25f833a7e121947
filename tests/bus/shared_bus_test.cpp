#include "bus/shared_bus.h"
#include "tests/support/scripted_driver.h"

#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

// Several meters' sessions on one bus: each tests the status of its own
// call, none can close the bus under the others, and a lost connection is
// told by whichever call finds it.
TEST(SharedBus, EachSessionSeesItsOwnCallAndOnlyTheOwnerCloses)
{
    ScriptedDriver driver;
    SharedBus bus(driver);
    const auto first = bus.view();
    const auto second = bus.view();
    driver.failNext("ibwrt", gpib::ENOL);
    first->ibwrt(17, "SEND", 4);
    second->ibclr(18);
    EXPECT_EQ(first->status().ibsta & gpib::ERR, gpib::ERR);
    EXPECT_EQ(first->status().iberr, gpib::ENOL);
    EXPECT_EQ(second->status().ibsta & gpib::ERR, 0);

    int told = 0;
    bus.setLostHandler([&told] { ++told; });
    second->ibclr(18);
    driver.lost = true;
    first->ibclr(17);
    second->ibclr(18);
    EXPECT_EQ(told, 2);

    second->close();
    EXPECT_EQ(driver.calls("close").size(), 0U);
    bus.close();
    bus.close();
    const std::size_t calls = driver.log.size();
    first->ibclr(17);
    EXPECT_EQ(driver.log.size(), calls); // nothing reaches a closed driver
    EXPECT_EQ(first->status().iberr, gpib::ENEB);
    EXPECT_EQ(driver.calls("close").size(), 1U);
}

} // namespace
} // namespace lumodm::testing
