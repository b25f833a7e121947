#include "tests/bus/drivers/sim/sim_exchange.h"

namespace lumodm {
namespace {

using testing::SimExchange;
using testing::SimMeterOnBus;

TEST(SimMeter, AnswersEveryCommandInTheFormThePanelParses)
{
    const struct
    {
        const char* model;
        const char* sent;     // one message
        const char* answered; // without CR LF; "" for no answer
    } exchanges[] = {
        {"DM5010", "ID?", "ID LUMO/DM5010,V79.1 F1.1"},
        {"DM5110", "ID?", "ID LUMO/DM5110,V79.1 F1.1"},
        {"DM5120", "ID?", "ID LUMO/DM5120,V79.1 F1.1"},
        // DM5010: function and range value, dBm calculation.
        {"DM5010", "FUNC?", "DCV -2"},
        {"DM5010", "DCV;CALC DBM;FUNCT?;CALC?", "DCV -2;CALC DBM"},
        {"DM5010", "ACV;CALC DBM;CALC OFF;CALC?", "CALC OFF"},
        {"DM5010", "OHMS;FUNCT?", "OHMS -2000"},
        {"DM5010", "OHMS 2E+07;FUNCT?", "OHMS 2E+07"},
        {"DM5010", "ACV 200;CALC DBM;INIT;FUNCT?;CALC?", "DCV -2;CALC OFF"},
        // DM5110 and DM5120: function and range number.
        {"DM5110", "FUNCT?;RANGE?", "FUNCT DCV;RANGE 0;"},
        {"DM5110", "DCA;RANGE3;FUNCT?;RANGE?", "FUNCT DCA;RANGE 3;"},
        {"DM5110", "DCV;RANGE4;FUNCT ACV;FUNCT?;RANGE?", "FUNCT ACV;RANGE 0;"},
        {"DM5110", "OHMS;RANGE6;RANGE?", "RANGE 6;"},
        {"DM5120", "ACVDB;FUNCT?", "FUNCT ACVDB;"},
        {"DM5120", "OHMS;RANGE7;RANGE?", "RANGE 7;"},
        // Letters in any case, blanks around the units.
        {"DM5010", "dcv 200 ; funct?", "DCV 200"},
        {"DM5120", "aca;Funct?", "FUNCT ACA;"},
        {"DM5110", "RANGE2", ""},
    };
    for (const auto& e : exchanges) {
        SCOPED_TRACE(std::string(e.model) + " " + e.sent);
        SimMeterOnBus sim(e.model);
        sim.io.write(e.sent);
        EXPECT_EQ(sim.io.read(), *e.answered ? QByteArray(e.answered) + "\r\n" : QByteArray());
        EXPECT_EQ(sim.io.poll(), 0);
        EXPECT_EQ(sim.meter->log().received().last(), QByteArray(e.sent));
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
        {"DM5010", "RANGE?", SimulatedMeter::CommandError},
        {"DM5010", "DCV 2000", SimulatedMeter::ExecutionError},
        {"DM5010", "CALC DBV", SimulatedMeter::ExecutionError},
        {"DM5110", "DIODE", SimulatedMeter::CommandError},
        {"DM5110", "CALC OFF", SimulatedMeter::CommandError},
        {"DM5110", "RANGE6", SimulatedMeter::ExecutionError},
        {"DM5120", "DBM", SimulatedMeter::CommandError},
        {"DM5120", "RANGE5", SimulatedMeter::ExecutionError},
        {"DM5120", "FOO", SimulatedMeter::CommandError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " " + c.refused);
        SimMeterOnBus sim(c.model);
        // A state away from the defaults, to see that nothing changes.
        sim.io.write(QByteArray(c.model) == "DM5010" ? "ACV 20" : "ACV;RANGE3");
        sim.io.write(c.refused);
        EXPECT_EQ(sim.meter->function(), QByteArray("ACV"));
        EXPECT_EQ(sim.meter->range(), 3);
        EXPECT_EQ(sim.io.poll(), c.status);
        EXPECT_EQ(sim.io.poll(), 0) << "the poll clears the error";
    }
}

TEST(SimMeter, KeepsABoundedLogAndDropsAnUnreadAnswer)
{
    SimMeterOnBus sim("DM5110");
    sim.io.write("ID?");
    EXPECT_EQ(sim.io.query("FUNCT?"), QByteArray("FUNCT DCV;\r\n")) << "the ID answer is gone";
    const auto& entries = sim.meter->log().entries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[3].kind, SimLog::Kind::Sent);
    EXPECT_EQ(entries[3].text, QByteArray("FUNCT DCV;\r\n"));
    EXPECT_EQ(sim.meter->log().received(), (QList<QByteArray>{"ID?", "FUNCT?"}));
    for (std::size_t i = 0; i < SimLog::Capacity + 10; ++i) {
        sim.io.write("DCV");
    }
    EXPECT_EQ(sim.meter->log().entries().size(), SimLog::Capacity);
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
