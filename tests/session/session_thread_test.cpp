#include "bus/drivers/driver_factory.h"
#include "bus/shared_bus.h"
#include "panel/threaded_panel.h"
#include "platform/event_wait.h"
#include "session/session_platform.h"
#include "tests/support/scripted_platform.h"

#include <condition_variable>
#include <deque>
#include <future>
#include <gtest/gtest.h>
#include <mutex>

namespace lumodm::testing {
namespace {

// What a session's thread hands "the window": run by the test's thread
// when it asks for it, so nothing depends on how the threads interleave.
class WindowQueue
{
  public:
    void post(std::function<void()> job)
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        jobs_.push_back(std::move(job));
        ready_.notify_all();
    }
    std::size_t pending()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return jobs_.size();
    }
    // Runs what the session handed over until `done()` holds.
    void runUntil(const std::function<bool()>& done)
    {
        while (!done()) {
            std::unique_lock<std::mutex> lock(mutex_);
            ASSERT_TRUE(
                ready_.wait_for(lock, std::chrono::seconds(60), [this] { return !jobs_.empty(); }));
            std::function<void()> job = std::move(jobs_.front());
            jobs_.pop_front();
            lock.unlock();
            job();
        }
    }

  private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> jobs_;
};

// Counts readings where the panel tells them: on the panel's thread.
struct ReadingCounter : ReadingObserver
{
    void readingTaken(const Reading&) override
    {
        const std::lock_guard<std::mutex> lock(mutex);
        ++count;
        counted.notify_all();
    }
    bool reaches(int n)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return counted.wait_for(lock, std::chrono::seconds(60), [&] { return count >= n; });
    }
    std::mutex mutex;
    std::condition_variable counted;
    int count = 0;
};

// A wait on the session's thread serves what was posted meanwhile, nested;
// the end of the program unwinds the session alone; a stop ends any wait.
TEST(SessionThread, WaitsServeLaterJobsAndEndsUnwind)
{
    ScriptedPlatform store;
    SessionThread thread;
    SessionPlatform platform(thread, store, [](auto&&...) { return MessageAnswer::Cancel; });
    std::promise<int> ended;
    thread.start([&ended](int status) { ended.set_value(status); });
    // A wait blocks rather than spins: a few passes for 20 ms.
    int passes = 0;
    platform.setBeforeEvents([&passes] { ++passes; });
    std::promise<void> waited;
    thread.post([&] {
        waitServingInput(platform, 0.02);
        waited.set_value();
    });
    waited.get_future().wait();
    EXPECT_LT(passes, 5);
    platform.setBeforeEvents({});
    std::vector<std::string> order;
    std::promise<void> first;
    thread.post([&] {
        order.push_back("handler");
        thread.post([&] { order.push_back("nested"); });
        platform.processEvents(platform.now() + 3600); // returns once "nested" ran
        order.push_back(platform.messageBox("?", "t", MessageButtons::OkCancel,
                                            MessageIcon::Question) == MessageAnswer::Cancel
                            ? "asked"
                            : "?");
        first.set_value();
    });
    first.get_future().wait();
    EXPECT_EQ(order, (std::vector<std::string>{"handler", "nested", "asked"}));

    thread.post([&] {
        thread.post([&] { platform.endProgram(7); });
        platform.processEvents(platform.now() + 3600);
        order.push_back("not after the end");
    });
    EXPECT_EQ(ended.get_future().get(), 7);
    thread.post([&] { order.push_back("not after the end"); });
    thread.stop();
    EXPECT_EQ(order.size(), 3U);

    SessionThread waiting;
    waiting.start();
    std::promise<void> inWait;
    SessionPlatform waitingPlatform(waiting, store, {});
    waiting.post([&] {
        inWait.set_value();
        waitingPlatform.processEvents(waitingPlatform.now() + 3600);
    });
    inWait.get_future().wait();
    waiting.stop(); // would hang for the hour if the wait outlived it
}

// A panel on its own thread behind a shared bus: the window sees its model
// after each handler and learns when a handler is done, and a user's Stop
// reaches a run that is waiting.
TEST(ThreadedPanel, RunsHandlersOffTheWindowsThread)
{
    ScriptedPlatform store;
    store.settings.insert(QStringLiteral("LumoDM/Settings/Refresh Rate"), QStringLiteral(".5"));
    DriverSpec spec;
    spec.kind = DriverSpec::Kind::Simulated;
    DriverCreation sim = createDriver(spec, QStringLiteral("lumodm"), std::cerr);
    ASSERT_TRUE(sim.ok());
    SharedBus bus(*sim.driver);
    WindowQueue window;
    ThreadedPanel panel(
        bus.view(), store, [](auto&&...) { return MessageAnswer::Ok; },
        [&window](std::function<void()> job) { window.post(std::move(job)); });
    ReadingCounter counter;
    panel.panel().addReadingObserver(&counter);
    panel.start();
    bool up = false;
    // Activation follows the load once it is done, as the window's first
    // showing does: handed over earlier, it would run inside the load's
    // waits, as any input does.
    panel.run([](FrontPanel& p) { p.Form_Load(); },
              [&] { panel.run([](FrontPanel& p) { p.Form_Activate(); }, [&up] { up = true; }); });
    window.runUntil([&up] { return up; });
    Form1 seen;
    panel.copyModel(seen);
    EXPECT_EQ(seen.caption, "Lumo DM5010, v1.1/RV");
    EXPECT_EQ(seen.Combo_Mode.text(), "DCV");

    panel.run([](FrontPanel& p) { p.Button_Run_Click(); });
    // The window's thread runs nothing meanwhile, as under a file dialog
    // or another panel's box: the run goes on regardless.
    EXPECT_TRUE(counter.reaches(2));
    // However many waits, the window is handed one copy of the model to
    // draw at a time.
    EXPECT_EQ(window.pending(), 1U);
    window.runUntil([&] {
        panel.copyModel(seen);
        return seen.Label_ReadOut.caption.startsWith(' ');
    });
    panel.run([](FrontPanel& p) { p.Button_Stop_Click(); });
    // The run's loop ends in its wait and clears the request.
    window.runUntil([&] {
        panel.copyModel(seen);
        return seen.Label_RunStop.caption == "Stopped" && seen.state.StopRequested == kFalse;
    });
    EXPECT_EQ(seen.Label_ReadOut.caption, "-------");
}

} // namespace
} // namespace lumodm::testing
