#pragma once

#include "bus/drivers/prologix/fd_stream.h"
#include "bus/drivers/prologix/plus_plus_transport.h"

namespace lumodm {

// A USB "++" adapter on a serial device, raw: 8 data bits, no parity, one
// stop bit, no flow control. A plain file descriptor, so each meter's
// thread of a shared bus may use it.
class SerialTransport : public PlusPlusTransport
{
  public:
    SerialTransport(QString device, qint32 baudRate);

    bool open(QString* error) override;
    void close() override { stream_.close(); }
    bool send(const QByteArray& bytes) override;
    QByteArray receive(int timeoutMs, bool* lost) override;
    qint64 nowMs() override { return FdStream::nowMs(); }
    QString describe() const override { return device_; }

  private:
    QString device_;
    qint32 baudRate_;
    FdStream stream_;
};

} // namespace lumodm
