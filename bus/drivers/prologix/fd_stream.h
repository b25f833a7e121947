#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace lumodm {

// The byte stream of a "++" adapter as a plain file descriptor (a socket
// or a serial device, opened non-blocking), waited on with poll(). It
// belongs to no thread: the meters' threads of a shared bus use it in
// turn, which no Qt device would allow.
class FdStream
{
  public:
    FdStream() = default;
    FdStream(const FdStream&) = delete;
    FdStream& operator=(const FdStream&) = delete;
    ~FdStream() { close(); }

    void adopt(int fd);
    int fd() const { return fd_; }
    bool isOpen() const { return fd_ >= 0; }
    void close();

    // Whether `events` (POLLIN, POLLOUT) come within `timeoutMs`, or the
    // other end hung up (which the next read or write then finds).
    bool waitFor(short events, qint64 timeoutMs) const;
    // Writes every byte within `timeoutMs`; false when it cannot.
    bool send(const QByteArray& bytes, qint64 timeoutMs);
    // What arrives within `timeoutMs`; empty when nothing came, with *lost
    // set when the other end is gone.
    QByteArray receive(qint64 timeoutMs, bool* lost);

    // Monotonic milliseconds, alike on every thread.
    static qint64 nowMs();

  private:
    int fd_ = -1;
};

} // namespace lumodm
