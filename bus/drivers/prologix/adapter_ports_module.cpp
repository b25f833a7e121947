// The adapter ports module: the transports over Qt's network and serial
// port modules, and the system's serial ports, behind one exported entry.
#include "bus/drivers/prologix/adapter_ports.h"
#include "bus/drivers/prologix/serial_transport.h"
#include "bus/drivers/prologix/tcp_transport.h"

#include <QSerialPortInfo>

namespace lumodm {

namespace {

std::unique_ptr<PlusPlusTransport> tcp(const QString& host, quint16 port, int connectTimeoutMs)
{
    return std::make_unique<TcpTransport>(host, port, connectTimeoutMs);
}

std::unique_ptr<PlusPlusTransport> serial(const QString& device, qint32 baudRate)
{
    return std::make_unique<SerialTransport>(device, baudRate);
}

QList<SerialPortListing> serialPorts()
{
    QList<SerialPortListing> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const bool ids = info.hasVendorIdentifier() && info.hasProductIdentifier();
        ports.append({info.systemLocation(), info.description(), ids, info.vendorIdentifier(),
                      info.productIdentifier()});
    }
    return ports;
}

const AdapterPorts kPorts{&tcp, &serial, &serialPorts};

} // namespace

} // namespace lumodm

extern "C" Q_DECL_EXPORT const void* lumodm_adapter_ports()
{
    return &lumodm::kPorts;
}
