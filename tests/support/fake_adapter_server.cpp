#include "tests/support/fake_adapter_server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace lumodm::testing {

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
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof address;
    const char* name = nullptr;
    if (kind_ == Kind::Tcp) {
        listenFd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        if (listenFd_ >= 0 && ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
            ::listen(listenFd_, 1) == 0 &&
            ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
            target_ = QStringLiteral("127.0.0.1:%1").arg(ntohs(address.sin_port));
        }
    } else {
        masterFd_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (masterFd_ >= 0 && ::grantpt(masterFd_) == 0 && ::unlockpt(masterFd_) == 0) {
            name = ::ptsname(masterFd_);
        }
        // The line carries bytes as they are, and this end stays open so
        // that the terminal does not hang up between clients.
        slaveFd_ = name != nullptr ? ::open(name, O_RDWR | O_NOCTTY) : -1;
        termios raw{};
        if (slaveFd_ >= 0 && ::tcgetattr(slaveFd_, &raw) == 0) {
            ::cfmakeraw(&raw);
            ::tcsetattr(slaveFd_, TCSANOW, &raw);
            target_ = QString::fromLocal8Bit(name);
        }
    }
    if (target_.isEmpty()) {
        if (error != nullptr) {
            *error = QString::fromLocal8Bit(std::strerror(errno));
        }
        return false;
    }
    thread_ = std::thread([this] { serve(); });
    return true;
}

void FakeAdapterServer::dropConnection()
{
    // The serving thread notices within a poll, closes the line and ends.
    drop_ = true;
    if (thread_.joinable()) {
        thread_.join();
    }
}

void FakeAdapterServer::serve()
{
    int fd = masterFd_;
    for (pollfd p{listenFd_, POLLIN, 0}; kind_ == Kind::Tcp && fd < 0 && !stop_ && !drop_;) {
        fd = ::poll(&p, 1, 10) > 0 ? ::accept(listenFd_, nullptr, nullptr) : -1;
        const int yes = 1; // answers at once, not after the last one's acknowledgement
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    }
    char buffer[4096];
    while (fd >= 0 && !stop_ && !drop_) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 10) <= 0) {
            continue;
        }
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) {
            break; // the client went away
        }
        adapter_.take(QByteArray(buffer, static_cast<qsizetype>(n)));
        const QByteArray answer = adapter_.takeOutput();
        if (::write(fd, answer.constData(), static_cast<size_t>(answer.size())) < 0 ||
            adapter_.dropped()) {
            drop_ = true;
        }
    }
    if (kind_ == Kind::Tcp && fd >= 0) {
        // A reset, as when the adapter loses power.
        linger hard{drop_ ? 1 : 0, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        ::close(fd);
    } else if (drop_) {
        // The USB adapter is gone: the terminal hangs up.
        ::close(std::exchange(slaveFd_, -1));
        ::close(std::exchange(masterFd_, -1));
    }
}

} // namespace lumodm::testing
