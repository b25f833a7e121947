#include "bus/drivers/sim/sim_bus.h"
#include "bus/drivers/sim/sim_meter_factory.h"
#include "tests/bus/drivers/sim/sim_exchange.h"

#include <cmath>
#include <gtest/gtest.h>

namespace lumodm {
namespace {

using testing::SimExchange;

struct SimMeterOnBus
{
    SimulatedBus bus;
    SimulatedMeter* meter;
    SimExchange io;

    explicit SimMeterOnBus(const char* model)
        : meter(bus.addMeter(createSimulatedMeter(model), 16)), io(bus, 16)
    {
    }

    QByteArray ask(const QByteArray& command) { return io.query(command).chopped(2); }
};

TEST(SimReading, AutomaticRangeNamesTheRangeThePresentInputFallsIn)
{
    const struct
    {
        const char* function;
        double input;
        const char* functAnswer;
        const char* reading;
    } cases[] = {
        {"DCV", 0.05, "DCV -0.2", "+5.00000E-2"},
        {"DCV", 0.2, "DCV -2", "+2.00000E-1"}, // full scale belongs to the next range
        {"DCV", -1.5, "DCV -2", "-1.50000E0"},
        {"ACV", 19.99, "ACV -20", "+1.99900E1"},
        {"ACDC", 150.0, "ACDC -200", "+1.50000E2"},
        {"DCV", 999.0, "DCV -1000", "+9.99000E2"},
        {"DCV", 1000.0, "DCV -1000", "+9.9E37"}, // beyond the top range
        {"OHMS", 150.0, "OHMS -200", "+1.50000E2"},
        {"OHMS", 1500.0, "OHMS -2000", "+1.50000E3"},
        {"OHMS", 1.5e7, "OHMS -2E+07", "+1.50000E7"},
        {"OHMS", 3e7, "OHMS -2E+07", "+9.9E37"},
    };
    for (const auto& c : cases) {
        SimMeterOnBus sim("DM5010");
        sim.meter->setSignal(c.function, c.input);
        sim.io.write(c.function);
        EXPECT_EQ(sim.ask("FUNCT?"), QByteArray(c.functAnswer)) << c.function << " " << c.input;
        EXPECT_EQ(sim.ask("SEND"), QByteArray(c.reading)) << c.function << " " << c.input;
    }
}

TEST(SimReading, AFixedRangeTooSmallForTheInputReadsOverRange)
{
    SimMeterOnBus dm5010("DM5010");
    dm5010.meter->setSignal("DCV", 1.5);
    dm5010.io.write("DCV 0.2");
    EXPECT_EQ(dm5010.ask("SEND"), QByteArray("+9.9E37"));
    dm5010.io.write("DCV 2");
    EXPECT_EQ(dm5010.ask("SEND"), QByteArray("+1.50000E0"));
    dm5010.io.write("DCV 1000");
    EXPECT_EQ(dm5010.ask("SEND"), QByteArray("+1.50000E0")) << "a larger range still reads";

    SimMeterOnBus dm5120("DM5120");
    dm5120.meter->setSignal("DCA", 0.0125);
    dm5120.io.write("DCA;RANGE2");
    EXPECT_EQ(dm5120.ask("SEND"), QByteArray("+9.9E37"));
    dm5120.io.write("RANGE3");
    EXPECT_EQ(dm5120.ask("SEND"), QByteArray("+1.250000E-2"));
    dm5120.io.write("RANGE0");
    dm5120.ask("SEND");
    EXPECT_EQ(dm5120.meter->measure().range, 3) << "automatic picks the range that fits";
}

TEST(SimReading, ReadingsAreInTheBaseUnit)
{
    SimMeterOnBus dm5110("DM5110");
    dm5110.meter->setSignal("DCA", 0.0005); // 0.5 mA, answered in ampere
    dm5110.io.write("DCA");
    EXPECT_EQ(dm5110.ask("SEND"), QByteArray("+5.00000E-4"));
    EXPECT_EQ(dm5110.ask("RANGE?"), QByteArray("RANGE 0;"));

    SimMeterOnBus dm5120("DM5120");
    dm5120.meter->setSignal("ACV", 1.2345678);
    dm5120.io.write("ACV;RANGE2");
    EXPECT_EQ(dm5120.ask("SEND"), QByteArray("+1.234568E0")) << "seven digits";
}

TEST(SimReading, DecibelFunctionsMeasureTheirBaseSignal)
{
    const struct
    {
        const char* model;
        const char* base;
        double input;
        const char* selected;
        double decibels;
    } cases[] = {
        {"DM5010", "DCV", std::sqrt(0.6), "DCV;CALC DBM", 0.0},
        {"DM5010", "ACV", 7.745967, "ACV;CALC DBM", 20.0},
        {"DM5110", "ACV", std::sqrt(0.6) / 10, "DBM", -20.0},
        {"DM5110", "ACV", 10.0, "DBV", 20.0},
        {"DM5120", "ACV", 0.1, "ACVDB", -20.0},
        {"DM5120", "ACA", 0.01, "ACADB", -40.0},
    };
    for (const auto& c : cases) {
        SimMeterOnBus sim(c.model);
        sim.meter->setSignal(c.base, c.input);
        sim.io.write(c.selected);
        const double got = sim.ask("SEND").toDouble();
        EXPECT_NEAR(got, c.decibels, 1e-4) << c.model << " " << c.selected;
    }

    // The dBm calculation leaves the ohms reading alone, and CALC OFF ends it.
    SimMeterOnBus dm5010("DM5010");
    dm5010.meter->setSignal("OHMS", 100.0);
    dm5010.io.write("OHMS;CALC DBM");
    EXPECT_EQ(dm5010.ask("SEND"), QByteArray("+1.00000E2"));
    dm5010.meter->setSignal("DCV", 2.5);
    dm5010.io.write("DCV;CALC OFF");
    EXPECT_EQ(dm5010.ask("SEND"), QByteArray("+2.50000E0"));
}

TEST(SimReading, NoiseIsSmallAndRepeatsWithTheSeed)
{
    SimMeterOnBus first("DM5010");
    SimMeterOnBus second("DM5010");
    for (SimMeterOnBus* sim : {&first, &second}) {
        sim->meter->setSignal("DCV", 1.0, 0.001);
        sim->meter->seedNoise(42);
    }
    bool varies = false;
    QByteArray previous;
    for (int i = 0; i < 50; ++i) {
        const QByteArray a = first.ask("SEND");
        EXPECT_EQ(a, second.ask("SEND"));
        EXPECT_NEAR(a.toDouble(), 1.0, 0.001);
        varies = varies || (i > 0 && a != previous);
        previous = a;
    }
    EXPECT_TRUE(varies);
    EXPECT_FALSE(first.meter->setSignal("DCA", 1.0)) << "the DM5010 has no current input";
}

} // namespace
} // namespace lumodm
