#include "bus/drivers/sim/sim_bus.h"
#include "bus/drivers/sim/sim_meter_factory.h"
#include "tests/bus/drivers/sim/sim_exchange.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

using testing::SimExchange;

constexpr int Timeout = gpib::ERR | gpib::TIMO | gpib::CMPL;

class SimFaultTest : public ::testing::Test
{
  protected:
    SimulatedBus bus;
    SimulatedMeter* meter = bus.addMeter(createSimulatedMeter("DM5010"), 16);
    SimFaults& faults = meter->faults();
    SimExchange io{bus, 16};

    int readInto(QByteArray& buffer, long count)
    {
        buffer = QByteArray(static_cast<int>(count), ' ');
        return bus.ibrd(io.ud, buffer.data(), count);
    }
};

TEST_F(SimFaultTest, NoAnswerTimesOutEveryRead)
{
    faults.noAnswer = true;
    EXPECT_EQ(io.write("ID?"), gpib::CMPL);
    QByteArray buffer;
    EXPECT_EQ(readInto(buffer, 512), Timeout);
    EXPECT_EQ(bus.status().iberr, gpib::EABO);
    io.write("OHMS");
    EXPECT_EQ(meter->function(), QByteArray("OHMS")) << "it still acts on what it hears";

    faults.noAnswer = false;
    EXPECT_EQ(io.query("ID?"), QByteArray("ID LUMO/DM5010,V79.1 F1.1\r\n"));
}

TEST_F(SimFaultTest, WriteErrorCarriesTheChosenIberr)
{
    faults.writeError = gpib::ENOL;
    EXPECT_EQ(io.write("OHMS"), gpib::ERR | gpib::CMPL);
    EXPECT_EQ(bus.status().iberr, gpib::ENOL);
    faults.writeError = gpib::EABO;
    EXPECT_EQ(io.write("OHMS"), gpib::ERR | gpib::TIMO | gpib::CMPL);
    EXPECT_EQ(bus.status().iberr, gpib::EABO);
    faults.writeError = 0;
    EXPECT_TRUE(io.write("OHMS") & gpib::ERR) << "EDVR (0) is an error too";
    EXPECT_EQ(bus.status().iberr, gpib::EDVR);
    EXPECT_TRUE(meter->log().received().isEmpty());
    EXPECT_EQ(meter->function(), QByteArray("DCV"));
}

TEST_F(SimFaultTest, AnswersWithoutEndTimeOutAfterTheirLastByte)
{
    faults.noEnd = true;
    io.write("ID?");
    QByteArray buffer;
    EXPECT_EQ(readInto(buffer, 10), gpib::CMPL) << "a full piece, no END";
    EXPECT_EQ(readInto(buffer, 512), Timeout) << "the rest, then waiting for more";
    EXPECT_EQ(bus.status().ibcntl, 17);
    EXPECT_EQ(buffer.left(17), QByteArray("5010,V79.1 F1.1\r\n"));
    EXPECT_EQ(readInto(buffer, 512), Timeout);
    EXPECT_EQ(bus.status().ibcntl, 0);
}

TEST_F(SimFaultTest, AnswersOfAChosenLength)
{
    for (int length : {512, 513, 600, 1}) {
        faults.answerLength = length;
        const QByteArray answer = io.query("ID?");
        ASSERT_EQ(answer.size(), length);
        if (length > 2) {
            EXPECT_TRUE(answer.startsWith("ID LUMO/DM5010"));
            EXPECT_TRUE(answer.endsWith("00\r\n"));
        }
    }
    faults.answerLength = 10;
    EXPECT_EQ(io.query("ID?"), QByteArray("ID LUMO/\r\n")) << "cut, line end kept";

    // 600 bytes come as a full first piece without END and a second with it.
    faults.answerLength = 600;
    io.write("SEND");
    QByteArray buffer;
    EXPECT_EQ(readInto(buffer, 512), gpib::CMPL);
    EXPECT_EQ(readInto(buffer, 512), gpib::CMPL | gpib::END);
    EXPECT_EQ(bus.status().ibcntl, 88);
}

TEST_F(SimFaultTest, GarbageBytesArriveAsTheyAre)
{
    faults.garbage = SimFaults::garbageBytes(40, 7);
    ASSERT_TRUE(faults.garbage.contains('\0'));
    ASSERT_TRUE(std::any_of(faults.garbage.begin(), faults.garbage.end(),
                            [](char c) { return static_cast<unsigned char>(c) > 127; }));
    EXPECT_EQ(io.query("SEND"), faults.garbage);
    EXPECT_EQ(SimFaults::garbageBytes(40, 7), faults.garbage) << "seeded";
    EXPECT_EQ(meter->log().sent().last(), faults.garbage);
}

TEST_F(SimFaultTest, AMeterVanishesAfterSomeMessagesAndComesBack)
{
    io.write("OHMS");
    faults.vanishAfterMessages = 2;
    EXPECT_EQ(io.query("ID?"), QByteArray("ID LUMO/DM5010,V79.1 F1.1\r\n"));
    EXPECT_EQ(io.write("FUNCT?"), gpib::CMPL) << "the second message still arrives";
    QByteArray buffer;
    EXPECT_EQ(readInto(buffer, 512), Timeout) << "but its answer is lost";

    faults.returnAfterAttempts = 3;
    EXPECT_TRUE(io.write("ID?") & gpib::ERR);
    EXPECT_EQ(bus.status().iberr, gpib::ENOL);
    const std::uint16_t list[] = {0, 16, gpib::NOADDR};
    std::int16_t found[15] = {};
    bus.FindLstn(0, list, found, 15);
    EXPECT_EQ(bus.status().ibcntl, 1) << "discovery passes it by";
    EXPECT_TRUE(bus.ibclr(io.ud) & gpib::ERR);

    EXPECT_EQ(io.query("FUNCT?"), QByteArray("OHMS -2000\r\n")) << "back, settings kept";
}

TEST_F(SimFaultTest, AnAbsentMeterStaysAwayUntilTheTestBringsItBack)
{
    faults.absent = true;
    for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(io.write("ID?") & gpib::ERR);
    }
    faults.absent = false;
    EXPECT_EQ(io.write("ID?"), gpib::CMPL);
}

} // namespace
} // namespace lumodm
