#include "bus/drivers/prologix/fd_stream.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumodm {

namespace {

// A poll() takes an int of milliseconds.
int pollMs(qint64 timeoutMs)
{
    return static_cast<int>(std::clamp<qint64>(timeoutMs, 0, 24LL * 3600 * 1000));
}

} // namespace

qint64 FdStream::nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void FdStream::adopt(int fd)
{
    close();
    fd_ = fd;
}

void FdStream::close()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool FdStream::waitFor(short events, qint64 timeoutMs) const
{
    if (fd_ < 0) {
        return false;
    }
    pollfd p{fd_, events, 0};
    int n = 0;
    do {
        n = ::poll(&p, 1, pollMs(timeoutMs));
    } while (n < 0 && errno == EINTR);
    return n > 0 && (p.revents & (events | POLLHUP | POLLERR | POLLNVAL)) != 0;
}

bool FdStream::send(const QByteArray& bytes, qint64 timeoutMs)
{
    const qint64 deadline = nowMs() + timeoutMs;
    qsizetype sent = 0;
    // A socket's peer gone must not end the program with SIGPIPE.
    struct stat info
    {
    };
    const bool socket = fd_ >= 0 && ::fstat(fd_, &info) == 0 && S_ISSOCK(info.st_mode);
    while (fd_ >= 0 && sent < bytes.size()) {
        const auto left = static_cast<size_t>(bytes.size() - sent);
        const ssize_t n = socket ? ::send(fd_, bytes.constData() + sent, left, MSG_NOSIGNAL)
                                 : ::write(fd_, bytes.constData() + sent, left);
        if (n > 0) {
            sent += n;
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else if (!waitFor(POLLOUT, deadline - nowMs())) {
            return false;
        }
    }
    return fd_ >= 0;
}

QByteArray FdStream::receive(qint64 timeoutMs, bool* lost)
{
    if (fd_ < 0) {
        *lost = true;
        return {};
    }
    char buffer[4096];
    ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
        if (!waitFor(POLLIN, timeoutMs)) {
            return {};
        }
        n = ::read(fd_, buffer, sizeof buffer);
    }
    if (n > 0) {
        return QByteArray(buffer, static_cast<qsizetype>(n));
    }
    // 0 after a readiness: the other end closed, or the device went away.
    if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        *lost = true;
    }
    return {};
}

} // namespace lumodm
