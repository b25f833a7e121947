// The simulated bus and meters: what a controller sees through the driver
// calls, the --sim spec with its faults, and the meters' command sets.
#include "bus/drivers/sim/sim_bus_factory.h"
#include "bus/drivers/sim/sim_meter_factory.h"

#include <QByteArray>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace lumodm {
namespace {

const QByteArray Dm5010Id = "ID LUMO/DM5010,V79.1 F1.1\r\n";

// Exchanges with a simulated device as a controller makes them: a write
// with EOI, then reads.
struct SimExchange
{
    SimulatedBus& bus;
    int ud;

    SimExchange(SimulatedBus& b, int address) : bus(b), ud(b.ibdev(0, address, 0, 11, 1, 0)) {}

    int write(const QByteArray& text) { return bus.ibwrt(ud, text.constData(), text.size()); }

    int readInto(QByteArray& buffer, long count)
    {
        buffer = QByteArray(static_cast<int>(count), ' ');
        return bus.ibrd(ud, buffer.data(), count);
    }

    // The answer when it comes whole with END in one read; empty otherwise.
    QByteArray read()
    {
        QByteArray buffer;
        const bool end = readInto(buffer, 512) & gpib::END;
        return end ? buffer.left(static_cast<int>(bus.status().ibcntl)) : QByteArray();
    }

    QByteArray query(const QByteArray& text)
    {
        write(text);
        return read();
    }

    std::uint8_t poll()
    {
        char byte = 0;
        bus.ibrsp(ud, &byte);
        return static_cast<std::uint8_t>(byte);
    }
};

// One simulated meter at address 16 and a controller's descriptor for it.
struct SimMeterOnBus
{
    SimulatedBus bus;
    SimulatedMeter* meter;
    SimExchange io;

    explicit SimMeterOnBus(const char* model)
        : meter(bus.addMeter(createSimulatedMeter(model), 16)), io(bus, 16)
    {
    }
};

TEST(SimBus, DiscoveryListsTheBoardThenInstrumentsAscendingWithinTheTable)
{
    std::vector<std::uint16_t> all;
    for (std::uint16_t a = 0; a <= 30; ++a) {
        all.push_back(a);
    }
    all.push_back(gpib::NOADDR);
    SimulatedBus bus;
    bus.addMeter(createSimulatedMeter("DM5120"), 22);
    bus.addListener(3, "OTHER");
    bus.addMeter(createSimulatedMeter("DM5010"), 16);
    std::int16_t results[15];
    std::fill(std::begin(results), std::end(results), std::int16_t{-7});
    EXPECT_EQ(bus.FindLstn(0, all.data(), results, 15), gpib::CMPL | gpib::CIC);
    EXPECT_EQ(bus.status().ibcntl, 4);
    EXPECT_EQ(std::vector<std::int16_t>(results, results + 5),
              (std::vector<std::int16_t>{0, 3, 16, 22, -7}));
    // Another instrument answers only its identity; an absent one is passed by.
    EXPECT_EQ(SimExchange(bus, 3).query("id?"), QByteArray("OTHER\r\n"));
    EXPECT_EQ(SimExchange(bus, 3).query("SEND"), QByteArray());
    bus.meterAt(22)->faults().absent = true;
    bus.FindLstn(0, all.data(), results, 15);
    EXPECT_EQ(bus.status().ibcntl, 3);

    // Fourteen instruments and the board fill the table; fifteen overflow it.
    for (int count : {14, 15}) {
        SimulatedBus full;
        for (int a = 1; a <= count; ++a) {
            full.addListener(a); // listens, never talks
        }
        EXPECT_EQ(full.FindLstn(0, all.data(), results, 15) & gpib::ERR,
                  count == 15 ? gpib::ERR : 0);
        EXPECT_EQ(results[14], 14);
        EXPECT_EQ(full.status().iberr, count == 15 ? gpib::ETAB : 0);
        EXPECT_EQ(SimExchange(full, 1).query("ID?"), QByteArray());
    }
    // Without the board's own address nobody answers an empty bus.
    const std::uint16_t withoutBoard[] = {1, 2, 3, gpib::NOADDR};
    EXPECT_TRUE(SimulatedBus().FindLstn(0, withoutBoard, results, 15) & gpib::ERR);
    const std::uint16_t badAddress[] = {0, 31, gpib::NOADDR};
    EXPECT_TRUE(bus.FindLstn(0, badAddress, results, 15) & gpib::ERR);
    EXPECT_EQ(bus.status().iberr, gpib::EARG);
}

TEST(SimBus, DeviceClearForgetsAnswersAndHalfMessages)
{
    SimMeterOnBus sim("DM5010");
    sim.io.write("ID?");
    EXPECT_EQ(sim.bus.ibclr(sim.io.ud), gpib::CMPL);
    EXPECT_EQ(sim.io.read(), QByteArray()) << "the answer is gone";

    // Without EOI a message waits for its last piece; a clear drops it.
    const int noEoi = sim.bus.ibdev(0, 16, 0, 11, 0, 0);
    sim.bus.ibwrt(noEoi, "I", 1);
    EXPECT_EQ(sim.meter->log().received().size(), 1);
    EXPECT_EQ(sim.io.query("D?"), Dm5010Id);
    sim.bus.ibwrt(noEoi, "FOO", 3);
    sim.bus.ibclr(sim.io.ud);
    EXPECT_EQ(sim.io.query("ID?"), Dm5010Id);
    EXPECT_EQ(sim.io.poll(), 0) << "no error from the forgotten half message";
}

TEST(SimBus, BadArgumentsAndUnknownDescriptorsFail)
{
    SimulatedBus bus;
    // The iberr a call left; -1 when it did not fail.
    const auto error = [&bus](int) {
        return bus.status().ibsta & gpib::ERR ? bus.status().iberr : -1;
    };
    EXPECT_EQ(bus.ibdev(0, 31, 0, 11, 1, 0), -1);
    EXPECT_EQ(error(0), gpib::EARG);
    EXPECT_EQ(error(bus.ibdev(1, 5, 0, 11, 1, 0)), gpib::ENEB);
    for (int ud : {0, -1, 99}) {
        EXPECT_EQ(error(bus.ibwrt(ud, "X", 1)), gpib::EDVR);
    }
    const int ud = bus.ibdev(0, 5, 0, 11, 1, 0);
    int value = 0;
    std::int16_t found[1];
    const std::uint16_t list[] = {0, gpib::NOADDR};
    EXPECT_EQ(error(bus.ibtmo(ud, 18)), gpib::EARG);
    EXPECT_EQ(error(bus.ibask(ud, 0x7777, &value)), gpib::EARG);
    EXPECT_EQ(error(bus.ibwrt(ud, "X", -1)), gpib::EARG);
    EXPECT_EQ(error(bus.FindLstn(0, list, found, 0)), gpib::EARG) << "no room for a listener";
    for (int address : {30, 0, 31}) {
        EXPECT_EQ(bus.addListener(address) != nullptr, address == 30) << address;
    }
    EXPECT_EQ(bus.addListener(30), nullptr) << "an address is taken once";
    bus.close();
    EXPECT_EQ(error(bus.ibwait(ud, 0)), gpib::EDVR) << "closing the bus ends its descriptors";
}

// A --sim spec and the meters it places, or why it is refused.
TEST(SimBusFactory, PlacesTheMetersAskedOrSaysWhatIsWrong)
{
    const struct
    {
        const char* spec;
        const char* result;
    } cases[] = {
        {"", "DM5010@16"},
        {"dm5120", "DM5120@16"},
        {"DM5010@12,DM5120@14", "DM5010@12,DM5120@14"},
        {" DM5120 @ 3 , Dm5010@30", "DM5120@3,DM5010@30"},
        {"DM5010@1,fault=silent,DM5110,FAULT = No-End", "DM5010@1,DM5110@16"},
        {"DM5010@31", "simulated DM5010: address \"31\" is not 1 to 30"},
        {"DM5010@0", "address \"0\" is not 1 to 30"},
        {"DM5010@x", "address \"x\" is not 1 to 30"},
        {"DM5010@016", "address \"016\" is not 1 to 30"},
        {"DM9999", "unknown simulated meter \"DM9999\" (known: DM5010, DM5110, DM5120)"},
        {"@12", "unknown simulated meter \"\""},
        {"DM5010@12,DM5120@12", "simulated bus: address 12 is given twice"},
        {"DM5010,,DM5120", "simulated bus \"DM5010,,DM5120\": empty meter entry"},
        {"fault=silent", "simulated bus: \"fault=silent\" follows no meter"},
        {"DM5010,speed=2", "unknown simulated bus option \"speed=2\" (known: fault=NAME"},
        {"DM5010@9,fault=loud", "simulated DM5010@9: unknown fault \"loud\" (known: silent, "
                                "no-end, garbage, absent, answer-length=N, write-error=N, "
                                "vanish-after=N, return-after=N)"},
        {"DM5010,fault=silent=1", "unknown fault \"silent=1\""},
        {"DM5010,fault=vanish-after", "fault \"vanish-after\" needs a number from 1 to 1048576"},
        {"DM5010,fault=write-error=32", "\"write-error=32\" needs a number from 0 to 31"},
        {"DM5010,fault=answer-length=0", "needs a number from 1 to"},
        {"DM5010,fault=vanish-after=1048577", "needs a number"},
        {"DM5010,fault=return-after=-1", "needs a number"},
        {"DM5010,fault=return-after=99999999", "needs a number"},
    };
    for (const auto& c : cases) {
        QString error;
        const auto bus = createSimulatedBus(QString::fromLatin1(c.spec), &error);
        QStringList meters;
        for (int address : bus ? bus->addresses() : std::vector<int>()) {
            meters << QString::fromLatin1(bus->meterAt(address)->model().name) + QLatin1Char('@') +
                          QString::number(address);
        }
        const QString result = bus ? meters.join(QLatin1Char(',')) : error;
        EXPECT_TRUE(bus ? result == QLatin1String(c.result)
                        : result.contains(QLatin1String(c.result)))
            << c.spec << ": " << result.toStdString();
    }
}

TEST(SimFaults, GarbageIsTheSameBytesEveryTimeWithANulAndHighBytes)
{
    auto bus = createSimulatedBus(QStringLiteral("DM5010,fault=garbage"), nullptr);
    const QByteArray garbage = SimExchange(*bus, 16).query("SEND");
    EXPECT_EQ(garbage.size(), 32);
    EXPECT_TRUE(garbage.contains('\0'));
    EXPECT_TRUE(std::any_of(garbage.begin(), garbage.end(),
                            [](char c) { return static_cast<unsigned char>(c) > 127; }));
    bus = createSimulatedBus(QStringLiteral("DM5010,FAULT=GARBAGE"), nullptr);
    EXPECT_EQ(SimExchange(*bus, 16).query("ID?"), garbage);
    bus->meterAt(16)->faults().garbage.clear();
    EXPECT_EQ(SimExchange(*bus, 16).query("ID?"), Dm5010Id) << "a program may mend it";
}

// Messages (separated by '|') to one meter, its answer to the last, and
// the status byte: a refused command changes nothing and leaves the first
// error there until the next poll.
TEST(SimMeter, AnswersInTheFormThePanelParsesAndRefusesWhatTheModelLacks)
{
    const double dbmVolt = std::sqrt(0.6);
    constexpr std::uint8_t Unknown = SimulatedMeter::CommandError;
    constexpr std::uint8_t Refused = SimulatedMeter::ExecutionError;
    const struct
    {
        const char* model;
        const char* input; // the signal set first, "" for the demo default
        double value;
        const char* sent;
        const char* answered; // without CR LF; "" for no answer
        std::uint8_t status = 0;
    } cases[] = {
        {"DM5110", "", 0, "id?", "ID LUMO/DM5110,V79.1 F1.1"},
        // DM5010: the range as a value, negative while automatic.
        {"DM5010", "DCV", 0.05, "FUNC?;SEND", "DCV -0.2;+5.00000E-2"},
        {"DM5010", "DCV", 0.2, "FUNCT?;SEND", "DCV -2;+2.00000E-1"}, // full scale is over
        {"DM5010", "DCV", -1.5, "SEND", "-1.50000E0"},
        {"DM5010", "ACDC", 150.0, "ACDC;FUNCT?;SEND", "ACDC -200;+1.50000E2"},
        {"DM5010", "DCV", 999.0, "FUNCT?;SEND", "DCV -1000;+9.99000E2"},
        {"DM5010", "DCV", 1000.0, "FUNCT?;SEND", "DCV -1000;+9.9E37"},
        {"DM5010", "OHMS", 1.5e7, "OHMS;FUNCT?", "OHMS -2E+07"},
        {"DM5010", "OHMS", 3e7, "OHMS;SEND", "+9.9E37"},
        {"DM5010", "", 0, "OHMS 2E+07;FUNCT?", "OHMS 2E+07"},
        {"DM5010", "DCV", 1.5, "DCV 0.2;SEND", "+9.9E37"},
        {"DM5010", "DCV", 1.5, "dcv 2 ; funct?;SEND", "DCV 2;+1.50000E0"},
        // dB: the DM5010's calculation on volts only, the others' functions.
        {"DM5010", "DCV", dbmVolt, "DCV;CALC DBM;FUNCT?;CALC?;SEND", "DCV -2;CALC DBM;+0.00000E0"},
        {"DM5010", "ACV", 7.745967, "ACV;CALC DBM;SEND", "+2.00000E1"},
        {"DM5010", "OHMS", 100.0, "OHMS;CALC DBM;SEND", "+1.00000E2"},
        {"DM5010", "DCV", 2.5, "DCV;CALC DBM|CALC OFF;CALC?;SEND", "CALC OFF;+2.50000E0"},
        {"DM5010", "", 0, "ACV 200;CALC DBM;INIT;FUNCT?;CALC?", "DCV -2;CALC OFF"},
        {"DM5110", "ACV", dbmVolt / 10, "DBM;SEND", "-2.00000E1"},
        {"DM5110", "ACV", 10.0, "DBV;FUNCT?;SEND", "FUNCT DBV;+2.00000E1"},
        {"DM5120", "ACV", 0.1, "ACVDB;FUNCT?;SEND", "FUNCT ACVDB;-2.000000E1"},
        {"DM5120", "ACA", 0.01, "ACADB;SEND", "-4.000000E1"},
        // DM5110 and DM5120: the range as a number, 0 automatic.
        {"DM5110", "", 0, "FUNCT?;RANGE?", "FUNCT DCV;RANGE 0;"},
        {"DM5110", "DCA", 0.0005, "DCA;RANGE3;FUNCT?;RANGE?;SEND", "FUNCT DCA;RANGE 3;+5.00000E-4"},
        {"DM5110", "", 0, "DCV;RANGE4|FUNCT ACV;FUNCT?;RANGE?", "FUNCT ACV;RANGE 0;"},
        {"DM5110", "", 0, "OHMS;RANGE6;RANGE?", "RANGE 6;"},
        {"DM5120", "", 0, "OHMS;RANGE7;RANGE?", "RANGE 7;"},
        {"DM5120", "DCA", 0.0125, "DCA;RANGE2;SEND", "+9.9E37"},
        {"DM5120", "DCA", 0.0125, "DCA;RANGE3;SEND", "+1.250000E-2"},
        {"DM5120", "DCA", 3.5, "DCA;SEND", "+9.9E37"}, // over the top range
        {"DM5120", "ACV", 1.2345678, "ACV;RANGE2;SEND", "+1.234568E0"},
        {"DM5120", "", 0, "aca;Funct?", "FUNCT ACA;"},
        {"DM5110", "", 0, "RANGE2", ""},
        {"DM5110", "", 0, "ID?|FUNCT?", "FUNCT DCV;"}, // an unread answer is dropped
        {"DM5010", "", 0, "ACV 20|DCA;FUNCT?", "ACV 20", Unknown},
        {"DM5010", "", 0, "ACV 20|DCV 2000;DCA;FUNCT?", "ACV 20", Refused},
        {"DM5010", "", 0, "ACV 20|CALC DBV;FUNCT?;CALC?", "ACV 20;CALC OFF", Refused},
        {"DM5010", "", 0, "ACV 20|DCV X;FUNCT?", "ACV 20", Refused},
        {"DM5110", "", 0, "ACV;RANGE3|DIODE;FUNCT?;RANGE?", "FUNCT ACV;RANGE 3;", Unknown},
        {"DM5110", "", 0, "ACV;RANGE3|RANGE6;RANGE?", "RANGE 3;", Refused},
        {"DM5110", "", 0, "ACV;RANGE3|RANGE -1;RANGE?", "RANGE 3;", Refused},
        {"DM5110", "", 0, "ACV;RANGE3|FUNCT DIODE;FUNCT?", "FUNCT ACV;", Refused},
        {"DM5120", "", 0, "ACV;RANGE3|RANGE5;RANGE?", "RANGE 3;", Refused},
        {"DM5120", "", 0, "ACV;RANGE3|RANGE 12345;RANGE?", "RANGE 3;", Refused},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " " + c.sent);
        SimMeterOnBus sim(c.model);
        if (*c.input) {
            ASSERT_TRUE(sim.meter->setSignal(c.input, c.value));
        }
        const QList<QByteArray> sent = QByteArray(c.sent).split('|');
        for (const QByteArray& message : sent) {
            sim.io.write(message);
        }
        EXPECT_EQ(sim.io.read(), *c.answered ? QByteArray(c.answered) + "\r\n" : QByteArray());
        EXPECT_EQ(sim.io.poll(), c.status);
        EXPECT_EQ(sim.io.poll(), 0);
        EXPECT_EQ(sim.meter->log().received(), sent);
    }
    EXPECT_FALSE(SimMeterOnBus("DM5010").meter->setSignal("DCA", 1.0)) << "no current input";
}

TEST(SimMeter, NoiseIsSmallAndRepeatsWithTheSeed)
{
    SimMeterOnBus first("DM5010"), second("DM5010");
    QSet<QByteArray> readings;
    for (SimMeterOnBus* sim : {&first, &second}) {
        sim->meter->setSignal("DCV", 1.0, 0.001);
        sim->meter->seedNoise(42);
    }
    for (int i = 0; i < 20; ++i) {
        const QByteArray reading = first.io.query("SEND");
        EXPECT_EQ(reading, second.io.query("SEND"));
        EXPECT_NEAR(reading.trimmed().toDouble(), 1.0, 0.001);
        readings << reading;
    }
    EXPECT_GT(readings.size(), 10);
}

} // namespace
} // namespace lumodm
