#include "bus/drivers/sim/sim_bus_factory.h"
#include "meter/function_table.h"
#include "meter/take_reading.h"
#include "panel/front_panel.h"
#include "tests/support/scripted_platform.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

// The program's own start-up and handlers, on a simulated bus.
struct SimPanel
{
    std::unique_ptr<SimulatedBus> bus;
    testing::ScriptedPlatform platform;
    Vbib32 gpib;
    Vbib32Rv rv;
    Form1 form;
    FrontPanel panel;

    explicit SimPanel(const char* spec)
        : bus(createSimulatedBus(QString::fromLatin1(spec), nullptr)), gpib(*bus),
          rv(gpib, platform), panel(form, gpib, rv, platform)
    {
        // Apply without the confirmation box, so any box shown is a fault.
        platform.settings.insert(QStringLiteral("LumoDM/Settings/Confirm Function Change"),
                                 QStringLiteral("False"));
        panel.Form_Load();
        panel.Form_Activate();
    }

    SimulatedMeter* meter()
    {
        int address = 0;
        gpib.ibask(form.state.DeviceHandle, gpib::IbcPAD, &address);
        return bus->meterAt(address);
    }

    void apply(const char* code)
    {
        form.Combo_Mode.setListIndex(findFunction(QString::fromLatin1(code))->listIndex);
        panel.Button_Apply_Click();
    }

    void pickRange(int index)
    {
        panel.Label_Range_DblClick();
        form.Combo_Range.userSelect(index);
    }
};

TEST(SimPanel, TheWorkedReadingExamplesComeOutOfTheFirstMeterFound)
{
    const struct
    {
        const char* spec;
        const char* caption;
        const char* code;
        int range; // -1: leave automatic
        double value;
        const char* shown;
    } cases[] = {
        {"DM5120@14,DM5010@12", "Lumo DM5010, v1.1/RV", "DCV", -1, 0.0123456, " 12.34|mV"},
        {"DM5120@30", "Lumo DM5120, v1.1/RV", "ACV", 2, 1.2345678, " 1.23456|V"},
        {"DM5110", "Lumo DM5110, v1.1/RV", "DCA", -1, 0.0005, " 0.5000|mA"},
        {"DM5010", "Lumo DM5010, v1.1/RV", "OHMS", -1, 1500, " 1.5000|kOhm"},
        {"DM5110", "Lumo DM5110, v1.1/RV", "DCV", -1, 2000, "OVERFLO|V"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.spec) + " " + c.code);
        SimPanel sim(c.spec);
        EXPECT_EQ(sim.form.caption, QString::fromLatin1(c.caption));
        sim.meter()->setSignal(c.code, c.value);
        sim.apply(c.code);
        if (c.range >= 0) {
            sim.pickRange(c.range);
        }
        TakeReading(sim.panel.meter());
        EXPECT_EQ(sim.form.Label_ReadOut.caption + QLatin1Char('|') + sim.form.Label_Prefix.caption,
                  QString::fromUtf8(c.shown));
        EXPECT_TRUE(sim.platform.messages().empty());
    }
}

TEST(SimPanel, EveryRangeRoundTripsThroughTheRangeList)
{
    const struct
    {
        const char* spec;
        const char* code;
        const char* commands; // as the meter received them, highest range first
    } cases[] = {
        {"DM5010", "OHMS",
         "OHMS 2E+07|OHMS 2000000|OHMS 200000|OHMS 20000|OHMS 2000|OHMS 200|OHMS -200"},
        {"DM5110", "OHMS", "RANGE6|RANGE5|RANGE4|RANGE3|RANGE2|RANGE1|RANGE0"},
        {"DM5120", "OHMS", "RANGE7|RANGE6|RANGE5|RANGE4|RANGE3|RANGE2|RANGE1|RANGE0"},
        {"DM5120", "DCA", "RANGE5|RANGE4|RANGE3|RANGE2|RANGE1|RANGE0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.spec) + " " + c.code);
        SimPanel sim(c.spec);
        sim.apply(c.code);
        const QStringList commands = QString::fromLatin1(c.commands).split(QLatin1Char('|'));
        const int ranges = sim.form.Combo_Range.listCount() - 1;
        ASSERT_EQ(ranges + 1, commands.size());
        for (int range = ranges; range >= 0; --range) {
            sim.pickRange(range);
            EXPECT_EQ(QString::fromLatin1(sim.meter()->log().received().last()),
                      commands[ranges - range]);
            sim.panel.Button_Refresh_Click();
            EXPECT_EQ(sim.form.Combo_Range.listIndex(), range);
            if (range > 0) {
                EXPECT_EQ(sim.form.state.RangeNumber, range);
            } else {
                EXPECT_LE(sim.form.state.RangeNumber, 0) << "automatic";
                EXPECT_EQ(sim.form.Label_Range.caption, QStringLiteral("Auto"));
            }
        }
        EXPECT_TRUE(sim.platform.messages().empty());
    }
}

} // namespace
} // namespace lumodm
