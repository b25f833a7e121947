// How long the window's thread stalls while its meter's read waits out a
// 3 s timeout. Built as the program builds a panel: a shared bus, the
// panel on a thread of its own, its window mirroring a copy of the model,
// a message box asked through the window's thread (answered here with OK
// and without a box). A run is started, one read made to time out after
// 3 s of real time, and meanwhile the window's thread ticks a 5 ms timer
// and takes a posted click every 20 ms, forwarding it to the panel.
// Prints the longest gap between ticks while the panel is idle, then for
// each repetition the longest gap (goal: under 100 ms), the longest a
// click waited for the window's thread, and the longest it waited to be
// answered by the panel (which runs its handlers after its bus call, so
// that one waits out the timeout).
// Usage: lumodm_window_stall_bench [repetitions]   (default 5; offscreen)
#include "bus/drivers/sim/sim_bus_factory.h"
#include "bus/forwarding_driver.h"
#include "bus/shared_bus.h"
#include "panel/threaded_panel.h"
#include "qt/main_window.h"
#include "qt/qt_platform.h"

#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <thread>
#include <vector>

namespace lumodm {
namespace {

using Clock = std::chrono::steady_clock;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// A bus whose reading's read, once it is told to go silent, times out as
// a board's does: the call returns ERR and TIMO after 3 s of real time.
// Only the reading's: a failed settings query would stop the run.
class TimingOutDriver : public ForwardingDriver
{
  public:
    using ForwardingDriver::ForwardingDriver;

    std::atomic<bool> silent{false};
    std::atomic<double> lastTimeoutMs{0.0};

    int ibwrt(int ud, const char* data, long count) override
    {
        askedForReading_ = QByteArray(data, static_cast<int>(count)).startsWith("SEND");
        return ForwardingDriver::ibwrt(ud, data, count);
    }

    int ibrd(int ud, char* buffer, long count) override
    {
        if (!silent || !askedForReading_) {
            return ForwardingDriver::ibrd(ud, buffer, count);
        }
        // The meter's answer is lost on the way.
        ForwardingDriver::ibrd(ud, buffer, count);
        const Clock::time_point start = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        lastTimeoutMs = msBetween(start, Clock::now());
        status_ = GpibStatus{gpib::ERR | gpib::TIMO, gpib::EABO, 0};
        return status_.ibsta;
    }

  private:
    bool askedForReading_ = false; // the panel's thread's, under the bus lock
};

// Runs the application's events until `done` holds or `seconds` pass.
bool waitFor(const std::function<bool()>& done, double seconds)
{
    const Clock::time_point end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                     std::chrono::duration<double>(seconds));
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        if (done() || Clock::now() > end) {
            loop.quit();
        }
    });
    check.start(5);
    if (!done()) {
        loop.exec();
    }
    return done();
}

void pause(double seconds)
{
    waitFor([] { return false; }, seconds);
}

struct Figures
{
    double longestGapMs = 0;
    int ticks = 0;
    double longestClickTakenMs = 0;
    double longestClickAnsweredMs = 0;
    int clicks = 0;
    double timeoutMs = 0;
};

// The window's thread, watched: a 5 ms timer's gaps and posted clicks.
class Watch
{
  public:
    Watch(QObject& context, MainWindow& window) : context_(context), window_(window)
    {
        ticker_.setTimerType(Qt::PreciseTimer);
        ticker_.setInterval(5);
        QObject::connect(&ticker_, &QTimer::timeout, [this] {
            const Clock::time_point now = Clock::now();
            figures_.longestGapMs = std::max(figures_.longestGapMs, msBetween(lastTick_, now));
            lastTick_ = now;
            ++figures_.ticks;
        });
        clicker_.setInterval(20);
        QObject::connect(&clicker_, &QTimer::timeout, [this] { click(); });
    }

    void start()
    {
        figures_ = {};
        lastTick_ = Clock::now();
        ticker_.start();
        clicker_.start();
    }
    Figures stop()
    {
        ticker_.stop();
        clicker_.stop();
        return figures_;
    }

  private:
    // A click comes as an event posted to the window's thread; it is taken
    // when that thread gets to it, and answered once the panel ran it.
    void click()
    {
        const Clock::time_point posted = Clock::now();
        QMetaObject::invokeMethod(
            &context_,
            [this, posted] {
                figures_.longestClickTakenMs =
                    std::max(figures_.longestClickTakenMs, msBetween(posted, Clock::now()));
                window_.forward([](FrontPanel&) {},
                                [this, posted] {
                                    figures_.longestClickAnsweredMs =
                                        std::max(figures_.longestClickAnsweredMs,
                                                 msBetween(posted, Clock::now()));
                                    ++figures_.clicks;
                                });
            },
            Qt::QueuedConnection);
    }

    QObject& context_;
    MainWindow& window_;
    QTimer ticker_, clicker_;
    Clock::time_point lastTick_;
    Figures figures_;
};

int run(int repetitions)
{
    QTemporaryDir dir;
    QtPlatform store(dir.filePath(QStringLiteral("settings.ini")));
    QObject context; // the window's thread's queue
    const auto toWindow = [&context](std::function<void()> job) {
        QMetaObject::invokeMethod(&context, std::move(job), Qt::QueuedConnection);
    };

    TimingOutDriver driver(createSimulatedBus(QStringLiteral("DM5010@16"), nullptr));
    SharedBus bus(driver);
    std::atomic<int> boxes{0};
    // As the program's: the box is shown on the window's thread, and only
    // the panel's thread waits for the answer. Answered at once with OK;
    // the meter talks again after it.
    const SessionPlatform::Ask ask = [&](const QString&, const QString&, MessageButtons,
                                         MessageIcon) {
        auto answer = std::make_shared<std::promise<MessageAnswer>>();
        std::future<MessageAnswer> answered = answer->get_future();
        toWindow([&, answer] {
            driver.silent = false;
            ++boxes;
            answer->set_value(MessageAnswer::Ok);
        });
        return answered.get();
    };
    ThreadedPanel panel(bus.view(), store, ask, toWindow);
    std::unique_ptr<MainWindow> window;
    panel.setModelChanged([&window] {
        if (window) {
            window->syncFromModel();
        }
    });
    bool loaded = false;
    panel.start();
    panel.run([](FrontPanel& p) { p.Form_Load(); }, [&loaded] { loaded = true; });
    if (!waitFor([&loaded] { return loaded; }, 10)) {
        std::fprintf(stderr, "window_stall_bench: the panel did not load\n");
        return 1;
    }
    window = std::make_unique<MainWindow>(panel);
    window->show();
    if (!waitFor([&window] { return window->formActivated(); }, 10)) {
        std::fprintf(stderr, "window_stall_bench: the panel did not come up\n");
        return 1;
    }

    Watch watch(context, *window);
    // The yardstick: the same timer while the panel is idle.
    watch.start();
    pause(2.0);
    const Figures idle = watch.stop();
    std::printf("idle: longest gap %.1f ms (%d ticks)\n", idle.longestGapMs, idle.ticks);
    std::vector<double> gaps;
    for (int n = 0; n < repetitions; ++n) {
        const int boxesBefore = boxes;
        bool ended = false;
        watch.start();
        window->forward([](FrontPanel& p) { p.Button_Run_Click(); }, [&ended] { ended = true; });
        pause(1.0);
        driver.silent = true;
        const bool timedOut = waitFor([&] { return boxes > boxesBefore; }, 10);
        pause(1.0);
        window->forwardHandler(&FrontPanel::Button_Stop_Click);
        const bool stopped = waitFor([&ended] { return ended; }, 10);
        const Figures f = watch.stop();
        if (!timedOut || !stopped) {
            std::fprintf(stderr, "window_stall_bench: the read did not time out or the run "
                                 "did not stop\n");
            return 1;
        }
        std::printf("repetition %d: longest stall %.1f ms (%d ticks); a click taken within "
                    "%.2f ms, answered within %.0f ms (%d clicks); the read waited %.0f ms\n",
                    n + 1, f.longestGapMs, f.ticks, f.longestClickTakenMs, f.longestClickAnsweredMs,
                    f.clicks, driver.lastTimeoutMs.load());
        std::fflush(stdout);
        gaps.push_back(f.longestGapMs);
    }
    std::sort(gaps.begin(), gaps.end());
    std::printf("longest stall of the window's thread: median %.1f ms over %d (%.1f-%.1f); "
                "goal under 100 ms\n",
                gaps[gaps.size() / 2], repetitions, gaps.front(), gaps.back());
    window.reset();
    return 0;
}

} // namespace
} // namespace lumodm

int main(int argc, char** argv)
{
    // No display needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    const int repetitions = std::clamp(argc > 1 ? std::atoi(argv[1]) : 5, 1, 100);
    return lumodm::run(repetitions);
}
