#include "tests/support/fake_adapter_server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace lumodm::testing {

namespace {

// How often the serving thread looks at its stop and drop flags.
constexpr int PollMs = 10;

} // namespace

FakeAdapterServer::FakeAdapterServer(Kind kind, std::unique_ptr<GpibDriver> bus,
                                     FakeAdapterOptions options)
    : kind_(kind), adapter_(std::move(bus), std::move(options))
{
}

FakeAdapterServer::~FakeAdapterServer()
{
    stop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
    for (int fd : {listenFd_, masterFd_, slaveFd_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool FakeAdapterServer::start(QString* error)
{
    auto failed = [error](const char* what) {
        if (error != nullptr) {
            *error = QStringLiteral("%1: %2").arg(QLatin1String(what),
                                                  QString::fromLocal8Bit(std::strerror(errno)));
        }
        return false;
    };
    if (kind_ == Kind::Tcp) {
        listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        if (listenFd_ < 0) {
            return failed("socket");
        }
        const int yes = 1;
        ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = 0;
        if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listenFd_, 4) != 0) {
            return failed("bind");
        }
        socklen_t length = sizeof address;
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length);
        target_ = QStringLiteral("127.0.0.1:%1").arg(ntohs(address.sin_port));
    } else {
        masterFd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (masterFd_ < 0 || ::grantpt(masterFd_) != 0 || ::unlockpt(masterFd_) != 0) {
            return failed("posix_openpt");
        }
        const char* name = ::ptsname(masterFd_);
        if (name == nullptr) {
            return failed("ptsname");
        }
        target_ = QString::fromLocal8Bit(name);
        // The line carries bytes as they are, and the far end stays open so
        // that the terminal does not hang up between clients.
        slaveFd_ = ::open(name, O_RDWR | O_NOCTTY);
        if (slaveFd_ < 0) {
            return failed("open pts");
        }
        termios raw{};
        ::tcgetattr(slaveFd_, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(slaveFd_, TCSANOW, &raw);
    }
    thread_ = std::thread([this] { serve(); });
    return true;
}

void FakeAdapterServer::dropConnection()
{
    drop_ = true;
    // The serving thread notices within one poll period; bounded so a stuck
    // thread fails the test instead of hanging it.
    std::unique_lock<std::mutex> lock(mutex_);
    closedChanged_.wait_for(lock, std::chrono::seconds(5), [this] { return closed_; });
}

QList<QByteArray> FakeAdapterServer::lines()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return adapter_.lines();
}

bool FakeAdapterServer::writeAll(int fd, const QByteArray& bytes)
{
    // In pieces when the adapter is set to send them so.
    const int piece = adapter_.options().pieceSize;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const qsizetype n =
            piece > 0 ? std::min<qsizetype>(piece, bytes.size() - done) : bytes.size() - done;
        const ssize_t written = ::write(fd, bytes.constData() + done, static_cast<size_t>(n));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += written;
    }
    return true;
}

void FakeAdapterServer::serveConnection(int fd)
{
    char buffer[4096];
    while (!stop_) {
        if (drop_) {
            return;
        }
        pollfd p{fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, PollMs);
        if (ready <= 0) {
            continue;
        }
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
                continue;
            }
            return; // the client went away
        }
        QByteArray answer;
        bool dropped = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            adapter_.receive(QByteArray(buffer, static_cast<qsizetype>(n)));
            answer = adapter_.takeOutput();
            dropped = adapter_.dropped();
        }
        if (!writeAll(fd, answer) || dropped) {
            drop_ = true;
            return;
        }
    }
}

void FakeAdapterServer::serve()
{
    serveUntilClosed();
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    closedChanged_.notify_all();
}

void FakeAdapterServer::serveUntilClosed()
{
    if (kind_ == Kind::Pty) {
        serveConnection(masterFd_);
        if (drop_) {
            // The USB adapter is gone: the terminal hangs up.
            ::close(slaveFd_);
            ::close(masterFd_);
            slaveFd_ = masterFd_ = -1;
        }
        return;
    }
    while (!stop_ && !drop_) {
        pollfd p{listenFd_, POLLIN, 0};
        if (::poll(&p, 1, PollMs) <= 0) {
            continue;
        }
        const int fd = ::accept(listenFd_, nullptr, nullptr);
        if (fd < 0) {
            continue;
        }
        const int yes = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        serveConnection(fd);
        if (drop_) {
            // A reset, as when the adapter loses power.
            linger hard{1, 0};
            ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        }
        ::close(fd);
        if (drop_) {
            return;
        }
    }
}

} // namespace lumodm::testing
