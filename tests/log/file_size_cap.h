#pragma once

#include <csignal>
#include <sys/resource.h>

namespace lumodm::testing {

// A full disk for this process while it lasts: a write beyond `bytes`
// into any file comes up short, then fails (EFBIG) instead of ending it.
class FileSizeCap
{
  public:
    explicit FileSizeCap(long long bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit cap = saved_;
        cap.rlim_cur = static_cast<rlim_t>(bytes);
        ::setrlimit(RLIMIT_FSIZE, &cap);
    }
    ~FileSizeCap()
    {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, handler_);
    }
    FileSizeCap(const FileSizeCap&) = delete;
    FileSizeCap& operator=(const FileSizeCap&) = delete;

  private:
    rlimit saved_{};
    void (*handler_)(int) = nullptr;
};

} // namespace lumodm::testing
