#include "log/log_file.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace lumodm {

LogFile::~LogFile()
{
    close();
}

namespace {

double monotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

} // namespace

void LogFile::close()
{
    if (fd_ >= 0) {
        if (regularFile_) {
            ::fdatasync(fd_);
        }
        ::close(fd_);
        fd_ = -1;
    }
}

void LogFile::fail(int errorNumber)
{
    error_ = QString::fromLocal8Bit(std::strerror(errorNumber));
    close();
}

bool LogFile::open(const QString& path, const QByteArray& header)
{
    close();
    error_.clear();
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty()) {
        fail(ENOENT);
        return false;
    }
    int fd = -1;
    do {
        fd = ::open(name.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        fail(errno);
        return false;
    }
    fd_ = fd;
    struct stat info
    {
    };
    if (::fstat(fd_, &info) != 0) {
        fail(errno);
        return false;
    }
    regularFile_ = S_ISREG(info.st_mode);
    lastSync_ = monotonicSeconds();
    // A pipe or a terminal is a fresh stream: it gets the header too.
    if (!regularFile_ || info.st_size == 0) {
        return writeAll(header);
    }
    return endPartialRow(info.st_size);
}

// A crash can leave the last row without its line end, possibly inside a
// quoted field. Counting the quotes tells which: with an odd count the
// field is still open and needs its closing quote before the line end, or
// the next rows would be swallowed into it.
bool LogFile::endPartialRow(long long size)
{
    char buffer[65536];
    long long offset = 0;
    bool insideQuotes = false;
    char last = '\n';
    while (offset < size) {
        const ssize_t n = ::pread(fd_, buffer, sizeof buffer, offset);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            fail(errno);
            return false;
        }
        if (n == 0) {
            break; // shrunk meanwhile: what was read decides
        }
        const char* p = buffer;
        const char* end = buffer + n;
        while ((p = static_cast<const char*>(std::memchr(p, '"', end - p))) != nullptr) {
            insideQuotes = !insideQuotes;
            ++p;
        }
        last = buffer[n - 1];
        offset += n;
    }
    if (insideQuotes) {
        return writeAll(QByteArrayLiteral("\"\r\n"));
    }
    if (last == '\r') {
        return writeAll(QByteArrayLiteral("\n"));
    }
    if (last != '\n') {
        return writeAll(QByteArrayLiteral("\r\n"));
    }
    return true;
}

bool LogFile::append(const QByteArray& row)
{
    if (fd_ < 0) {
        return false;
    }
    return writeAll(row) && syncIfDue();
}

bool LogFile::syncIfDue()
{
    if (!regularFile_) {
        return true;
    }
    const double now = monotonicSeconds();
    if (now - lastSync_ < syncPeriod_) {
        return true;
    }
    lastSync_ = now;
    if (::fdatasync(fd_) != 0 && errno != EINVAL) {
        fail(errno);
        return false;
    }
    return true;
}

bool LogFile::writeAll(const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            fail(n < 0 ? errno : EIO);
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

} // namespace lumodm
