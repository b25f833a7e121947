#pragma once

#include <QString>
#include <optional>

namespace lumodm {

// The longest host name DNS allows.
constexpr int kMaxHostName = 253;

// Where a "++" adapter is: a serial device (USB adapters) or a TCP host and
// port (Ethernet adapters).
struct AdapterTarget
{
    enum class Kind { Serial, Tcp };
    static constexpr quint16 DefaultTcpPort = 1234;

    Kind kind = Kind::Serial;
    QString device; // Serial
    QString host;   // Tcp
    quint16 port = DefaultTcpPort;

    // "/dev/ttyUSB0" or "192.168.1.20:1234", for messages.
    QString text() const;
};

// A device path ("/dev/ttyUSB0", or "COM3" on Windows) or HOST[:PORT], with
// an IPv6 host in brackets ("[::1]:1234"). nullopt and *error on a bad one.
std::optional<AdapterTarget> parseAdapterTarget(const QString& text, QString* error);

} // namespace lumodm
