#pragma once

#include "tests/support/fake_plus_plus_adapter.h"

#include <QString>
#include <atomic>
#include <thread>

namespace lumodm::testing {

// A fake "++" adapter reachable the way real ones are: a TCP port on the
// loopback address (an Ethernet adapter) or a pseudo-terminal (a USB one).
// A thread of the test process serves one connection.
class FakeAdapterServer
{
  public:
    enum class Kind { Tcp, Pty };

    FakeAdapterServer(Kind kind, std::unique_ptr<GpibDriver> bus, FakeAdapterOptions options = {});
    ~FakeAdapterServer();

    // Starts listening; false with the reason when the system refuses.
    bool start(QString* error);
    // "127.0.0.1:PORT" or "/dev/pts/N", as the command line takes it.
    QString target() const { return target_; }

    // A TCP reset, or the USB adapter gone (the terminal hangs up). Returns
    // once the line is closed, so the test's next call meets a dead line.
    void dropConnection();

  private:
    void serve();

    Kind kind_;
    FakePlusPlusAdapter adapter_;
    std::thread thread_;
    std::atomic<bool> stop_{false}, drop_{false};
    int listenFd_ = -1, masterFd_ = -1, slaveFd_ = -1;
    QString target_;
};

} // namespace lumodm::testing
