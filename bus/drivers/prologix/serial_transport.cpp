#include "bus/drivers/prologix/serial_transport.h"

#include "bus/device_access.h"
#include "platform/checked_file.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace lumodm {

namespace {

constexpr int SendTimeoutMs = 3000;

// The speeds a "++" adapter is driven at; others are not offered.
speed_t speedOf(qint32 baudRate)
{
    switch (baudRate) {
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 230400:
        return B230400;
    default:
        return B115200;
    }
}

} // namespace

SerialTransport::SerialTransport(QString device, qint32 baudRate)
    : device_(std::move(device)), baudRate_(baudRate)
{
}

bool SerialTransport::open(QString* error)
{
    const QByteArray name = QFile::encodeName(device_);
    const int fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int reason = errno;
        if (error != nullptr) {
            *error = errnoText(reason);
            const QString hint = deviceAccessHint(device_, QStringLiteral("dialout"), reason);
            if (!hint.isEmpty()) {
                *error += QStringLiteral(".\n\n") + hint;
            }
        }
        return false;
    }
    stream_.adopt(fd);
    termios mode{};
    const bool configured = ::tcgetattr(fd, &mode) == 0 && [&] {
        ::cfmakeraw(&mode);
        mode.c_cflag |= CLOCAL | CREAD;
        mode.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
        mode.c_iflag &= ~(IXON | IXOFF | IXANY);
        // With no byte waiting a read says EAGAIN (the
        // descriptor never blocks); 0 then means hung up.
        mode.c_cc[VMIN] = 1;
        mode.c_cc[VTIME] = 0;
        return ::cfsetispeed(&mode, speedOf(baudRate_)) == 0 &&
               ::cfsetospeed(&mode, speedOf(baudRate_)) == 0;
    }() && ::tcsetattr(fd, TCSANOW, &mode) == 0;
    if (!configured) {
        if (error != nullptr) {
            *error = QStringLiteral("not a serial port: %1").arg(errnoText(errno));
        }
        stream_.close();
        return false;
    }
    return true;
}

bool SerialTransport::send(const QByteArray& bytes)
{
    return stream_.send(bytes, SendTimeoutMs);
}

QByteArray SerialTransport::receive(int timeoutMs, bool* lost)
{
    return stream_.receive(timeoutMs, lost);
}

} // namespace lumodm
