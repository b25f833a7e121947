// The run loop's cost in real time: a simulated DM5010 read at the 0.5 s
// rate through the real QtCore platform (blocking event passes, monotonic
// clock), so the processor time measured is what a running panel costs.
// The run lasts LUMODM_BENCH_RUN_SECONDS (default 5) of wall time; the goal
// is well under 1 % of one core.
#include "bench/unattended_platform.h"
#include "bus/drivers/sim/sim_bus_factory.h"
#include "bus/vbib32.h"
#include "bus/vbib32rv.h"
#include "controls/form1.h"
#include "meter/reading.h"
#include "panel/front_panel.h"
#include "platform/qt_core_platform.h"

#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>

namespace lumodm {
namespace {

using UnattendedPlatform = Unattended<QtCorePlatform>;

class ReadingCounter : public ReadingObserver
{
  public:
    long readings = 0;
    void readingTaken(const Reading&) override { ++readings; }
};

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

int runSeconds()
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("LUMODM_BENCH_RUN_SECONDS", &ok);
    return ok && seconds > 0 ? seconds : 5;
}

void BM_PanelRunLoop_Dm5010HalfSecond(benchmark::State& state)
{
    const int seconds = runSeconds();
    for (auto _ : state) {
        QTemporaryDir dir;
        UnattendedPlatform platform(dir.filePath(QStringLiteral("settings.ini")));
        auto bus = createSimulatedBus(QStringLiteral("DM5010@16"), nullptr);
        bus->meterAt(16)->setSignal("DCV", 1.234, 0.001);
        BusConnection connection(*bus, platform);
        Form1 form;
        FrontPanel panel(form, connection, platform);
        ReadingCounter counter;
        panel.addReadingObserver(&counter);
        panel.Form_Load();
        panel.Form_Activate();
        panel.Menu_RR_HalfSec_Click();

        // The user's Stop click, from the event loop like a real one.
        QTimer::singleShot(seconds * 1000, [&panel] { panel.Button_Stop_Click(); });
        const double cpuStart = processCpuSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        panel.Button_Run_Click();
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        const double cpu = processCpuSeconds() - cpuStart;

        state.SetIterationTime(wall);
        state.counters["cpu_percent"] = 100.0 * cpu / wall;
        state.counters["readings"] = static_cast<double>(counter.readings);
        state.counters["wall_s"] = wall;
        if (platform.boxes != 0 || counter.readings == 0) {
            state.SkipWithError("the run did not go cleanly");
        }
    }
}
BENCHMARK(BM_PanelRunLoop_Dm5010HalfSecond)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);

} // namespace
} // namespace lumodm
