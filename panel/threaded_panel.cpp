#include "panel/threaded_panel.h"

namespace lumodm {

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
