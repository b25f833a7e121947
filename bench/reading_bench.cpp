// One measurement cycle (read-back, "SEND", unit and digits, readout) on the
// simulated bus. The scripted platform's clock jumps over the 0.1 s query
// pauses, so the time measured is the processor's own work per reading.
#include "bus/drivers/sim/sim_bus_factory.h"
#include "bus/vbib32.h"
#include "bus/vbib32rv.h"
#include "controls/form1.h"
#include "meter/function_table.h"
#include "panel/front_panel.h"
#include "tests/support/scripted_platform.h"

#include <benchmark/benchmark.h>
#include <limits>

namespace lumodm {
namespace {

void takeReadingOn(benchmark::State& state, const char* model, MeterModel modelCode,
                   const char* function)
{
    testing::ScriptedPlatform platform;
    platform.maxEventPasses = std::numeric_limits<long>::max();
    auto bus = createSimulatedBus(QString::fromLatin1(model) + QStringLiteral("@16"), nullptr);
    bus->meterAt(16)->setSignal(function, 1.234, 0.001);
    BusConnection connection(*bus, platform);
    Vbib32& gpib = connection.gpib();
    Vbib32Rv& helper = connection.helper();
    Form1 form;
    FrontPanel panel(form, connection, platform);
    form.state.DeviceHandle = gpib.ibdev(0, 16, 0, gpib::T3s, 1, 0);
    form.state.ModelCode = modelCode;
    for (const QString& code : functionListForModel(modelCode)) {
        form.Combo_Mode.addItem(code);
    }
    helper.GpibWrite(form.state.DeviceHandle, QString::fromLatin1(function));
    panel.UpdateFunction();

    for (auto _ : state) {
        panel.TakeReading();
        benchmark::DoNotOptimize(form.Label_ReadOut.caption.constData());
    }
    if (!platform.messages().empty() || form.state.StopRequested) {
        state.SkipWithError("the cycle did not complete cleanly");
    }
}

void BM_TakeReading_Dm5010Dcv(benchmark::State& state)
{
    takeReadingOn(state, "DM5010", MeterModel::DM5010, "DCV");
}
void BM_TakeReading_Dm5110Ohms(benchmark::State& state)
{
    takeReadingOn(state, "DM5110", MeterModel::DM5110, "OHMS");
}
void BM_TakeReading_Dm5120Acv(benchmark::State& state)
{
    takeReadingOn(state, "DM5120", MeterModel::DM5120, "ACV");
}

BENCHMARK(BM_TakeReading_Dm5010Dcv)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TakeReading_Dm5110Ohms)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TakeReading_Dm5120Acv)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace lumodm
