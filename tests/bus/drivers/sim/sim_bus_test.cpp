#include "tests/bus/drivers/sim/sim_exchange.h"

#include <vector>

namespace lumodm {
namespace {

using testing::Dm5010Id;
using testing::SimExchange;

constexpr int Timeout = gpib::ERR | gpib::TIMO | gpib::CMPL;

// The address list the program hands to discovery: 0 to 30, then NOADDR.
std::vector<std::uint16_t> allAddresses()
{
    std::vector<std::uint16_t> list;
    for (std::uint16_t a = 0; a <= 30; ++a) {
        list.push_back(a);
    }
    list.push_back(gpib::NOADDR);
    return list;
}

TEST(SimBus, DiscoveryListsTheBoardThenInstrumentsAscendingWithinTheTable)
{
    SimulatedBus bus;
    bus.addMeter(createSimulatedMeter("DM5120"), 22);
    bus.addListener(3, "OTHER");
    bus.addMeter(createSimulatedMeter("DM5010"), 16);
    std::int16_t results[15];
    std::fill(std::begin(results), std::end(results), std::int16_t{-7});
    EXPECT_FALSE(bus.FindLstn(0, allAddresses().data(), results, 15) & gpib::ERR);
    EXPECT_EQ(bus.status().ibcntl, 4);
    EXPECT_EQ(std::vector<std::int16_t>(results, results + 5),
              (std::vector<std::int16_t>{0, 3, 16, 22, -7}));

    // Fourteen instruments and the board fill the table; fifteen overflow it.
    for (int count : {14, 15}) {
        SimulatedBus full;
        for (int a = 1; a <= count; ++a) {
            full.addListener(a);
        }
        EXPECT_EQ(full.FindLstn(0, allAddresses().data(), results, 15) & gpib::ERR,
                  count == 15 ? gpib::ERR : 0);
        EXPECT_EQ(results[14], 14);
        if (count == 15) {
            EXPECT_EQ(full.status().iberr, gpib::ETAB);
        }
    }
    // Without the board's own address nobody answers an empty bus.
    const std::uint16_t withoutBoard[] = {1, 2, 3, gpib::NOADDR};
    SimulatedBus empty;
    EXPECT_TRUE(empty.FindLstn(0, withoutBoard, results, 15) & gpib::ERR);
    EXPECT_EQ(empty.status().iberr, gpib::EBUS);
}

TEST(SimBus, AnAddressWithNothingBehindItFindsNoListenerAndTimesOut)
{
    SimulatedBus bus;
    bus.addMeter(createSimulatedMeter("DM5010"), 16);
    SimExchange nobody(bus, 5);
    ASSERT_GT(nobody.ud, 0);
    EXPECT_EQ(nobody.write("ID?"), gpib::ERR | gpib::CMPL);
    EXPECT_EQ(bus.status().iberr, gpib::ENOL);
    char buffer[16];
    EXPECT_EQ(bus.ibrd(nobody.ud, buffer, 16), Timeout);
    EXPECT_EQ(bus.status().iberr, gpib::EABO);
    EXPECT_TRUE(bus.ibclr(nobody.ud) & gpib::ERR);
    EXPECT_TRUE(bus.ibrsp(nobody.ud, buffer) & gpib::TIMO);

    // The same descriptor pointed at the meter reaches it.
    EXPECT_FALSE(bus.ibpad(nobody.ud, 16) & gpib::ERR);
    EXPECT_EQ(nobody.query("ID?"), Dm5010Id);
}

TEST(SimBus, ReadsComeInPiecesOfTheCountAskedWithEndOnTheLastByte)
{
    SimulatedBus bus;
    bus.addMeter(createSimulatedMeter("DM5010"), 16);
    SimExchange meter(bus, 16);
    ASSERT_FALSE(meter.write("id?") & gpib::ERR);
    EXPECT_EQ(bus.status().ibcntl, 3);
    QByteArray got;
    std::vector<int> statuses;
    for (int i = 0; i < 3; ++i) {
        QByteArray buffer;
        statuses.push_back(meter.readInto(buffer, 10));
        got += buffer.left(static_cast<int>(bus.status().ibcntl));
        EXPECT_EQ(buffer.size(), 10) << "nothing written past the count";
    }
    EXPECT_EQ(got, Dm5010Id);
    EXPECT_EQ(statuses, (std::vector<int>{gpib::CMPL, gpib::CMPL, gpib::CMPL | gpib::END}));
    QByteArray buffer;
    EXPECT_EQ(meter.readInto(buffer, 10), Timeout) << "nothing more to say";
    EXPECT_EQ(bus.status().ibcntl, 0);
}

TEST(SimBus, DeviceClearForgetsAnswersAndHalfMessages)
{
    SimulatedBus bus;
    bus.addMeter(createSimulatedMeter("DM5010"), 16);
    SimExchange meter(bus, 16);
    meter.write("ID?");
    EXPECT_FALSE(bus.ibclr(meter.ud) & gpib::ERR);
    QByteArray buffer;
    EXPECT_TRUE(meter.readInto(buffer, 64) & gpib::TIMO);

    // Without EOI a message waits for its last piece; a clear drops it.
    const int noEoi = bus.ibdev(0, 16, 0, 11, 0, 0);
    bus.ibwrt(noEoi, "I", 1);
    EXPECT_EQ(bus.meterAt(16)->log().received().size(), 1);
    EXPECT_EQ(meter.query("D?"), Dm5010Id);
    bus.ibwrt(noEoi, "FOO", 3);
    bus.ibclr(meter.ud);
    EXPECT_EQ(meter.query("ID?"), Dm5010Id);
    EXPECT_EQ(meter.poll(), 0) << "no error from the forgotten half message";
}

TEST(SimBus, BadArgumentsAndUnknownDescriptorsFail)
{
    SimulatedBus bus;
    EXPECT_EQ(bus.ibdev(0, 31, 0, 11, 1, 0), -1);
    EXPECT_EQ(bus.status().iberr, gpib::EARG);
    EXPECT_EQ(bus.ibdev(1, 5, 0, 11, 1, 0), -1);
    EXPECT_EQ(bus.status().iberr, gpib::ENEB);
    for (int ud : {0, -1, 99}) {
        EXPECT_TRUE(bus.ibwrt(ud, "X", 1) & gpib::ERR);
        EXPECT_EQ(bus.status().iberr, gpib::EDVR);
    }
    const int ud = bus.ibdev(0, 5, 0, 11, 1, 0);
    int value = 0;
    EXPECT_TRUE(bus.ibtmo(ud, 18) & gpib::ERR);
    EXPECT_TRUE(bus.ibask(ud, 0x7777, &value) & gpib::ERR);
    for (int address : {30, 0, 31}) {
        EXPECT_EQ(bus.addListener(address) != nullptr, address == 30) << address;
    }
    EXPECT_EQ(bus.addListener(30), nullptr) << "an address is taken once";
    bus.close();
    EXPECT_TRUE(bus.ibwait(ud, 0) & gpib::ERR) << "closing the bus ends its descriptors";
}

} // namespace
} // namespace lumodm
