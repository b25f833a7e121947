#pragma once

#include "bus/gpib_driver.h"

#include <functional>
#include <memory>
#include <mutex>

namespace lumodm {

// One bus connection (a board, an adapter or the simulated bus) shared by
// several meter sessions, each on a thread of its own. Every driver call
// is atomic: one session's call runs whole before another's, and the
// status it leaves is taken under the same lock, so a session tests the
// status of its own call, never another meter's. Nothing holds the bus
// between calls: a query's 0.1 s wait lets the other meters talk.
class SharedBus
{
  public:
    explicit SharedBus(GpibDriver& driver);
    SharedBus(const SharedBus&) = delete;
    SharedBus& operator=(const SharedBus&) = delete;

    // A driver for one session; it never closes the shared one.
    std::unique_ptr<GpibDriver> view();

    // Told, on its own thread, by each session whose call finds the
    // connection lost (an adapter unplugged), so that the loss ends the
    // sessions with one message rather than each meter reporting it. It
    // need not return. Unset, a loss is each call's error.
    void setLostHandler(std::function<void()> handler) { lost_ = std::move(handler); }

    // Closes the driver once no call is running; later calls fail.
    void close();

  private:
    class View;

    GpibDriver& driver_;
    std::mutex mutex_;
    bool closed_ = false;
    std::function<void()> lost_;
};

} // namespace lumodm
