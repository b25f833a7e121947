#pragma once

#include "bus/drivers/prologix/fd_stream.h"
#include "bus/drivers/prologix/plus_plus_transport.h"

namespace lumodm {

// An Ethernet "++" adapter (port 1234 by default) on a plain socket: it
// belongs to no thread, so each meter's thread of a shared bus may use it,
// and every wait is bounded.
class TcpTransport : public PlusPlusTransport
{
  public:
    TcpTransport(QString host, quint16 port, int connectTimeoutMs);

    bool open(QString* error) override;
    void close() override { stream_.close(); }
    bool send(const QByteArray& bytes) override;
    QByteArray receive(int timeoutMs, bool* lost) override;
    qint64 nowMs() override { return FdStream::nowMs(); }
    QString describe() const override;

  private:
    QString host_;
    quint16 port_;
    int connectTimeoutMs_;
    FdStream stream_;
};

} // namespace lumodm
