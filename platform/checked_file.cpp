#include "platform/checked_file.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace lumodm {

namespace {

QString named(const QString& path)
{
    return clippedForMessage(path);
}

// The verdict on what stat (or fstat) found.
FileCheck judge(const QString& path, const struct stat& info, qint64 maxBytes)
{
    if (!S_ISREG(info.st_mode)) {
        return {FileCheck::State::Unusable,
                QStringLiteral("%1 is not a regular file").arg(named(path))};
    }
    if (info.st_size > maxBytes) {
        return {FileCheck::State::Unusable,
                QStringLiteral("%1 is larger than %2 bytes").arg(named(path)).arg(maxBytes)};
    }
    return {FileCheck::State::Usable, QString()};
}

class FileDescriptor
{
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

} // namespace

FileCheck checkReadableFile(const QString& path, qint64 maxBytes)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info
    {
    };
    if (::stat(name.constData(), &info) != 0) {
        if (errno == ENOENT) {
            return {FileCheck::State::Absent, QString()};
        }
        return {FileCheck::State::Unusable,
                QStringLiteral("cannot read %1: %2").arg(named(path), errnoText(errno))};
    }
    return judge(path, info, maxBytes);
}

int openCheckedFile(const QString& path, qint64 maxBytes, QString* reason)
{
    const auto fail = [reason](const QString& why) {
        if (reason != nullptr) {
            *reason = why;
        }
        return -1;
    };
    // Looked at before it is opened: opening a device may act on it.
    const FileCheck check = checkReadableFile(path, maxBytes);
    if (check.state == FileCheck::State::Absent) {
        return fail(QStringLiteral("cannot read %1: %2").arg(named(path), errnoText(ENOENT)));
    }
    if (!check.usable()) {
        return fail(check.reason);
    }
    const QByteArray name = QFile::encodeName(path);
    FileDescriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        return fail(QStringLiteral("cannot read %1: %2").arg(named(path), errnoText(errno)));
    }
    // Looked at again through the open file: it may have been swapped.
    struct stat info
    {
    };
    if (::fstat(fd.get(), &info) != 0) {
        return fail(QStringLiteral("cannot read %1: %2").arg(named(path), errnoText(errno)));
    }
    if (const FileCheck opened = judge(path, info, maxBytes); !opened.usable()) {
        return fail(opened.reason);
    }
    return fd.release();
}

std::optional<QByteArray> readCheckedFile(const QString& path, qint64 maxBytes, QString* reason)
{
    const auto fail = [reason](const QString& why) -> std::optional<QByteArray> {
        if (reason != nullptr) {
            *reason = why;
        }
        return std::nullopt;
    };
    const FileDescriptor fd(openCheckedFile(path, maxBytes, reason));
    if (fd.get() < 0) {
        return std::nullopt;
    }
    // One byte more than allowed tells a file that grew since.
    QByteArray bytes(static_cast<int>(maxBytes) + 1, '\0');
    qint64 total = 0;
    while (total < bytes.size()) {
        const ssize_t got =
            ::read(fd.get(), bytes.data() + total, static_cast<size_t>(bytes.size() - total));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return fail(QStringLiteral("cannot read %1: %2").arg(named(path), errnoText(errno)));
        }
        if (got == 0) {
            break;
        }
        total += got;
    }
    if (total > maxBytes) {
        return fail(QStringLiteral("%1 is larger than %2 bytes").arg(named(path)).arg(maxBytes));
    }
    bytes.truncate(static_cast<int>(total));
    return bytes;
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString clippedForMessage(const QString& value, int maxChars)
{
    if (value.size() <= maxChars) {
        return value;
    }
    int kept = maxChars > 1 ? maxChars - 1 : 0;
    // Never half of a character outside the basic plane.
    if (kept > 0 && value.at(kept - 1).isHighSurrogate()) {
        --kept;
    }
    return value.left(kept) + QChar(0x2026);
}

} // namespace lumodm
