#include "tests/bus/drivers/sim/sim_exchange.h"

#include <cmath>

namespace lumodm {
namespace {

using testing::SimMeterOnBus;

TEST(SimReading, TheRangeFollowsTheInputOrReadsOverRangeWhenFixedTooSmall)
{
    const struct
    {
        const char* model;
        const char* selected;
        double input;
        const char* functAnswer; // nullptr: not asked
        const char* reading;
    } cases[] = {
        {"DM5010", "DCV", 0.05, "DCV -0.2", "+5.00000E-2"},
        {"DM5010", "DCV", 0.2, "DCV -2", "+2.00000E-1"}, // full scale belongs to the next range
        {"DM5010", "DCV", -1.5, "DCV -2", "-1.50000E0"},
        {"DM5010", "ACV", 19.99, "ACV -20", "+1.99900E1"},
        {"DM5010", "ACDC", 150.0, "ACDC -200", "+1.50000E2"},
        {"DM5010", "DCV", 999.0, "DCV -1000", "+9.99000E2"},
        {"DM5010", "DCV", 1000.0, "DCV -1000", "+9.9E37"}, // beyond the top range
        {"DM5010", "OHMS", 1500.0, "OHMS -2000", "+1.50000E3"},
        {"DM5010", "OHMS", 1.5e7, "OHMS -2E+07", "+1.50000E7"},
        {"DM5010", "OHMS", 3e7, "OHMS -2E+07", "+9.9E37"},
        {"DM5010", "DCV 0.2", 1.5, nullptr, "+9.9E37"},
        {"DM5010", "DCV 2", 1.5, "DCV 2", "+1.50000E0"},
        {"DM5010", "DCV 1000", 1.5, nullptr, "+1.50000E0"},
        {"DM5110", "DCA", 0.0005, "FUNCT DCA;", "+5.00000E-4"}, // in ampere
        {"DM5120", "DCA;RANGE2", 0.0125, nullptr, "+9.9E37"},
        {"DM5120", "DCA;RANGE3", 0.0125, nullptr, "+1.250000E-2"},
        {"DM5120", "ACV;RANGE2", 1.2345678, nullptr, "+1.234568E0"}, // seven digits
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " " + c.selected + " " + std::to_string(c.input));
        SimMeterOnBus sim(c.model);
        const QByteArray selected(c.selected);
        sim.meter->setSignal(selected.split(';').first().split(' ').first(), c.input);
        sim.io.write(selected);
        if (c.functAnswer) {
            EXPECT_EQ(sim.ask("FUNCT?"), QByteArray(c.functAnswer));
        }
        EXPECT_EQ(sim.ask("SEND"), QByteArray(c.reading));
    }
    SimMeterOnBus dm5120("DM5120");
    dm5120.meter->setSignal("DCA", 0.0125);
    dm5120.io.write("DCA");
    dm5120.ask("SEND");
    EXPECT_EQ(dm5120.meter->measure().range, 3) << "automatic picks the range that fits";
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
        {"DM5010", "OHMS", 100.0, "OHMS;CALC DBM", 100.0}, // ohms stay ohms
        {"DM5010", "DCV", 2.5, "DCV;CALC DBM;CALC OFF", 2.5},
        {"DM5110", "ACV", std::sqrt(0.6) / 10, "DBM", -20.0},
        {"DM5110", "ACV", 10.0, "DBV", 20.0},
        {"DM5120", "ACV", 0.1, "ACVDB", -20.0},
        {"DM5120", "ACA", 0.01, "ACADB", -40.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.model) + " " + c.selected);
        SimMeterOnBus sim(c.model);
        sim.meter->setSignal(c.base, c.input);
        sim.io.write(c.selected);
        EXPECT_NEAR(sim.ask("SEND").toDouble(), c.decibels, 1e-4);
    }
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
