#include "bus/drivers/sim/sim_bus.h"
#include "bus/drivers/sim/sim_meter_factory.h"
#include "tests/bus/drivers/sim/sim_exchange.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

using testing::SimExchange;

struct Exchange
{
    const char* model;
    const char* sent;     // one message
    const char* answered; // without CR LF; "" for no answer
};

// Every command the panel sends, with the answer the panel parses.
const Exchange Exchanges[] = {
    {"DM5010", "ID?", "ID LUMO/DM5010,V79.1 F1.1"},
    {"DM5110", "ID?", "ID LUMO/DM5110,V79.1 F1.1"},
    {"DM5120", "ID?", "ID LUMO/DM5120,V79.1 F1.1"},
    // DM5010: function and range value, dBm calculation.
    {"DM5010", "FUNCT?", "DCV -2"},
    {"DM5010", "FUNC?", "DCV -2"},
    {"DM5010", "CALC?", "CALC OFF"},
    {"DM5010", "DCV;CALC DBM;FUNCT?;CALC?", "DCV -2;CALC DBM"},
    {"DM5010", "ACV;CALC DBM;FUNCT?;CALC?", "ACV -2;CALC DBM"},
    {"DM5010", "DCV;CALC DBM;CALC OFF;CALC?", "CALC OFF"},
    {"DM5010", "OHMS;FUNCT?", "OHMS -2000"},
    {"DM5010", "DIODE;FUNCT?", "DIODE -2"},
    {"DM5010", "ACDC;FUNCT?", "ACDC -2"},
    {"DM5010", "DCV 20;FUNCT?", "DCV 20"},
    {"DM5010", "OHMS 2E+07;FUNCT?", "OHMS 2E+07"},
    {"DM5010", "ACV 1000;FUNC?", "ACV 1000"},
    // DM5110 and DM5120: function and range number.
    {"DM5110", "FUNCT?", "FUNCT DCV;"},
    {"DM5110", "RANGE?", "RANGE 0;"},
    {"DM5110", "RANGE3;RANGE?", "RANGE 3;"},
    {"DM5110", "DCA;FUNCT?;RANGE?", "FUNCT DCA;RANGE 0;"},
    {"DM5110", "ACA;FUNCT?", "FUNCT ACA;"},
    {"DM5110", "DBM;FUNCT?", "FUNCT DBM;"},
    {"DM5110", "DBV;FUNCT?", "FUNCT DBV;"},
    {"DM5110", "OHMS;RANGE6;RANGE?", "RANGE 6;"},
    {"DM5120", "ACVDB;FUNCT?", "FUNCT ACVDB;"},
    {"DM5120", "ACADB;FUNCT?", "FUNCT ACADB;"},
    {"DM5120", "OHMS;RANGE7;FUNCT?;RANGE?", "FUNCT OHMS;RANGE 7;"},
    {"DM5120", "RANGE2;RANGE0;RANGE?", "RANGE 0;"},
    // Letters in any case, blanks around the units.
    {"DM5010", "dcv 200 ; funct?", "DCV 200"},
    {"DM5120", "aca;Funct?", "FUNCT ACA;"},
    // Commands without an answer.
    {"DM5010", "INIT", ""},
    {"DM5110", "RANGE2", ""},
};

TEST(SimMeter, AnswersEveryCommandInTheFormThePanelParses)
{
    for (const Exchange& e : Exchanges) {
        SimulatedBus bus;
        SimulatedMeter* meter = bus.addMeter(createSimulatedMeter(e.model), 16);
        SimExchange io(bus, 16);
        io.write(e.sent);
        const QByteArray expected = *e.answered ? QByteArray(e.answered) + "\r\n" : QByteArray();
        EXPECT_EQ(io.read(), expected) << e.model << " " << e.sent;
        EXPECT_EQ(io.poll(), 0) << e.model << " " << e.sent;
        EXPECT_EQ(meter->log().received().last(), QByteArray(e.sent));
    }
}

TEST(SimMeter, RefusesWhatTheModelLacksWithAnErrorInTheStatusByte)
{
    const struct
    {
        const char* model;
        const char* refused;
        std::uint8_t status;
    } cases[] = {
        {"DM5010", "DCA", SimulatedMeter::CommandError},
        {"DM5010", "DBM", SimulatedMeter::CommandError},
        {"DM5010", "RANGE?", SimulatedMeter::CommandError},
        {"DM5010", "DCV 2000", SimulatedMeter::ExecutionError},
        {"DM5010", "CALC DBV", SimulatedMeter::ExecutionError},
        {"DM5110", "DIODE", SimulatedMeter::CommandError},
        {"DM5110", "CALC OFF", SimulatedMeter::CommandError},
        {"DM5110", "ACVDB", SimulatedMeter::CommandError},
        {"DM5110", "RANGE6", SimulatedMeter::ExecutionError},
        {"DM5120", "DBM", SimulatedMeter::CommandError},
        {"DM5120", "ACDC", SimulatedMeter::CommandError},
        {"DM5120", "RANGE5", SimulatedMeter::ExecutionError},
        {"DM5120", "FOO", SimulatedMeter::CommandError},
    };
    for (const auto& c : cases) {
        SimulatedBus bus;
        SimulatedMeter* meter = bus.addMeter(createSimulatedMeter(c.model), 16);
        SimExchange io(bus, 16);
        // A state away from the defaults, to see that nothing changes.
        io.write(QByteArray(c.model) == "DM5010" ? "ACV 20" : "ACV;RANGE3");
        io.write(c.refused);
        EXPECT_EQ(meter->function(), QByteArray("ACV")) << c.model << " " << c.refused;
        EXPECT_EQ(meter->range(), 3) << c.model << " " << c.refused;
        EXPECT_EQ(io.poll(), c.status) << c.model << " " << c.refused;
        EXPECT_EQ(io.poll(), 0) << "the poll clears the error";
    }
}

TEST(SimMeter, InitRestoresTheDefaults)
{
    SimulatedBus bus;
    SimulatedMeter* meter = bus.addMeter(createSimulatedMeter("DM5010"), 16);
    SimExchange io(bus, 16);
    io.write("ACV 200;CALC DBM");
    ASSERT_TRUE(meter->dbmCalculation());
    io.write("init");
    EXPECT_EQ(meter->function(), QByteArray("DCV"));
    EXPECT_EQ(meter->range(), 0);
    EXPECT_FALSE(meter->dbmCalculation());
    EXPECT_EQ(io.query("CALC?"), QByteArray("CALC OFF\r\n"));
}

TEST(SimMeter, AFunctionCommandSwitchesToAutomaticRange)
{
    SimulatedBus bus;
    SimulatedMeter* meter = bus.addMeter(createSimulatedMeter("DM5110"), 16);
    SimExchange io(bus, 16);
    io.write("DCV;RANGE4");
    ASSERT_EQ(meter->range(), 4);
    io.write("FUNCT ACV");
    EXPECT_EQ(meter->function(), QByteArray("ACV"));
    EXPECT_EQ(meter->range(), 0);
}

TEST(SimMeter, KeepsALogOfMessagesAndAnswers)
{
    SimulatedBus bus;
    SimulatedMeter* meter = bus.addMeter(createSimulatedMeter("DM5010"), 16);
    SimExchange io(bus, 16);
    io.query("ID?");
    io.write("DCV");
    const auto& entries = meter->log().entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].kind, SimLog::Kind::Received);
    EXPECT_EQ(entries[1].kind, SimLog::Kind::Sent);
    EXPECT_EQ(entries[1].text, QByteArray("ID LUMO/DM5010,V79.1 F1.1\r\n"));
    EXPECT_EQ(meter->log().received(), (QList<QByteArray>{"ID?", "DCV"}));

    for (std::size_t i = 0; i < SimLog::Capacity + 10; ++i) {
        io.write("DCV");
    }
    EXPECT_EQ(meter->log().entries().size(), SimLog::Capacity) << "the log stays bounded";
}

TEST(SimMeter, ANewMessageDiscardsAnUnreadAnswer)
{
    SimulatedBus bus;
    bus.addMeter(createSimulatedMeter("DM5110"), 16);
    SimExchange io(bus, 16);
    io.write("ID?");
    EXPECT_EQ(io.query("FUNCT?"), QByteArray("FUNCT DCV;\r\n"));
}

TEST(SimMeter, ANonMeterListenerAnswersOnlyItsIdentity)
{
    SimulatedBus bus;
    bus.addListener(3, "HP3478A");
    bus.addListener(4);
    SimExchange other(bus, 3);
    SimExchange silent(bus, 4);
    EXPECT_EQ(other.query("id?"), QByteArray("HP3478A\r\n"));
    EXPECT_EQ(other.query("SEND"), QByteArray());
    EXPECT_FALSE(silent.write("ID?") & gpib::ERR) << "it listens";
    EXPECT_EQ(silent.read(), QByteArray()) << "but never talks";
}

} // namespace
} // namespace lumodm
