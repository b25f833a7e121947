#pragma once

#include "tests/support/fake_plus_plus_adapter.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace lumodm::testing {

// A fake "++" adapter reachable the way real ones are: a TCP port on the
// loopback address (an Ethernet adapter) or a pseudo-terminal (a USB one).
// It serves from a thread of the test process, one connection at a time.
class FakeAdapterServer
{
  public:
    enum class Kind { Tcp, Pty };

    FakeAdapterServer(Kind kind, std::unique_ptr<GpibDriver> bus, FakeAdapterOptions options = {});
    ~FakeAdapterServer();
    FakeAdapterServer(const FakeAdapterServer&) = delete;
    FakeAdapterServer& operator=(const FakeAdapterServer&) = delete;

    // Starts listening; false with the reason when the system refuses.
    bool start(QString* error);
    // "127.0.0.1:PORT" or "/dev/pts/N", as the command line takes it.
    QString target() const { return target_; }

    // The adapter drops the connection (a TCP reset, or the USB adapter
    // gone: the terminal hangs up). Returns once the connection is closed,
    // so the next call of the test meets a dead line, never a live one.
    void dropConnection();

    // What the adapter was told so far.
    QList<QByteArray> lines();

  private:
    void serve();
    void serveUntilClosed();
    void serveConnection(int fd);
    bool writeAll(int fd, const QByteArray& bytes);

    Kind kind_;
    FakePlusPlusAdapter adapter_;
    std::mutex mutex_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> drop_{false};
    bool closed_ = false; // under mutex_
    std::condition_variable closedChanged_;
    int listenFd_ = -1;
    int masterFd_ = -1;
    int slaveFd_ = -1;
    QString target_;
};

} // namespace lumodm::testing
