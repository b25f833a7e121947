#pragma once

#include "bus/drivers/prologix/plus_plus_transport.h"

#include <QElapsedTimer>
#include <memory>

class QSerialPort;

namespace lumodm {

// A USB "++" adapter on a serial device, through Qt's serial port module:
// 8 data bits, no parity, one stop bit, no flow control.
class SerialTransport : public PlusPlusTransport
{
  public:
    SerialTransport(QString device, qint32 baudRate);
    ~SerialTransport() override;

    bool open(QString* error) override;
    void close() override;
    bool send(const QByteArray& bytes) override;
    QByteArray receive(int timeoutMs, bool* lost) override;
    qint64 nowMs() override { return clock_.elapsed(); }
    QString describe() const override { return device_; }

  private:
    bool gone();

    QString device_;
    qint32 baudRate_;
    std::unique_ptr<QSerialPort> port_;
    bool gone_ = false;
    QElapsedTimer clock_;
};

} // namespace lumodm
