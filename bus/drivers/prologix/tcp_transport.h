#pragma once

#include "bus/drivers/prologix/plus_plus_transport.h"

#include <QElapsedTimer>
#include <memory>

class QTcpSocket;

namespace lumodm {

// An Ethernet "++" adapter (port 1234 by default), through Qt's network
// module in its blocking form: the program has one thread and every wait
// is bounded.
class TcpTransport : public PlusPlusTransport
{
  public:
    TcpTransport(QString host, quint16 port, int connectTimeoutMs);
    ~TcpTransport() override;

    bool open(QString* error) override;
    void close() override;
    bool send(const QByteArray& bytes) override;
    QByteArray receive(int timeoutMs, bool* lost) override;
    qint64 nowMs() override { return clock_.elapsed(); }
    QString describe() const override;

  private:
    QString host_;
    quint16 port_;
    int connectTimeoutMs_;
    std::unique_ptr<QTcpSocket> socket_;
    QElapsedTimer clock_;
};

} // namespace lumodm
