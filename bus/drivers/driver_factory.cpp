#include "bus/drivers/driver_factory.h"

#include "bus/device_access.h"
#include "bus/drivers/address_limit_driver.h"
#include "bus/drivers/ni488/ni488_driver.h"
#include "bus/drivers/prologix/adapter_target.h"
#include "bus/drivers/prologix/prologix_driver.h"
#include "bus/drivers/prologix/serial_transport.h"
#include "bus/drivers/prologix/tcp_transport.h"
#include "bus/drivers/sim/sim_bus_factory.h"
#include "bus/drivers/trace_driver.h"
#include "platform/checked_file.h"

#include <QStringList>
#include <ostream>

namespace lumodm {

namespace {

constexpr qint32 AdapterBaudRate = 115200;

// `program`: the command the user started, which the hints name.
QString simHint(const QString& program, DriverAdvice advice)
{
    if (advice == DriverAdvice::Chooser) {
        return QStringLiteral("Choose Simulated meter to try the panel without an instrument.");
    }
    return QStringLiteral("To try the program without a GPIB interface, start it on the "
                          "simulated bus: %1 --sim.")
        .arg(program);
}

DriverCreation failure(const QString& text)
{
    DriverCreation c;
    c.errorTitle = QStringLiteral("Initialization Error");
    c.errorText = text;
    return c;
}

DriverCreation fromLibrary(const DriverSpec& spec, const QString& program, DriverAdvice advice,
                           QString* description)
{
    const QStringList names =
        spec.library.isEmpty() ? Ni488Driver::defaultLibraryNames() : QStringList{spec.library};
    QString tried;
    std::unique_ptr<Ni488Driver> driver = Ni488Driver::load(names, &tried);
    if (!driver) {
        const QString where = advice == DriverAdvice::Chooser
                                  ? QStringLiteral("give its path under GPIB board")
                                  : QStringLiteral("name the library with --gpib-library=PATH");
        return failure(
            QStringLiteral("No GPIB driver library could be loaded.\n\nTried:\n") + tried +
            QStringLiteral("\n\nInstall the Linux GPIB library or NI-488.2, or %1.\n").arg(where) +
            simHint(program, advice));
    }
    // Every call on a board the user may not open fails alike, with no word
    // of why: say it before the first.
    const QString board = QStringLiteral("/dev/gpib0");
    const QString hint = deviceAccessHint(board, QStringLiteral("gpib"), deviceAccessError(board));
    if (!hint.isEmpty()) {
        return failure(hint);
    }
    *description =
        QStringLiteral("library %1 (%2)").arg(driver->libraryName(), driver->description());
    DriverCreation c;
    c.driver = std::move(driver);
    return c;
}

DriverCreation fromSimulation(const DriverSpec& spec, const QString& program, QString* description)
{
    QString error;
    std::unique_ptr<SimulatedBus> bus = createSimulatedBus(spec.simulation, &error);
    if (!bus) {
        return failure(QStringLiteral("The simulated bus cannot be set up: %1.\n\n"
                                      "See %2 --help for the meters it offers.")
                           .arg(error, program));
    }
    // The meters' log of what they received serves tests; in a program it
    // only grows (to its bound) with every reading.
    for (const int address : bus->addresses()) {
        bus->deviceAt(address)->log().setCapacity(0);
    }
    *description = QStringLiteral("simulated bus %1")
                       .arg(spec.simulation.isEmpty() ? QStringLiteral("DM5010@16")
                                                      : clippedForMessage(spec.simulation));
    DriverCreation c;
    c.driver = std::move(bus);
    return c;
}

DriverCreation fromAdapter(const DriverSpec& spec, const QString& program,
                           const PlusPlusTimings& timings, DriverAdvice advice,
                           QString* description)
{
    const bool ar488 = spec.kind == DriverSpec::Kind::Ar488;
    QString error;
    const std::optional<AdapterTarget> target = parseAdapterTarget(spec.adapter, &error);
    if (!target) {
        return failure(QStringLiteral("The GPIB adapter cannot be used: %1.").arg(error));
    }
    std::unique_ptr<PlusPlusTransport> transport;
    if (target->kind == AdapterTarget::Kind::Tcp) {
        transport = std::make_unique<TcpTransport>(target->host, target->port, timings.connectMs);
    } else {
        transport = std::make_unique<SerialTransport>(target->device, AdapterBaudRate);
    }
    auto driver = std::make_unique<PrologixDriver>(
        std::move(transport),
        ar488 ? PrologixDriver::Adapter::Ar488 : PrologixDriver::Adapter::Prologix, timings);
    if (!driver->open(&error)) {
        return failure(error +
                       QStringLiteral("\n\nCheck the adapter's cable, power and address.\n") +
                       simHint(program, advice));
    }
    *description = QStringLiteral("\"++\" adapter at %1: %2")
                       .arg(target->text(), QString::fromLatin1(driver->adapterVersion()));
    DriverCreation c;
    c.driver = std::move(driver);
    return c;
}

} // namespace

DriverCreation createDriver(const DriverSpec& spec, const QString& program, std::ostream& traceOut,
                            const PlusPlusTimings& adapterTimings, DriverAdvice advice)
{
    QString description;
    DriverCreation c;
    switch (spec.kind) {
    case DriverSpec::Kind::Library:
        c = fromLibrary(spec, program, advice, &description);
        break;
    case DriverSpec::Kind::Simulated:
        c = fromSimulation(spec, program, &description);
        break;
    case DriverSpec::Kind::Prologix:
    case DriverSpec::Kind::Ar488:
        c = fromAdapter(spec, program, adapterTimings, advice, &description);
        break;
    }
    if (spec.trace) {
        if (c.ok()) {
            traceOut << "gpib: driver: " << description.toStdString() << '\n' << std::flush;
            c.driver = std::make_unique<TraceDriver>(std::move(c.driver), traceOut);
        } else {
            traceOut << "gpib: no driver: " << c.errorText.toStdString() << '\n' << std::flush;
        }
    }
    // Outside the trace, so that the trace shows the list the bus was given.
    c.meters = spec.meters;
    if (c.ok() && !spec.meters.addresses.isEmpty()) {
        c.driver = std::make_unique<AddressLimitDriver>(std::move(c.driver), spec.meters.addresses);
    }
    return c;
}

} // namespace lumodm
