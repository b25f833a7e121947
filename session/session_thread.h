#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace lumodm {

// Thrown on a session's thread where the session ends at once (a fatal
// message, the window closed): it unwinds whatever handler was running,
// and the thread runs no further job.
struct SessionEnded : std::runtime_error
{
    explicit SessionEnded(int status) : std::runtime_error("session ended"), exitStatus(status) {}
    int exitStatus;
};

// The thin shell that keeps one meter's work off the window's thread: a
// thread that runs the jobs posted to it (the panel's handlers, the
// reader's run) one after the other. A job that waits serves the jobs
// that arrive meanwhile, nested, as window events once ran inside the
// waits. The work itself is plain code that the tests run without it.
class SessionThread
{
  public:
    using Job = std::function<void()>;

    SessionThread() = default;
    ~SessionThread();
    SessionThread(const SessionThread&) = delete;
    SessionThread& operator=(const SessionThread&) = delete;

    // Starts the thread; `ended` is told on it, with the status, when the
    // session ends (SessionEnded) or is stopped (0).
    void start(std::function<void(int)> ended = {});
    // From any thread. A job posted after the end is dropped.
    void post(Job job);
    // On the thread, inside a job: runs the jobs pending now, or waits for
    // one until `deadline` (now() seconds), whichever comes first. Throws
    // SessionEnded(0) once the session is stopped, so no wait outlives it.
    void serve(double deadline);
    // Ends the session after the running job's next wait, and joins it
    // (unless called from the thread itself).
    void stop();
    bool onThisThread() const { return std::this_thread::get_id() == thread_.get_id(); }

    // Seconds on the monotonic clock, alike on every thread.
    static double now();

  private:
    void loop(const std::function<void(int)>& ended);
    void runPending(std::unique_lock<std::mutex>& lock);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace lumodm
