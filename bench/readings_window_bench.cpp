// The readings window's costs, offscreen, in a program of its own (it needs
// a QApplication):
// - AddAndRedraw: one reading told and the chart redrawn with 100,000
//   points held, then (/1, /2) painted; goal under 2 ms of processor time.
// - PeakMemory: the panel with the window after 100,000 readings; the
//   counter peak_rss_mb is the process's peak resident size (goal under
//   60 MB; the panel alone, `lumodm --sim --quit-when-up`, about 32 MB).
// - Run: a run at the 0.5 s rate with the window shown, for
//   LUMODM_BENCH_RUN_SECONDS (default 5) of wall time; goal under 1 % of
//   one core.
#include "bench/run_benchmarks.h"
#include "bench/unattended_platform.h"
#include "bus/bus_connection.h"
#include "bus/drivers/sim/sim_bus.h"
#include "bus/drivers/sim/sim_bus_factory.h"
#include "controls/form1.h"
#include "panel/front_panel.h"
#include "qt/main_window.h"
#include "qt/panel_fonts.h"
#include "qt/qt_platform.h"
#include "qt/readings_toggle.h"
#include "qt/readings_window.h"

#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <ctime>
#include <sys/resource.h>

namespace lumodm {
namespace {

using UnattendedPlatform = Unattended<QtPlatform>;

// A started panel on a simulated DM5010 with its two windows shown.
struct Bench
{
    QTemporaryDir dir;
    UnattendedPlatform platform{dir.filePath(QStringLiteral("settings.ini"))};
    std::unique_ptr<SimulatedBus> bus = createSimulatedBus(QStringLiteral("DM5010@16"), nullptr);
    BusConnection connection{*bus, platform};
    Form1 form;
    FrontPanel panel{form, connection, platform};
    DirectPanelLink link{panel};
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<ReadingsToggle> readings;

    Bench()
    {
        bus->meterAt(16)->setSignal("DCV", 1.234, 0.001);
        panel.Form_Load();
        window = std::make_unique<MainWindow>(link);
        platform.setBeforeEvents([this] { window->syncFromModel(); });
        readings = std::make_unique<ReadingsToggle>(*window, link, platform, QString(),
                                                    &linkedReadingsWindowKit);
        window->show();
        readings->open();
        panel.Form_Activate();
        QCoreApplication::processEvents();
    }
    ReadingsWindow& view() { return *readings->window(); }
};

Reading benchReading(std::int64_t i)
{
    Reading r;
    r.kind = Reading::Kind::Value;
    r.functionCode = QStringLiteral("DCV");
    r.unit = r.baseUnit = QStringLiteral("V");
    r.readoutText = QStringLiteral(" 1.2345");
    r.rawAnswer = QStringLiteral("DCV 1.2345E+0");
    r.valueInBase =
        1.2345 + 1e-4 * std::sin(0.01 * static_cast<double>(i)) + 1e-8 * static_cast<double>(i);
    r.time = std::chrono::system_clock::time_point(std::chrono::milliseconds(500 * i));
    return r;
}

void fill(ReadingsWindow& view, std::int64_t count)
{
    for (std::int64_t i = 0; i < count; ++i) {
        view.readingTaken(benchReading(i));
    }
}

void BM_ReadingsWindowAddAndRedraw(benchmark::State& state)
{
    Bench b;
    fill(b.view(), 100000);
    std::int64_t i = 100000;
    QImage canvas(b.view().size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        b.view().readingTaken(benchReading(i++));
        b.view().redrawChart();
        // 0: no paint; 1: the whole window painted; 2: the chart alone.
        if (state.range(0) == 1) {
            b.view().render(&canvas);
        } else if (state.range(0) == 2) {
            b.view().findChild<QWidget*>(QStringLiteral("Chart"))->render(&canvas);
        }
    }
    state.counters["points"] = static_cast<double>(b.view().model().history().size());
}
BENCHMARK(BM_ReadingsWindowAddAndRedraw)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

void BM_ReadingsWindowPeakMemory(benchmark::State& state)
{
    for (auto _ : state) {
        Bench b;
        fill(b.view(), 100000);
        b.view().redrawChart();
        QImage canvas(b.view().size(), QImage::Format_ARGB32_Premultiplied);
        b.view().render(&canvas);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    }
}
BENCHMARK(BM_ReadingsWindowPeakMemory)->Iterations(1)->Unit(benchmark::kSecond);

double processCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

void BM_ReadingsWindowRun(benchmark::State& state)
{
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("LUMODM_BENCH_RUN_SECONDS", &ok);
    for (auto _ : state) {
        Bench b;
        b.panel.Menu_RR_HalfSec_Click();
        QTimer::singleShot((ok && seconds > 0 ? seconds : 5) * 1000,
                           [&b] { b.window->forwardHandler(&FrontPanel::Button_Stop_Click); });
        const double cpuStart = processCpuSeconds();
        const auto wallStart = std::chrono::steady_clock::now();
        b.window->forwardHandler(&FrontPanel::Button_Run_Click);
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
        state.SetIterationTime(wall);
        state.counters["cpu_percent"] = 100.0 * (processCpuSeconds() - cpuStart) / wall;
        state.counters["readings"] =
            static_cast<double>(b.view().model().statistics().readingsSeen());
        if (b.platform.boxes != 0 || b.view().model().statistics().readingsSeen() == 0) {
            state.SkipWithError("the run did not go cleanly");
        }
    }
}
BENCHMARK(BM_ReadingsWindowRun)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace
} // namespace lumodm

int main(int argc, char** argv)
{
    lumodm::useOffscreenUnlessAsked();
    QApplication app(argc, argv);
    lumodm::installPanelFonts();
    return lumodm::runBenchmarks(argc, argv);
}
