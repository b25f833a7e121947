#include "bus/drivers/prologix/serial_transport.h"

#include "bus/device_access.h"

#include <QSerialPort>

namespace lumodm {

namespace {

constexpr int SendTimeoutMs = 3000;

} // namespace

SerialTransport::SerialTransport(QString device, qint32 baudRate)
    : device_(std::move(device)), baudRate_(baudRate)
{
    clock_.start();
}

SerialTransport::~SerialTransport()
{
    close();
}

bool SerialTransport::open(QString* error)
{
    port_ = std::make_unique<QSerialPort>();
    port_->setPortName(device_);
    if (!port_->open(QIODevice::ReadWrite)) {
        if (error != nullptr) {
            *error = port_->errorString();
            const QString hint =
                deviceAccessHint(device_, QStringLiteral("dialout"), deviceAccessError(device_));
            if (!hint.isEmpty()) {
                *error += QStringLiteral(".\n\n") + hint;
            }
        }
        port_.reset();
        return false;
    }
    gone_ = false;
    const bool configured =
        port_->setBaudRate(baudRate_) && port_->setDataBits(QSerialPort::Data8) &&
        port_->setParity(QSerialPort::NoParity) && port_->setStopBits(QSerialPort::OneStop) &&
        port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        if (error != nullptr) {
            *error = port_->errorString();
        }
        port_->close();
        port_.reset();
        return false;
    }
    return true;
}

void SerialTransport::close()
{
    if (port_) {
        port_->close();
        port_.reset();
    }
}

bool SerialTransport::gone()
{
    // A USB adapter pulled out, or the other end of the line hung up: the
    // port reports a resource or read error, and it stays gone.
    if (!gone_ && port_) {
        switch (port_->error()) {
        case QSerialPort::ResourceError:
        case QSerialPort::PermissionError:
        case QSerialPort::ReadError:
        case QSerialPort::WriteError:
            gone_ = true;
            break;
        default:
            break;
        }
    }
    return gone_ || !port_ || !port_->isOpen();
}

bool SerialTransport::send(const QByteArray& bytes)
{
    if (gone()) {
        return false;
    }
    if (port_->write(bytes) != bytes.size()) {
        return false;
    }
    while (port_->bytesToWrite() > 0) {
        if (!port_->waitForBytesWritten(SendTimeoutMs)) {
            return false;
        }
    }
    return !gone();
}

QByteArray SerialTransport::receive(int timeoutMs, bool* lost)
{
    if (gone()) {
        *lost = true;
        return {};
    }
    if (port_->bytesAvailable() == 0) {
        port_->waitForReadyRead(timeoutMs < 0 ? 0 : timeoutMs);
    }
    QByteArray bytes = port_->readAll();
    if (bytes.isEmpty() && gone()) {
        *lost = true;
    }
    return bytes;
}

} // namespace lumodm
