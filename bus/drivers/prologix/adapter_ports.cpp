#include "bus/drivers/prologix/adapter_ports.h"

#include "platform/shared_library.h"

namespace lumodm {

namespace {

struct Opened
{
    SharedLibrary library;
    const AdapterPorts* ports = nullptr;
    QString error;
};

// Found on the program's run path: the build folder's module for a program
// run from the build, the installed one otherwise.
void open(Opened& opened)
{
    const QString name = QString::fromLatin1(kAdapterPortsModule);
    QString reason;
    if (!opened.library.open(name, &reason)) {
        opened.error = QStringLiteral("%1 cannot be loaded: %2").arg(name, reason);
        return;
    }
    using Entry = const AdapterPorts* (*)();
    const auto entry = reinterpret_cast<Entry>(opened.library.symbol(kAdapterPortsEntry));
    opened.ports = entry != nullptr ? entry() : nullptr;
    if (opened.ports == nullptr) {
        opened.error = QStringLiteral("%1 is not LumoDM's adapter module").arg(name);
    }
}

} // namespace

const AdapterPorts* adapterPorts(QString* error)
{
    // Never closed: the transports it made run its code until they go.
    static Opened* const opened = [] {
        auto* o = new Opened;
        open(*o);
        return o;
    }();
    if (opened->ports == nullptr && error != nullptr) {
        *error = opened->error;
    }
    return opened->ports;
}

} // namespace lumodm
