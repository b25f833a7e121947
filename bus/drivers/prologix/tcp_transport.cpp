#include "bus/drivers/prologix/tcp_transport.h"

#include <QTcpSocket>

namespace lumodm {

namespace {

// How long a send may wait for the network to take the bytes.
constexpr int SendTimeoutMs = 3000;

} // namespace

TcpTransport::TcpTransport(QString host, quint16 port, int connectTimeoutMs)
    : host_(std::move(host)), port_(port), connectTimeoutMs_(connectTimeoutMs)
{
    clock_.start();
}

TcpTransport::~TcpTransport()
{
    close();
}

QString TcpTransport::describe() const
{
    const QString shownHost =
        host_.contains(QLatin1Char(':')) ? QLatin1Char('[') + host_ + QLatin1Char(']') : host_;
    return shownHost + QLatin1Char(':') + QString::number(port_);
}

bool TcpTransport::open(QString* error)
{
    socket_ = std::make_unique<QTcpSocket>();
    socket_->connectToHost(host_, port_);
    if (!socket_->waitForConnected(connectTimeoutMs_)) {
        if (error != nullptr) {
            *error =
                socket_->error() == QAbstractSocket::SocketTimeoutError
                    ? QStringLiteral("no connection within %1 s").arg(connectTimeoutMs_ / 1000.0)
                    : socket_->errorString();
        }
        socket_.reset();
        return false;
    }
    // Commands are a few bytes each: send them at once, not after the
    // previous packet's acknowledgement.
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    return true;
}

void TcpTransport::close()
{
    if (socket_) {
        socket_->abort();
        socket_.reset();
    }
}

bool TcpTransport::send(const QByteArray& bytes)
{
    if (!socket_ || socket_->state() != QAbstractSocket::ConnectedState) {
        return false;
    }
    if (socket_->write(bytes) != bytes.size()) {
        return false;
    }
    while (socket_->bytesToWrite() > 0) {
        if (!socket_->waitForBytesWritten(SendTimeoutMs)) {
            return false;
        }
    }
    return socket_->state() == QAbstractSocket::ConnectedState;
}

QByteArray TcpTransport::receive(int timeoutMs, bool* lost)
{
    if (!socket_) {
        *lost = true;
        return {};
    }
    if (socket_->bytesAvailable() == 0) {
        socket_->waitForReadyRead(timeoutMs < 0 ? 0 : timeoutMs);
    }
    QByteArray bytes = socket_->readAll();
    if (bytes.isEmpty() && socket_->state() != QAbstractSocket::ConnectedState) {
        *lost = true;
    }
    return bytes;
}

} // namespace lumodm
