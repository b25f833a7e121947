// The readings window's costs, offscreen, in a program of its own (it needs
// a QApplication):
// - AddAndRedraw: one reading told and the chart redrawn with 1,000,000
//   readings held, then (/1, /2) painted; goal with the whole window
//   painted (/1) under 4 ms of processor time.
// - ZoomRedraw: with 1,000,000 readings held, a notch of the wheel in or
//   out (/0) or a step of a pan (/1), the chart redrawn and the whole
//   window painted; goal under 16 ms.
// - PeakMemory: the panel with the window after 1,000,000 readings; the
//   counter peak_rss_mb is the process's peak resident size (goal under
//   150 MB; run it alone, the other cases' windows count too).
// - Day: 24 hours at 0.5 s (172,800 readings) on a simulated clock, the
//   chart redrawn and the window painted after each reading (a shown
//   window redraws at most every 0.25 s: each reading at this rate);
//   rss_1h_mb and rss_24h_mb are the resident size after the first hour
//   and at the end, store_mb the readings' store, slowest_redraw_ms the
//   slowest redraw and paint in processor time. It takes a few minutes.
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

#include <QAbstractScrollArea>
#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

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

constexpr std::int64_t kMillion = 1000000;

// One window with a million readings for the cases that share it: filling
// it takes a while. It lives as long as the program.
Bench& million()
{
    static Bench* b = [] {
        auto* bench = new Bench;
        fill(bench->view(), kMillion);
        bench->view().redrawChart();
        return bench;
    }();
    return *b;
}

void BM_ReadingsWindowAddAndRedraw(benchmark::State& state)
{
    Bench& b = million();
    static std::int64_t i = kMillion;
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
    state.counters["readings"] = static_cast<double>(b.view().model().history().readings());
}
BENCHMARK(BM_ReadingsWindowAddAndRedraw)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

void BM_ReadingsWindowZoomRedraw(benchmark::State& state)
{
    Bench& b = million();
    auto* chart =
        qobject_cast<QAbstractScrollArea*>(b.view().findChild<QWidget*>(QStringLiteral("Chart")));
    QWidget* viewport = chart->viewport();
    const QPointF middle(viewport->width() / 2.0, viewport->height() / 2.0);
    const auto mouse = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, viewport->mapToGlobal(at), Qt::MiddleButton, buttons, {});
        QApplication::sendEvent(viewport, &event);
    };
    // Into the middle of the run first, a hundredth of it across.
    for (int k = 0; k < 20; ++k) {
        QWheelEvent in(middle, viewport->mapToGlobal(middle), {}, {0, 120}, Qt::NoButton, {},
                       Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &in);
    }
    if (state.range(0) == 1) {
        mouse(QEvent::MouseButtonPress, middle, Qt::MiddleButton);
    }
    QImage canvas(b.view().size(), QImage::Format_ARGB32_Premultiplied);
    int step = 0;
    for (auto _ : state) {
        const int sign = step++ % 2 == 0 ? 1 : -1;
        if (state.range(0) == 0) {
            QWheelEvent wheel(middle, viewport->mapToGlobal(middle), {}, {0, 120 * sign},
                              Qt::NoButton, {}, Qt::NoScrollPhase, false);
            QApplication::sendEvent(viewport, &wheel);
        } else {
            mouse(QEvent::MouseMove, middle + QPointF(sign > 0 ? 40 : 0, 0), Qt::MiddleButton);
        }
        b.view().render(&canvas);
    }
    if (state.range(0) == 1) {
        mouse(QEvent::MouseButtonRelease, middle, Qt::NoButton);
    }
}
// 0: the wheel, 1: a pan.
BENCHMARK(BM_ReadingsWindowZoomRedraw)
    ->Arg(0)
    ->Arg(1)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

double residentMegabytes()
{
    long pages = 0;
    long resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

double threadCpuMilliseconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void BM_ReadingsWindowPeakMemory(benchmark::State& state)
{
    for (auto _ : state) {
        Bench b;
        fill(b.view(), kMillion);
        b.view().redrawChart();
        QImage canvas(b.view().size(), QImage::Format_ARGB32_Premultiplied);
        b.view().render(&canvas);
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
        state.counters["store_mb"] =
            static_cast<double>(b.view().model().history().memoryBytes()) / 1048576.0;
    }
}
BENCHMARK(BM_ReadingsWindowPeakMemory)->Iterations(1)->Unit(benchmark::kSecond);

void BM_ReadingsWindowDay(benchmark::State& state)
{
    constexpr std::int64_t kHour = 7200; // readings at 0.5 s
    for (auto _ : state) {
        Bench b;
        QImage canvas(b.view().size(), QImage::Format_ARGB32_Premultiplied);
        double slowest = 0.0;
        for (std::int64_t i = 0; i < 24 * kHour; ++i) {
            b.view().readingTaken(benchReading(i));
            const double start = threadCpuMilliseconds();
            b.view().redrawChart();
            b.view().render(&canvas);
            slowest = std::max(slowest, threadCpuMilliseconds() - start);
            // What the labels asked to repaint, as the window's event loop would.
            QCoreApplication::processEvents();
            if (i + 1 == kHour) {
                state.counters["rss_1h_mb"] = residentMegabytes();
            }
        }
        state.counters["rss_24h_mb"] = residentMegabytes();
        state.counters["store_mb"] =
            static_cast<double>(b.view().model().history().memoryBytes()) / 1048576.0;
        state.counters["slowest_redraw_ms"] = slowest;
    }
}
BENCHMARK(BM_ReadingsWindowDay)->Iterations(1)->Unit(benchmark::kSecond);

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
