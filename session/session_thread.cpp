#include "session/session_thread.h"

#include <chrono>

namespace lumodm {

SessionThread::~SessionThread()
{
    stop();
}

double SessionThread::now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SessionThread::start(std::function<void(int)> ended)
{
    thread_ = std::thread([this, ended = std::move(ended)] { loop(ended); });
}

void SessionThread::post(Job job)
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) {
            return;
        }
        jobs_.push_back(std::move(job));
    }
    wake_.notify_all();
}

void SessionThread::runPending(std::unique_lock<std::mutex>& lock)
{
    // What is pending now; a job that a job posts waits for the next pass.
    std::deque<Job> pending;
    pending.swap(jobs_);
    lock.unlock();
    while (!pending.empty()) {
        Job job = std::move(pending.front());
        pending.pop_front();
        job();
    }
    lock.lock();
}

void SessionThread::serve(double deadline)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (jobs_.empty() && !stopping_) {
        const double remaining = deadline - now();
        if (remaining > 0) {
            wake_.wait_for(lock, std::chrono::duration<double>(remaining),
                           [this] { return stopping_ || !jobs_.empty(); });
        }
    }
    if (stopping_) {
        throw SessionEnded(0);
    }
    runPending(lock);
}

void SessionThread::loop(const std::function<void(int)>& ended)
{
    int status = 0;
    try {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!stopping_) {
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (!stopping_) {
                runPending(lock);
            }
        }
    } catch (const SessionEnded& end) {
        status = end.exitStatus;
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    if (ended) {
        ended(status);
    }
}

void SessionThread::stop()
{
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable() && !onThisThread()) {
        thread_.join();
    }
}

} // namespace lumodm
