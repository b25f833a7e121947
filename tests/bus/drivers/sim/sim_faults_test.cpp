#include "tests/bus/drivers/sim/sim_exchange.h"

#include <algorithm>

namespace lumodm {
namespace {

using testing::Dm5010Id;

constexpr int Timeout = gpib::ERR | gpib::TIMO | gpib::CMPL;

class SimFaultTest : public ::testing::Test
{
  protected:
    testing::SimMeterOnBus sim{"DM5010"};
    SimFaults& faults = sim.meter->faults();
    testing::SimExchange& io = sim.io;
    QByteArray buffer;
};

TEST_F(SimFaultTest, NoAnswerTimesOutEveryReadButTheMeterStillActs)
{
    faults.noAnswer = true;
    EXPECT_EQ(io.write("ID?"), gpib::CMPL);
    EXPECT_EQ(io.readInto(buffer, 512), Timeout);
    EXPECT_EQ(sim.bus.status().iberr, gpib::EABO);
    io.write("OHMS");
    EXPECT_EQ(sim.meter->function(), QByteArray("OHMS"));
    faults.noAnswer = false;
    EXPECT_EQ(io.query("ID?"), Dm5010Id);
}

TEST_F(SimFaultTest, WriteErrorCarriesTheChosenIberrAndNothingArrives)
{
    faults.writeError = gpib::ENOL;
    EXPECT_EQ(io.write("OHMS"), gpib::ERR | gpib::CMPL);
    EXPECT_EQ(sim.bus.status().iberr, gpib::ENOL);
    faults.writeError = gpib::EABO;
    EXPECT_EQ(io.write("OHMS"), Timeout);
    faults.writeError = gpib::EDVR;
    EXPECT_TRUE(io.write("OHMS") & gpib::ERR) << "EDVR (0) is an error too";
    EXPECT_EQ(sim.bus.status().iberr, gpib::EDVR);
    EXPECT_TRUE(sim.meter->log().received().isEmpty());
    EXPECT_EQ(sim.meter->function(), QByteArray("DCV"));
}

TEST_F(SimFaultTest, AnswersWithoutEndTimeOutAfterTheirLastByte)
{
    faults.noEnd = true;
    io.write("ID?");
    EXPECT_EQ(io.readInto(buffer, 10), gpib::CMPL) << "a full piece, no END";
    EXPECT_EQ(io.readInto(buffer, 512), Timeout) << "the rest, then waiting for more";
    EXPECT_EQ(buffer.left(static_cast<int>(sim.bus.status().ibcntl)),
              QByteArray("5010,V79.1 F1.1\r\n"));
    EXPECT_EQ(io.readInto(buffer, 512), Timeout);
    EXPECT_EQ(sim.bus.status().ibcntl, 0);
}

TEST_F(SimFaultTest, AnswersOfAChosenLength)
{
    for (int length : {512, 513, 1}) {
        faults.answerLength = length;
        const QByteArray answer = io.query("ID?");
        ASSERT_EQ(answer.size(), length);
        EXPECT_TRUE(length < 3 ||
                    (answer.startsWith("ID LUMO/DM5010") && answer.endsWith("00\r\n")));
    }
    faults.answerLength = 10;
    EXPECT_EQ(io.query("ID?"), QByteArray("ID LUMO/\r\n")) << "cut, line end kept";
    // 600 bytes come as a full first piece without END and a second with it.
    faults.answerLength = 600;
    io.write("SEND");
    EXPECT_EQ(io.readInto(buffer, 512), gpib::CMPL);
    EXPECT_EQ(io.readInto(buffer, 512), gpib::CMPL | gpib::END);
    EXPECT_EQ(sim.bus.status().ibcntl, 88);
}

TEST_F(SimFaultTest, SeededGarbageBytesArriveAsTheyAre)
{
    faults.garbage = SimFaults::garbageBytes(40, 7);
    ASSERT_TRUE(faults.garbage.contains('\0'));
    ASSERT_TRUE(std::any_of(faults.garbage.begin(), faults.garbage.end(),
                            [](char c) { return static_cast<unsigned char>(c) > 127; }));
    EXPECT_EQ(io.query("SEND"), faults.garbage);
    EXPECT_EQ(SimFaults::garbageBytes(40, 7), faults.garbage);
}

TEST_F(SimFaultTest, AMeterVanishesAfterSomeMessagesAndComesBack)
{
    io.write("OHMS");
    faults.vanishAfterMessages = 2;
    EXPECT_EQ(io.query("ID?"), Dm5010Id);
    EXPECT_EQ(io.write("FUNCT?"), gpib::CMPL) << "the second message still arrives";
    EXPECT_EQ(io.readInto(buffer, 512), Timeout) << "but its answer is lost";

    faults.returnAfterAttempts = 3;
    EXPECT_TRUE(io.write("ID?") & gpib::ERR);
    EXPECT_EQ(sim.bus.status().iberr, gpib::ENOL);
    const std::uint16_t list[] = {0, 16, gpib::NOADDR};
    std::int16_t found[15] = {};
    sim.bus.FindLstn(0, list, found, 15);
    EXPECT_EQ(sim.bus.status().ibcntl, 1) << "discovery passes it by";
    EXPECT_TRUE(sim.bus.ibclr(io.ud) & gpib::ERR);
    EXPECT_EQ(io.query("FUNCT?"), QByteArray("OHMS -2000\r\n")) << "back, settings kept";

    faults.absent = true;
    for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(io.write("ID?") & gpib::ERR) << "absent stays away";
    }
    faults.absent = false;
    EXPECT_EQ(io.write("ID?"), gpib::CMPL);
}

} // namespace
} // namespace lumodm
