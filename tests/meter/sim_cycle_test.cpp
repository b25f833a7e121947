// Whole measurement cycles against the built-in simulated meters: the
// command texts, answers and timing of the real bus path.
#include "bus/drivers/sim/sim_bus_factory.h"
#include "meter/settings_readback.h"
#include "meter/take_reading.h"
#include "tests/meter/scripted_meter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace lumodm::testing {
namespace {

constexpr int kAddress = 16;

struct SimPanel
{
    ScriptedPlatform platform;
    std::unique_ptr<SimulatedBus> bus;
    std::unique_ptr<Vbib32> gpib;
    std::unique_ptr<Vbib32Rv> helper;
    Form1 form;
    RecordingObserver observer;
    std::unique_ptr<MeterContext> context;

    SimPanel(const char* model, std::int16_t modelCode)
    {
        QString error;
        bus = createSimulatedBus(QStringLiteral("%1@%2").arg(QLatin1String(model)).arg(kAddress),
                                 &error);
        if (!bus) {
            ADD_FAILURE() << error.toStdString();
            return;
        }
        gpib = std::make_unique<Vbib32>(*bus);
        helper = std::make_unique<Vbib32Rv>(*gpib, platform);
        context =
            std::make_unique<MeterContext>(MeterContext{form, *helper, platform, {}, &observer});
        context->stopRun = [this] { Button_Stop_Click(form); };
        form.state.DeviceHandle = gpib->ibdev(0, kAddress, 0, gpib::T3s, 1, 0);
        form.state.ModelCode = modelCode;
        form.state.ModelName = QString::fromLatin1(model);
        for (const QString& code : functionListForModel(modelCode)) {
            form.Combo_Mode.addItem(code);
        }
    }

    SimulatedMeter& meter() { return *bus->meterAt(kAddress); }

    // What Apply sends, then the read-back.
    void select(const QString& code)
    {
        const QString command = functionCommand(code);
        helper->GpibWrite(form.state.DeviceHandle, command);
        if (needsCalcOff(command, form.state.ModelCode)) {
            helper->GpibWrite(form.state.DeviceHandle, QStringLiteral("CALC OFF"));
        }
        UpdateFunction(*context);
    }
};

// Base units per displayed unit.
double unitFactor(const QString& unit)
{
    if (unit.size() > 1 && unit != QLatin1String("Ohm") && !unit.startsWith(QLatin1Char('d'))) {
        switch (unit.front().unicode()) {
        case 'm':
            return 1e-3;
        case 0x00B5:
            return 1e-6;
        case 'k':
            return 1e3;
        case 'M':
            return 1e6;
        default:
            break;
        }
    }
    return 1.0;
}

struct ModelUnderTest
{
    const char* name;
    std::int16_t code;
};

void PrintTo(const ModelUnderTest& m, std::ostream* os)
{
    *os << m.name;
}

class SimCycle : public ::testing::TestWithParam<ModelUnderTest>
{
};

TEST_P(SimCycle, EveryFunctionReadsBackAndMeasures)
{
    const ModelUnderTest& m = GetParam();
    SimPanel panel(m.name, m.code);
    ASSERT_TRUE(panel.context);
    // Inputs within a middle range of every function.
    for (const char* input : {"DCV", "ACV", "ACDC", "DIODE"}) {
        panel.meter().setSignal(input, 0.75);
    }
    panel.meter().setSignal("OHMS", 1500.0);
    panel.meter().setSignal("DCA", 0.0015);
    panel.meter().setSignal("ACA", 0.0015);

    for (const QString& code : functionListForModel(m.code)) {
        SCOPED_TRACE(code.toStdString());
        panel.observer.records.clear();
        panel.select(code);
        const FunctionRow* row = findFunction(code);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(panel.form.state.FunctionCode, code);
        EXPECT_EQ(panel.form.Combo_Mode.text(), code);
        EXPECT_EQ(panel.form.Label_Func.caption, QString::fromUtf8(row->description));
        EXPECT_EQ(panel.form.Combo_Range.listCount(), 1 + row->fixedRanges[m.code]);

        TakeReading(*panel.context);

        EXPECT_TRUE(panel.platform.messages().empty());
        ASSERT_EQ(panel.observer.records.size(), 1U);
        const ReadingRecord& r = panel.observer.records.front();
        EXPECT_EQ(r.kind, ReadingRecord::Kind::Value) << r.rawAnswer.toStdString();
        EXPECT_EQ(r.readoutText, panel.form.Label_ReadOut.caption);
        EXPECT_EQ(r.unit, panel.form.Label_Prefix.caption);
        const double base = r.value * unitFactor(r.unit);
        const bool current = code == QLatin1String("DCA") || code == QLatin1String("ACA");
        const double expected = code == QLatin1String("OHMS") ? 1500.0 : current ? 0.0015 : 0.75;
        if (row->fixedRanges[m.code] > 0) {
            EXPECT_NEAR(base, expected, expected * 1e-4) << r.readoutText.toStdString();
            EXPECT_GT(std::abs(r.rangeNumber), 0);
        } else {
            EXPECT_TRUE(std::isfinite(r.value));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Models, SimCycle,
                         ::testing::Values(ModelUnderTest{"DM5010", 1}, ModelUnderTest{"DM5110", 2},
                                           ModelUnderTest{"DM5120", 3}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace lumodm::testing
