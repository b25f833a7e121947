#include "bus/drivers/prologix/adapter_ports.h"

#include "platform/program_module.h"

namespace lumodm {

const AdapterPorts* adapterPorts(QString* error)
{
    return static_cast<const AdapterPorts*>(
        programModuleTable(kAdapterPortsModule, kAdapterPortsEntry, error));
}

} // namespace lumodm
