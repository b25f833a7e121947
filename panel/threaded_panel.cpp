#include "panel/threaded_panel.h"

namespace lumodm {

// Stands in for a window's observer on the panel's thread: each call goes
// to the window's thread, and none after the window removed its observer.
class ThreadedPanel::QueuedObserver : public ReadingObserver
{
  public:
    QueuedObserver(ReadingObserver* target, ToWindow& toWindow)
        : target_(target), toWindow_(toWindow), alive_(std::make_shared<bool>(true))
    {
    }
    // On the window's thread, as is every delivery.
    void forget() { *alive_ = false; }

    void readingTaken(const Reading& reading) override
    {
        deliver([reading](ReadingObserver& o) { o.readingTaken(reading); });
    }
    void runStarted() override
    {
        deliver([](ReadingObserver& o) { o.runStarted(); });
    }
    void runEnded() override
    {
        deliver([](ReadingObserver& o) { o.runEnded(); });
    }

  private:
    void deliver(std::function<void(ReadingObserver&)> call)
    {
        toWindow_([target = target_, alive = alive_, call = std::move(call)] {
            if (*alive) {
                call(*target);
            }
        });
    }

    ReadingObserver* target_;
    ToWindow& toWindow_;
    std::shared_ptr<bool> alive_;
};

ThreadedPanel::ThreadedPanel(std::unique_ptr<GpibDriver> driver, PlatformServices& store,
                             SessionPlatform::Ask ask, ToWindow toWindow)
    : toWindow_(std::move(toWindow)), platform_(thread_, store, std::move(ask)),
      bus_(std::move(driver), platform_), panel_(form_, bus_, platform_)
{
    platform_.setBeforeEvents([this] { publish(); });
}

ThreadedPanel::~ThreadedPanel()
{
    thread_.stop();
}

void ThreadedPanel::start()
{
    thread_.start([this](int status) {
        publish();
        toWindow_([this, status] {
            if (ended_) {
                ended_(status);
            }
        });
    });
}

void ThreadedPanel::publish()
{
    {
        const std::lock_guard<std::mutex> lock(modelMutex_);
        snapshot_.copyModelFrom(form_);
    }
    // One sync queued at a time: a run's many waits cost the window one.
    if (!syncQueued_.exchange(true)) {
        toWindow_([this] {
            syncQueued_ = false;
            if (changed_) {
                changed_();
            }
        });
    }
}

void ThreadedPanel::copyModel(Form1& into) const
{
    const std::lock_guard<std::mutex> lock(modelMutex_);
    into.copyModelFrom(snapshot_);
}

void ThreadedPanel::addReadingObserver(ReadingObserver* observer)
{
    auto standIn = std::make_shared<QueuedObserver>(observer, toWindow_);
    queued_.emplace_back(observer, standIn);
    run([standIn](FrontPanel& panel) { panel.addReadingObserver(standIn.get()); });
}

void ThreadedPanel::removeReadingObserver(ReadingObserver* observer)
{
    for (auto it = queued_.begin(); it != queued_.end(); ++it) {
        if (it->first == observer) {
            std::shared_ptr<QueuedObserver> standIn = it->second;
            standIn->forget();
            queued_.erase(it);
            // The stand-in lives until the panel has let go of it.
            run([standIn](FrontPanel& panel) { panel.removeReadingObserver(standIn.get()); });
            return;
        }
    }
}

void ThreadedPanel::run(Handler handler, std::function<void()> done)
{
    thread_.post([this, handler = std::move(handler), done = std::move(done)] {
        handler(panel_);
        publish();
        if (done) {
            toWindow_(done);
        }
    });
}

} // namespace lumodm
