#pragma once

#include <QByteArray>
#include <QString>

namespace lumodm {

// The byte stream to a "++" adapter: a serial port or a TCP connection.
// Every wait is bounded by the timeout given; nothing here blocks for ever.
class PlusPlusTransport
{
  public:
    virtual ~PlusPlusTransport() = default;

    // Opens the port or connects; on failure false with the reason.
    virtual bool open(QString* error) = 0;
    virtual void close() = 0;

    // Sends every byte; false when the connection is gone.
    virtual bool send(const QByteArray& bytes) = 0;

    // What arrives within `timeoutMs` (at once what is already there); empty
    // when nothing came. Sets *lost when the connection is gone.
    virtual QByteArray receive(int timeoutMs, bool* lost) = 0;

    // A monotonic clock in milliseconds for the deadlines of the protocol.
    virtual qint64 nowMs() = 0;

    // "/dev/ttyUSB0", "192.168.1.20:1234": for messages.
    virtual QString describe() const = 0;
};

} // namespace lumodm
