#include "bus/drivers/prologix/tcp_transport.h"

#include "platform/checked_file.h"

#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lumodm {

namespace {

// How long a send may wait for the network to take the bytes.
constexpr int SendTimeoutMs = 3000;

} // namespace

TcpTransport::TcpTransport(QString host, quint16 port, int connectTimeoutMs)
    : host_(std::move(host)), port_(port), connectTimeoutMs_(connectTimeoutMs)
{
}

QString TcpTransport::describe() const
{
    const QString shownHost =
        host_.contains(QLatin1Char(':')) ? QLatin1Char('[') + host_ + QLatin1Char(']') : host_;
    return shownHost + QLatin1Char(':') + QString::number(port_);
}

bool TcpTransport::open(QString* error)
{
    const auto fail = [error](const QString& why) {
        if (error != nullptr) {
            *error = why;
        }
        return false;
    };
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int lookup = ::getaddrinfo(host_.toUtf8().constData(),
                                     QByteArray::number(port_).constData(), &hints, &found);
    if (lookup != 0) {
        return fail(QStringLiteral("host not found (%1)")
                        .arg(QString::fromLocal8Bit(::gai_strerror(lookup))));
    }
    int reason = ECONNREFUSED;
    const qint64 deadline = FdStream::nowMs() + connectTimeoutMs_;
    // Each address of the host in turn, within the one connection timeout.
    for (const addrinfo* a = found; a != nullptr && !stream_.isOpen(); a = a->ai_next) {
        const int fd =
            ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            reason = errno;
            continue;
        }
        stream_.adopt(fd);
        bool connected = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0;
        if (!connected && errno == EINPROGRESS) {
            if (stream_.waitFor(POLLOUT, deadline - FdStream::nowMs())) {
                socklen_t length = sizeof reason;
                connected =
                    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &reason, &length) == 0 && reason == 0;
            } else {
                reason = ETIMEDOUT;
            }
        } else if (!connected) {
            reason = errno;
        }
        if (!connected) {
            stream_.close();
        }
    }
    ::freeaddrinfo(found);
    if (!stream_.isOpen()) {
        return fail(
            reason == ETIMEDOUT
                ? QStringLiteral("no connection within %1 s").arg(connectTimeoutMs_ / 1000.0)
                : errnoText(reason));
    }
    // Commands are a few bytes each: send them at once, not after the
    // previous packet's acknowledgement.
    const int yes = 1;
    ::setsockopt(stream_.fd(), IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    return true;
}

bool TcpTransport::send(const QByteArray& bytes)
{
    return stream_.send(bytes, SendTimeoutMs);
}

QByteArray TcpTransport::receive(int timeoutMs, bool* lost)
{
    return stream_.receive(timeoutMs, lost);
}

} // namespace lumodm
