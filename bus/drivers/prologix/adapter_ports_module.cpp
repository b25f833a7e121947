// The adapter ports module: the system's serial ports through Qt's serial
// port module, behind one exported entry.
#include "bus/drivers/prologix/adapter_ports.h"

#include <QSerialPortInfo>

namespace lumodm {

namespace {

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

const AdapterPorts kPorts{&serialPorts};

} // namespace

} // namespace lumodm

extern "C" Q_DECL_EXPORT const void* lumodm_adapter_ports()
{
    return &lumodm::kPorts;
}
