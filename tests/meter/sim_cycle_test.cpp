// Whole measurement cycles against the built-in simulated meters: the
// command texts, answers and timing of the real bus path.
#include "meter/settings_readback.h"
#include "meter/take_reading.h"
#include "tests/meter/scripted_meter.h"
#include "tests/support/panel_fixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lumodm::testing {
namespace {

// Base units per displayed unit ("Ohm" and the dB units have no prefix).
double unitFactor(const QString& unit)
{
    if (unit.size() < 2 || unit == QLatin1String("Ohm") || unit.startsWith(QLatin1Char('d'))) {
        return 1.0;
    }
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
        return 1.0;
    }
}

class SimCycle : public ::testing::TestWithParam<const char*>
{
};

TEST_P(SimCycle, EveryFunctionReadsBackAndMeasures)
{
    PanelFixture f(QStringLiteral("%1@16").arg(QLatin1String(GetParam())));
    f.start();
    RecordingObserver observer;
    MeterContext context{f.form, f.helper, f.platform, {}, &observer};
    context.stopRun = [&f] { Button_Stop_Click(f.form); };
    const std::int16_t model = f.state().ModelCode;
    ASSERT_GT(model, 0);
    // Inputs within a middle range of every function.
    for (const char* input : {"DCV", "ACV", "ACDC", "DIODE"}) {
        f.meter()->setSignal(input, 0.75);
    }
    f.meter()->setSignal("OHMS", 1500.0);
    f.meter()->setSignal("DCA", 0.0015);
    f.meter()->setSignal("ACA", 0.0015);

    for (const QString& code : functionListForModel(model)) {
        SCOPED_TRACE(code.toStdString());
        observer.records.clear();
        // What Apply sends, then the read-back.
        const QString command = functionCommand(code);
        f.helper.GpibWrite(f.state().DeviceHandle, command);
        if (needsCalcOff(command, model)) {
            f.helper.GpibWrite(f.state().DeviceHandle, QStringLiteral("CALC OFF"));
        }
        UpdateFunction(context);
        const FunctionRow* row = findFunction(code);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(f.state().FunctionCode, code);
        EXPECT_EQ(f.form.Combo_Mode.text(), code);
        EXPECT_EQ(f.form.Label_Func.caption, QString::fromUtf8(row->description));
        EXPECT_EQ(f.form.Combo_Range.listCount(), 1 + row->fixedRanges[model]);

        TakeReading(context);

        EXPECT_TRUE(f.platform.messages().empty());
        ASSERT_EQ(observer.records.size(), 1U);
        const ReadingRecord& r = observer.records.front();
        EXPECT_EQ(r.kind, ReadingRecord::Kind::Value) << r.rawAnswer.toStdString();
        EXPECT_EQ(r.readoutText, f.form.Label_ReadOut.caption);
        EXPECT_EQ(r.unit, f.form.Label_Prefix.caption);
        const double base = r.value * unitFactor(r.unit);
        const bool current = code == QLatin1String("DCA") || code == QLatin1String("ACA");
        const double expected = code == QLatin1String("OHMS") ? 1500.0 : current ? 0.0015 : 0.75;
        if (row->fixedRanges[model] > 0) {
            EXPECT_NEAR(base, expected, expected * 1e-4) << r.readoutText.toStdString();
            EXPECT_TRUE(r.rangeNumber.has_value());
        } else {
            EXPECT_TRUE(std::isfinite(r.value));
            EXPECT_FALSE(r.rangeNumber.has_value());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Models, SimCycle, ::testing::Values("DM5010", "DM5110", "DM5120"),
                         [](const auto& info) { return std::string(info.param); });

} // namespace
} // namespace lumodm::testing
