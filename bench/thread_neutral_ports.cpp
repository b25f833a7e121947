// A stand-in for the programs' adapter ports module whose TCP transport is
// a plain socket with poll(): it belongs to no thread, so a meter's thread
// may use it while the main thread runs its event loop. The module's own
// transport is a QTcpSocket, whose notifications the main thread's event
// loop serves while a meter's thread waits on it. bench/several_meters_bench.sh
// runs a copy of lumodm-read with this module on its library path, to time
// several meters on a "++" adapter with the rest of the program as it is.
#include "bus/drivers/prologix/adapter_ports.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace lumodm {

namespace {

constexpr int SendTimeoutMs = 3000;

class PlainTcpTransport : public PlusPlusTransport
{
  public:
    PlainTcpTransport(QString host, quint16 port, int connectTimeoutMs)
        : host_(std::move(host)), port_(port), connectTimeoutMs_(connectTimeoutMs)
    {
    }
    ~PlainTcpTransport() override { close(); }

    bool open(QString* error) override
    {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        const int lookup = ::getaddrinfo(host_.toUtf8().constData(),
                                         QByteArray::number(port_).constData(), &hints, &found);
        if (lookup != 0) {
            return fail(error, QString::fromLocal8Bit(::gai_strerror(lookup)));
        }
        int reason = ECONNREFUSED;
        for (addrinfo* a = found; a != nullptr && fd_ < 0; a = a->ai_next) {
            fd_ = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                           a->ai_protocol);
            if (fd_ >= 0 && !connectWithin(a, &reason)) {
                ::close(fd_);
                fd_ = -1;
            }
        }
        ::freeaddrinfo(found);
        if (fd_ < 0) {
            return fail(error, QString::fromLocal8Bit(std::strerror(reason)));
        }
        const int yes = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        return true;
    }

    void close() override
    {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

    bool send(const QByteArray& bytes) override
    {
        qsizetype sent = 0;
        const qint64 deadline = nowMs() + SendTimeoutMs;
        while (fd_ >= 0 && sent < bytes.size()) {
            const ssize_t n = ::send(fd_, bytes.constData() + sent,
                                     static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
            if (n > 0) {
                sent += n;
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                return false;
            } else if (!ready(POLLOUT, deadline - nowMs())) {
                return false;
            }
        }
        return fd_ >= 0;
    }

    QByteArray receive(int timeoutMs, bool* lost) override
    {
        if (fd_ < 0) {
            *lost = true;
            return {};
        }
        char buffer[4096];
        ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n < 0 && (errno == EAGAIN || errno == EINTR) && ready(POLLIN, timeoutMs)) {
            n = ::recv(fd_, buffer, sizeof buffer, 0);
        }
        if (n > 0) {
            return QByteArray(buffer, static_cast<qsizetype>(n));
        }
        // 0: the adapter closed the connection.
        *lost = n == 0 || (errno != EAGAIN && errno != EINTR);
        return {};
    }

    qint64 nowMs() override
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }

    QString describe() const override { return host_ + QLatin1Char(':') + QString::number(port_); }

  private:
    static bool fail(QString* error, const QString& reason)
    {
        if (error != nullptr) {
            *error = reason;
        }
        return false;
    }

    bool connectWithin(const addrinfo* a, int* reason)
    {
        if (::connect(fd_, a->ai_addr, a->ai_addrlen) == 0) {
            return true;
        }
        if (errno != EINPROGRESS) {
            *reason = errno;
            return false;
        }
        if (!ready(POLLOUT, connectTimeoutMs_)) {
            *reason = ETIMEDOUT;
            return false;
        }
        socklen_t length = sizeof *reason;
        return ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, reason, &length) == 0 && *reason == 0;
    }

    bool ready(short events, qint64 timeoutMs)
    {
        pollfd p{fd_, events, 0};
        const int ms = static_cast<int>(std::clamp<qint64>(timeoutMs, 0, 1 << 30));
        return ::poll(&p, 1, ms) > 0 && (p.revents & (events | POLLHUP | POLLERR)) != 0;
    }

    QString host_;
    quint16 port_;
    int connectTimeoutMs_;
    int fd_ = -1;
};

std::unique_ptr<PlusPlusTransport> tcp(const QString& host, quint16 port, int connectTimeoutMs)
{
    return std::make_unique<PlainTcpTransport>(host, port, connectTimeoutMs);
}

// Serial adapters are not timed here.
std::unique_ptr<PlusPlusTransport> serial(const QString&, qint32)
{
    return nullptr;
}

QList<SerialPortListing> serialPorts()
{
    return {};
}

const AdapterPorts kPorts{&tcp, &serial, &serialPorts};

} // namespace

} // namespace lumodm

extern "C" Q_DECL_EXPORT const void* lumodm_adapter_ports()
{
    return &lumodm::kPorts;
}
