#include "log/log_file.h"

#include "platform/checked_file.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
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

// The most seconds between two syncs to the disk.
constexpr double kSyncPeriod = 10.0;

double monotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

ssize_t writeRetrying(int fd, const char* data, size_t size)
{
    ssize_t n = -1;
    do {
        n = ::write(fd, data, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

bool isLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

} // namespace

void LogFile::close()
{
    if (fd_ >= 0) {
        ::fdatasync(fd_);
        ::close(fd_);
        fd_ = -1;
    }
}

void LogFile::fail(int errorNumber)
{
    fail(errnoText(errorNumber));
}

void LogFile::fail(const QString& reason)
{
    error_ = reason;
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
    const auto refuse = [this](mode_t mode) {
        if (S_ISDIR(mode)) {
            fail(EISDIR);
        } else {
            fail(QStringLiteral("Not a regular file: a FIFO or a device cannot hold the log"));
        }
        return false;
    };
    // Looked at before the open, as opening a device can do things of its
    // own (a serial port resets some GPIB adapters).
    struct stat info
    {
    };
    if (::stat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode)) {
        return refuse(info.st_mode);
    }
    // Not blocking, so that a FIFO put there meanwhile cannot hold the open
    // either; the look after the open settles what it is.
    int fd = -1;
    do {
        fd = ::open(name.constData(),
                    O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        fail(errno);
        return false;
    }
    fd_ = fd;
    if (::fstat(fd_, &info) != 0) {
        fail(errno);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        return refuse(info.st_mode);
    }
    lastSync_ = monotonicSeconds();
    if (info.st_size == 0) {
        firstLine_ = header;
        return writeRow(header);
    }
    return readFirstLine() && endPartialRow(info.st_size);
}

// A header is short: a first line longer than this is no header of ours.
bool LogFile::readFirstLine()
{
    constexpr int kMaxHeader = 4096;
    QByteArray start(kMaxHeader, Qt::Uninitialized);
    ssize_t got = 0;
    do {
        got = ::pread(fd_, start.data(), static_cast<size_t>(start.size()), 0);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        fail(errno);
        return false;
    }
    start.truncate(got);
    const qsizetype end = start.indexOf('\n');
    firstLine_ = end < 0 ? start : start.left(end + 1);
    return true;
}

// Only the end of the file is read: a start-up must not wait for a log
// that has grown over many nights.
bool LogFile::endPartialRow(long long size)
{
    const long long length = std::min(size, kRepairTailBytes);
    QByteArray tail(static_cast<qsizetype>(length), Qt::Uninitialized);
    long long got = 0;
    while (got < length) {
        const ssize_t n = ::pread(fd_, tail.data() + got, static_cast<size_t>(length - got),
                                  static_cast<off_t>(size - length + got));
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
        got += n;
    }
    tail.truncate(static_cast<qsizetype>(got));
    const QByteArray repair = cutRowRepair(tail, size <= kRepairTailBytes);
    return repair.isEmpty() || writeRow(repair);
}

// A crash can leave the last row without its line end, possibly inside a
// quoted field, which then needs its closing quote before the line end or
// the next rows would be swallowed into it. Quotes toggle between inside
// and outside; where the tail starts is only known from a quote that can
// only close a field (it follows field text) or only open one (field text
// follows it).
QByteArray cutRowRepair(QByteArrayView tail, bool wholeFile)
{
    if (tail.isEmpty()) {
        return {};
    }
    bool startsInside = false;
    bool known = wholeFile;
    qsizetype quotes = 0;
    const qsizetype size = tail.size();
    for (qsizetype i = 0; i < size;) {
        if (tail[i] != '"') {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < size && tail[end] == '"') {
            ++end;
        }
        // An even run is doubled quotes inside a field (or a field of only
        // quotes) and changes nothing; a run cut by the tail's start tells
        // nothing either.
        const bool oddRun = (end - i) % 2 == 1;
        if (!known && oddRun && i > 0) {
            const char before = tail[i - 1];
            if (before != ',' && !isLineEnd(before)) {
                startsInside = quotes % 2 == 0; // a closing quote: inside before it
                known = true;
            } else if (end < size && tail[end] != ',' && !isLineEnd(tail[end])) {
                startsInside = quotes % 2 == 1; // an opening quote: outside before it
                known = true;
            }
        }
        quotes += end - i;
        i = end;
    }
    // Without a telling quote the tail is taken to start outside: no field
    // of this log is longer than the tail.
    const bool inside = startsInside != (quotes % 2 == 1);
    if (inside) {
        return QByteArrayLiteral("\"\r\n");
    }
    if (tail.back() == '\r') {
        return QByteArrayLiteral("\n");
    }
    if (tail.back() != '\n') {
        return QByteArrayLiteral("\r\n");
    }
    return {};
}

bool LogFile::append(const QByteArray& row)
{
    if (fd_ < 0) {
        return false;
    }
    return writeRow(row) && syncIfDue();
}

bool LogFile::syncIfDue()
{
    const double now = monotonicSeconds();
    if (now - lastSync_ < kSyncPeriod) {
        return true;
    }
    lastSync_ = now;
    if (::fdatasync(fd_) != 0 && errno != EINVAL) {
        fail(errno);
        return false;
    }
    return true;
}

// One write for the whole row, so that no reader sees half of it. When the
// disk fills up in the middle, what was written is cut off again; asking
// once more for the rest is how the kernel tells why it stopped.
bool LogFile::writeRow(const QByteArray& bytes)
{
    const auto size = static_cast<size_t>(bytes.size());
    const ssize_t n = writeRetrying(fd_, bytes.constData(), size);
    if (n >= 0 && static_cast<size_t>(n) == size) {
        return true;
    }
    int error = n < 0 ? errno : EIO;
    if (n > 0) {
        const off_t end = ::lseek(fd_, 0, SEEK_CUR); // just after the part written
        const size_t left = size - static_cast<size_t>(n);
        const ssize_t rest = writeRetrying(fd_, bytes.constData() + n, left);
        if (rest >= 0 && static_cast<size_t>(rest) == left) {
            return true;
        }
        error = rest < 0 ? errno : ENOSPC;
        if (end >= n) {
            while (::ftruncate(fd_, end - n) != 0 && errno == EINTR) {
            }
        }
    }
    fail(error);
    return false;
}

} // namespace lumodm
