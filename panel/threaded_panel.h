#pragma once

#include "bus/bus_connection.h"
#include "controls/form1.h"
#include "panel/front_panel.h"
#include "panel/panel_link.h"
#include "session/session_platform.h"
#include "session/session_thread.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace lumodm {

// One front panel on a thread of its own: its handlers run there in the
// order the user gave them, and its waits (a query's 0.1 s, the run's
// interval) serve the input that arrives meanwhile, so neither another
// meter nor the window waits for this one's bus calls. The window mirrors
// a copy of the model taken after each handler and before each wait. It
// lives as long as the program: what it hands the window's thread may
// still be queued there after it ended.
class ThreadedPanel : public PanelLink
{
  public:
    // Runs a function on the window's thread, later.
    using ToWindow = std::function<void(std::function<void()>)>;

    // `driver` is this meter's way to the bus (a shared bus's view);
    // `store` keeps the settings; `ask` shows a message box and waits for
    // the answer, on this panel's thread.
    ThreadedPanel(std::unique_ptr<GpibDriver> driver, PlatformServices& store,
                  SessionPlatform::Ask ask, ToWindow toWindow);
    ~ThreadedPanel() override;

    // For setting up before start() (observers), and for handlers.
    FrontPanel& panel() { return panel_; }
    // Told on the window's thread: the model changed; the panel ended,
    // with the status the program would have ended with.
    void setModelChanged(std::function<void()> changed) { changed_ = std::move(changed); }
    void setEnded(std::function<void(int)> ended) { ended_ = std::move(ended); }

    void start();

    void copyModel(Form1& into) const override;
    void run(Handler handler, std::function<void()> done = {}) override;
    void addReadingObserver(ReadingObserver* observer) override;
    void removeReadingObserver(ReadingObserver* observer) override;

  private:
    class QueuedObserver;

    void publish();

    ToWindow toWindow_;
    SessionThread thread_;
    SessionPlatform platform_;
    BusConnection bus_;
    Form1 form_;
    FrontPanel panel_;
    std::function<void()> changed_;
    std::function<void(int)> ended_;
    // Window-thread observers and their stand-ins on the panel's thread.
    std::vector<std::pair<ReadingObserver*, std::shared_ptr<QueuedObserver>>> queued_;

    mutable std::mutex modelMutex_;
    Form1 snapshot_;
    std::atomic<bool> syncQueued_{false};
};

} // namespace lumodm
