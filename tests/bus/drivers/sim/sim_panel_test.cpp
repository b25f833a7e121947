#include "bus/drivers/sim/sim_bus_factory.h"
#include "meter/function_table.h"
#include "meter/take_reading.h"
#include "panel/front_panel.h"
#include "tests/support/scripted_platform.h"

#include <gtest/gtest.h>

namespace lumodm {
namespace {

using testing::ScriptedPlatform;

// The program's own start-up and handlers, on a simulated bus.
struct SimPanel
{
    std::unique_ptr<SimulatedBus> bus;
    ScriptedPlatform platform;
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
    }

    PanelState& state() { return form.state; }
    SimulatedMeter* meter() { return bus->meterAt(addressOfMeter()); }
    int addressOfMeter()
    {
        int address = 0;
        gpib.ibask(state().DeviceHandle, gpib::IbcPAD, &address);
        return address;
    }

    void start()
    {
        panel.Form_Load();
        panel.Form_Activate();
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

    QString reading()
    {
        TakeReading(panel.meter());
        return form.Label_ReadOut.caption + QLatin1Char('|') + form.Label_Prefix.caption;
    }
};

TEST(SimPanel, DiscoveryAndIdentificationSkipAListenerThatIsNoMeter)
{
    for (const char* other : {"HP3478A", ""}) {
        SimPanel sim("DM5110@16");
        sim.bus->addListener(3, other);
        std::int16_t mode = 1;
        sim.rv.InitGpibBus(mode);
        EXPECT_EQ(sim.rv.ListenerTable[0], 2);
        EXPECT_EQ(sim.rv.ListenerTable[1], 3);
        EXPECT_EQ(sim.rv.ListenerTable[2], 16);

        QString query = QStringLiteral("ID?");
        QString expected = QStringLiteral("!DM");
        std::int16_t device = sim.rv.FindInstrument(query, expected);
        ASSERT_NE(device, 0) << other;
        sim.state().DeviceHandle = device;
        EXPECT_EQ(sim.addressOfMeter(), 16);
        EXPECT_EQ(sim.rv.UnclaimedListeners[0], 1);
        EXPECT_EQ(sim.rv.GpibQuery(device, QStringLiteral("ID?")),
                  QStringLiteral("ID LUMO/DM5110,V79.1 F1.1"));
        EXPECT_TRUE(sim.platform.messages().empty()) << other;
        EXPECT_EQ(sim.bus->deviceAt(3)->log().received(), QList<QByteArray>{"ID?"});
    }
}

TEST(SimPanel, StartUpTakesTheFirstMeterThatIdentifies)
{
    const struct
    {
        const char* spec;
        const char* caption;
        std::int16_t modelCode;
    } cases[] = {
        {"", "Lumo DM5010, v1.1/RV", 1},
        {"DM5110", "Lumo DM5110, v1.1/RV", 2},
        {"DM5120@30", "Lumo DM5120, v1.1/RV", 3},
        {"DM5120@14,DM5010@12", "Lumo DM5010, v1.1/RV", 1},
    };
    for (const auto& c : cases) {
        SimPanel sim(c.spec);
        sim.start();
        EXPECT_EQ(sim.form.caption, QString::fromLatin1(c.caption));
        EXPECT_EQ(sim.state().ModelCode, c.modelCode);
        EXPECT_EQ(sim.state().FunctionCode, QStringLiteral("DCV"));
        EXPECT_EQ(sim.form.Label_Range.caption, QStringLiteral("Auto"));
        EXPECT_TRUE(sim.platform.messages().empty()) << c.spec;
    }
}

TEST(SimPanel, TheWorkedReadingExamplesComeOutOfTheSimulator)
{
    const struct
    {
        const char* spec;
        const char* code;
        int range; // -1: leave automatic
        const char* signal;
        double value;
        const char* shown;
    } cases[] = {
        {"DM5010", "DCV", -1, "DCV", 0.0123456, " 12.34|mV"},
        {"DM5120", "ACV", 2, "ACV", 1.2345678, " 1.23456|V"},
        {"DM5110", "DCA", -1, "DCA", 0.0005, " 0.5000|mA"},
        {"DM5010", "OHMS", -1, "OHMS", 1500, " 1.5000|kOhm"},
        {"DM5110", "DCV", -1, "DCV", 2000, "OVERFLO|V"},
    };
    for (const auto& c : cases) {
        SimPanel sim(c.spec);
        sim.start();
        sim.meter()->setSignal(c.signal, c.value);
        sim.apply(c.code);
        if (c.range >= 0) {
            sim.pickRange(c.range);
        }
        EXPECT_EQ(sim.reading(), QString::fromUtf8(c.shown)) << c.spec << " " << c.code;
        EXPECT_TRUE(sim.platform.messages().empty()) << c.spec << " " << c.code;
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
        {"DM5010", "DCV", "DCV 1000|DCV 200|DCV 20|DCV 2|DCV 0.2|DCV -2"},
        {"DM5010", "ACV", "ACV 1000|ACV 200|ACV 20|ACV 2|ACV 0.2|ACV -2"},
        {"DM5010", "ACDC", "ACDC 1000|ACDC 200|ACDC 20|ACDC 2|ACDC 0.2|ACDC -2"},
        {"DM5010", "OHMS",
         "OHMS 2E+07|OHMS 2000000|OHMS 200000|OHMS 20000|OHMS 2000|OHMS 200|OHMS -200"},
        {"DM5110", "DCV", "RANGE5|RANGE4|RANGE3|RANGE2|RANGE1|RANGE0"},
        {"DM5110", "OHMS", "RANGE6|RANGE5|RANGE4|RANGE3|RANGE2|RANGE1|RANGE0"},
        {"DM5110", "ACA", "RANGE5|RANGE4|RANGE3|RANGE2|RANGE1|RANGE0"},
        {"DM5120", "ACV", "RANGE4|RANGE3|RANGE2|RANGE1|RANGE0"},
        {"DM5120", "OHMS", "RANGE7|RANGE6|RANGE5|RANGE4|RANGE3|RANGE2|RANGE1|RANGE0"},
        {"DM5120", "DCA", "RANGE5|RANGE4|RANGE3|RANGE2|RANGE1|RANGE0"},
    };
    for (const auto& c : cases) {
        SimPanel sim(c.spec);
        sim.start();
        sim.apply(c.code);
        const QStringList commands = QString::fromLatin1(c.commands).split(QLatin1Char('|'));
        const int ranges = sim.form.Combo_Range.listCount() - 1;
        ASSERT_EQ(ranges + 1, commands.size()) << c.spec << " " << c.code;
        for (int range = ranges; range >= 0; --range) {
            sim.pickRange(range);
            EXPECT_EQ(QString::fromLatin1(sim.meter()->log().received().last()),
                      commands[ranges - range]);
            sim.panel.Button_Refresh_Click();
            EXPECT_EQ(sim.form.Combo_Range.listIndex(), range) << c.spec << " " << c.code;
            if (range > 0) {
                EXPECT_EQ(sim.state().RangeNumber, range) << c.spec << " " << c.code;
            } else {
                EXPECT_LE(sim.state().RangeNumber, 0) << "automatic";
                EXPECT_EQ(sim.form.Label_Range.caption, QStringLiteral("Auto"));
            }
        }
        EXPECT_TRUE(sim.platform.messages().empty()) << c.spec << " " << c.code;
    }
}

TEST(SimPanel, FunctionsAppliedReadBackAsTheyWereApplied)
{
    const struct
    {
        const char* spec;
        const char* codes;
    } cases[] = {
        {"DM5010", "DCV ACV OHMS DIODE ACDC DBM_DCV DBM_ACV DCV"},
        {"DM5110", "DCV ACV OHMS DCA ACA DBM DBV DCV"},
        {"DM5120", "DCV ACV OHMS DCA ACA DB_ACV DB_ACA DCV"},
    };
    for (const auto& c : cases) {
        SimPanel sim(c.spec);
        sim.start();
        for (QString code : QString::fromLatin1(c.codes).split(QLatin1Char(' '))) {
            code.replace(QLatin1Char('_'), QLatin1Char(' '));
            sim.apply(code.toLatin1().constData());
            EXPECT_EQ(sim.state().FunctionCode, code) << c.spec;
            EXPECT_EQ(sim.form.Combo_Mode.text(), code) << c.spec;
            EXPECT_EQ(sim.meter()->pendingStatus(), 0) << c.spec << " " << code.toStdString();
        }
        EXPECT_TRUE(sim.platform.messages().empty()) << c.spec;
    }
}

TEST(SimPanel, InitializeBringsBackTheDefaults)
{
    SimPanel sim("DM5010");
    sim.start();
    sim.apply("DBM ACV");
    ASSERT_EQ(sim.state().FunctionCode, QStringLiteral("DBM ACV"));
    sim.platform.queueAnswer(MessageAnswer::Yes);
    sim.panel.Menu_Init_Click();
    EXPECT_EQ(sim.state().FunctionCode, QStringLiteral("DCV"));
    EXPECT_EQ(sim.meter()->log().received().contains("INIT"), true);
}

} // namespace
} // namespace lumodm
