#include "bus/drivers/sim/sim_bus.h"
#include "bus/drivers/sim/sim_meter_factory.h"
#include "tests/bus/drivers/sim/sim_exchange.h"

#include <gtest/gtest.h>
#include <vector>

namespace lumodm {
namespace {

using testing::SimExchange;

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

TEST(SimBus, DiscoveryReportsTheBoardFirstThenTheInstrumentsAscending)
{
    SimulatedBus bus;
    bus.addMeter(createSimulatedMeter("DM5120"), 22);
    bus.addListener(3, "OTHER");
    bus.addMeter(createSimulatedMeter("DM5010"), 16);
    std::int16_t results[15];
    std::fill(std::begin(results), std::end(results), std::int16_t{-7});

    const int sta = bus.FindLstn(0, allAddresses().data(), results, 15);

    EXPECT_FALSE(sta & gpib::ERR);
    EXPECT_EQ(bus.status().ibcntl, 4);
    EXPECT_EQ(std::vector<std::int16_t>(results, results + 5),
              (std::vector<std::int16_t>{0, 3, 16, 22, -7}));
}

TEST(SimBus, DiscoveryFailsWithEtabBeyondTheLimitAndEbusWithNobody)
{
    SimulatedBus bus;
    for (int a = 1; a <= 15; ++a) {
        bus.addListener(a);
    }
    std::int16_t results[15] = {};
    EXPECT_TRUE(bus.FindLstn(0, allAddresses().data(), results, 15) & gpib::ERR);
    EXPECT_EQ(bus.status().iberr, gpib::ETAB);
    EXPECT_EQ(results[14], 14);

    // Fourteen instruments and the board fill the table exactly.
    SimulatedBus full;
    for (int a = 1; a <= 14; ++a) {
        full.addListener(a);
    }
    EXPECT_FALSE(full.FindLstn(0, allAddresses().data(), results, 15) & gpib::ERR);

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
    EXPECT_EQ(bus.ibrd(nobody.ud, buffer, 16), gpib::ERR | gpib::TIMO | gpib::CMPL);
    EXPECT_EQ(bus.status().iberr, gpib::EABO);
    EXPECT_TRUE(bus.ibclr(nobody.ud) & gpib::ERR);
    EXPECT_TRUE(bus.ibrsp(nobody.ud, buffer) & gpib::TIMO);

    // The same descriptor pointed at the meter reaches it.
    EXPECT_FALSE(bus.ibpad(nobody.ud, 16) & gpib::ERR);
    EXPECT_EQ(nobody.query("ID?"), QByteArray("ID LUMO/DM5010,V79.1 F1.1\r\n"));
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
        char buffer[10];
        statuses.push_back(bus.ibrd(meter.ud, buffer, 10));
        got.append(buffer, static_cast<int>(bus.status().ibcntl));
    }
    EXPECT_EQ(got, QByteArray("ID LUMO/DM5010,V79.1 F1.1\r\n"));
    EXPECT_EQ(statuses, (std::vector<int>{gpib::CMPL, gpib::CMPL, gpib::CMPL | gpib::END}));
    // Nothing more to say: the next read times out at once.
    char buffer[10];
    EXPECT_EQ(bus.ibrd(meter.ud, buffer, 10), gpib::ERR | gpib::TIMO | gpib::CMPL);
    EXPECT_EQ(bus.status().ibcntl, 0);
}

TEST(SimBus, ReadLeavesTheRestOfTheBufferUntouched)
{
    SimulatedBus bus;
    bus.addMeter(createSimulatedMeter("DM5110"), 9);
    SimExchange meter(bus, 9);
    meter.write("FUNCT?");
    QByteArray buffer(512, ' ');
    EXPECT_TRUE(bus.ibrd(meter.ud, buffer.data(), 512) & gpib::END);
    EXPECT_EQ(buffer.trimmed(), QByteArray("FUNCT DCV;"));
    EXPECT_EQ(buffer.size(), 512);
    EXPECT_EQ(buffer.count(' '), 512 - 12 + 1);
}

TEST(SimBus, DeviceClearEmptiesTheMetersInputAndOutput)
{
    SimulatedBus bus;
    bus.addMeter(createSimulatedMeter("DM5010"), 16);
    SimExchange meter(bus, 16);
    meter.write("ID?");
    EXPECT_FALSE(bus.ibclr(meter.ud) & gpib::ERR);
    char buffer[64];
    EXPECT_TRUE(bus.ibrd(meter.ud, buffer, 64) & gpib::TIMO);

    // Half a message (no EOI) is forgotten too.
    const int partial = bus.ibdev(0, 16, 0, 11, 0, 0);
    bus.ibwrt(partial, "FOO", 3);
    bus.ibclr(meter.ud);
    EXPECT_EQ(meter.query("ID?"), QByteArray("ID LUMO/DM5010,V79.1 F1.1\r\n"));
    EXPECT_EQ(meter.poll(), 0) << "no error from the forgotten half message";
}

TEST(SimBus, WithoutEoiTheMessageWaitsForItsLastPiece)
{
    SimulatedBus bus;
    bus.addMeter(createSimulatedMeter("DM5010"), 16);
    const int noEoi = bus.ibdev(0, 16, 0, 11, 0, 0);
    SimExchange meter(bus, 16);
    bus.ibwrt(noEoi, "I", 1);
    EXPECT_TRUE(bus.meterAt(16)->log().received().isEmpty());
    EXPECT_EQ(meter.query("D?"), QByteArray("ID LUMO/DM5010,V79.1 F1.1\r\n"));
}

TEST(SimBus, BoardAndDescriptorCallsKeepWhatTheyAreTold)
{
    SimulatedBus bus;
    EXPECT_EQ(bus.SendIFC(0), gpib::CMPL | gpib::CIC);
    bus.ibsre(0, 1);
    EXPECT_TRUE(bus.remoteEnabled());
    bus.registrationResult = 2;
    EXPECT_EQ(bus.RegisterGpibGlobalsForThread(), 2);

    const int ud = bus.ibdev(0, 1, 0, gpib::T1s, 1, 0);
    ASSERT_GT(ud, 0);
    EXPECT_NE(bus.ibdev(0, 1, 0, gpib::T1s, 1, 0), ud) << "every ibdev gives a new descriptor";
    bus.ibtmo(ud, gpib::T3s);
    bus.ibpad(ud, 12);
    int timeout = 0;
    int address = 0;
    bus.ibask(ud, gpib::IbcTMO, &timeout);
    bus.ibask(ud, gpib::IbcPAD, &address);
    EXPECT_EQ(timeout, gpib::T3s);
    EXPECT_EQ(address, 12);
    EXPECT_EQ(bus.ibwait(ud, gpib::TIMO | gpib::CMPL), gpib::CMPL);
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
    bus.close();
    EXPECT_TRUE(bus.ibwait(ud, 0) & gpib::ERR) << "closing the bus ends its descriptors";
}

TEST(SimBus, AddressesAreOneToThirtyAndTakenOnce)
{
    SimulatedBus bus;
    EXPECT_NE(bus.addListener(30), nullptr);
    EXPECT_EQ(bus.addListener(30), nullptr);
    EXPECT_EQ(bus.addListener(0), nullptr);
    EXPECT_EQ(bus.addListener(31), nullptr);
    EXPECT_EQ(bus.meterAt(30), nullptr) << "a plain listener is no meter";
    EXPECT_EQ(bus.addresses(), std::vector<int>{30});
}

} // namespace
} // namespace lumodm
