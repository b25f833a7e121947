// One measurement cycle (read-back, "SEND", unit and digits, readout) on the
// simulated bus. The scripted platform's clock jumps over the 0.1 s query
// pauses, so the time measured is the processor's own work per reading.
#include "bus/drivers/sim/sim_bus_factory.h"
#include "bus/vbib32.h"
#include "bus/vbib32rv.h"
#include "controls/form1.h"
#include "meter/function_table.h"
#include "meter/meter_context.h"
#include "meter/settings_readback.h"
#include "meter/take_reading.h"
#include "tests/support/scripted_platform.h"

#include <benchmark/benchmark.h>
#include <limits>

namespace lumodm {
namespace {

void takeReadingOn(benchmark::State& state, const char* model, std::int16_t modelCode,
                   const char* function)
{
    testing::ScriptedPlatform platform;
    platform.maxEventPasses = std::numeric_limits<long>::max();
    auto bus = createSimulatedBus(QString::fromLatin1(model) + QStringLiteral("@16"), nullptr);
    bus->meterAt(16)->setSignal(function, 1.234, 0.001);
    Vbib32 gpib(*bus);
    Vbib32Rv helper(gpib, platform);
    Form1 form;
    MeterContext context{form, helper, platform, {}, nullptr};
    form.state.DeviceHandle = gpib.ibdev(0, 16, 0, gpib::T3s, 1, 0);
    form.state.ModelCode = modelCode;
    for (const QString& code : functionListForModel(modelCode)) {
        form.Combo_Mode.addItem(code);
    }
    helper.GpibWrite(form.state.DeviceHandle, QString::fromLatin1(function));
    UpdateFunction(context);

    for (auto _ : state) {
        TakeReading(context);
        benchmark::DoNotOptimize(form.Label_ReadOut.caption.constData());
    }
    if (!platform.messages().empty() || form.state.StopRequested) {
        state.SkipWithError("the cycle did not complete cleanly");
    }
}

void BM_TakeReading_Dm5010Dcv(benchmark::State& state)
{
    takeReadingOn(state, "DM5010", 1, "DCV");
}
void BM_TakeReading_Dm5110Ohms(benchmark::State& state)
{
    takeReadingOn(state, "DM5110", 2, "OHMS");
}
void BM_TakeReading_Dm5120Acv(benchmark::State& state)
{
    takeReadingOn(state, "DM5120", 3, "ACV");
}

BENCHMARK(BM_TakeReading_Dm5010Dcv)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TakeReading_Dm5110Ohms)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TakeReading_Dm5120Acv)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace lumodm
