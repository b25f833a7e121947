#include "connect/connect_model.h"

#include "bus/drivers/prologix/adapter_ports.h"
#include "bus/drivers/prologix/adapter_target.h"
#include "bus/drivers/sim/sim_model.h"

#include <algorithm>

namespace lumodm {

namespace {

constexpr quint16 kFtdiVendor = 0x0403;
constexpr quint16 kFtdiFt232 = 0x6001;
// Arduino, Arduino.org, the CH340 clones' QinHeng and the CP210x of Silicon Labs.
constexpr quint16 kArduinoVendors[] = {0x2341, 0x2a03, 0x1a86, 0x10c4};

} // namespace

AdapterGuess guessAdapter(bool hasIds, quint16 vendor, quint16 product, const QString& description)
{
    // A board programmed with its own name says what it is.
    if (description.contains(QLatin1String("Prologix"), Qt::CaseInsensitive)) {
        return AdapterGuess::Prologix;
    }
    if (description.contains(QLatin1String("AR488"), Qt::CaseInsensitive) ||
        description.contains(QLatin1String("Arduino"), Qt::CaseInsensitive)) {
        return AdapterGuess::Ar488;
    }
    if (!hasIds) {
        return AdapterGuess::Unknown;
    }
    if (vendor == kFtdiVendor && product == kFtdiFt232) {
        return AdapterGuess::Prologix;
    }
    const auto* end = std::end(kArduinoVendors);
    return std::find(std::begin(kArduinoVendors), end, vendor) != end ? AdapterGuess::Ar488
                                                                      : AdapterGuess::Unknown;
}

QList<SerialPortOffer> availableSerialPorts()
{
    QList<SerialPortOffer> ports;
    // Without the adapter module no serial port could be used: none is offered.
    const AdapterPorts* adapters = adapterPorts(nullptr);
    if (adapters == nullptr) {
        return ports;
    }
    for (const SerialPortListing& port : adapters->serialPorts()) {
        ports.append({port.location, port.description,
                      guessAdapter(port.hasIds, port.vendor, port.product, port.description)});
    }
    return ports;
}

const QStringList& ConnectModel::simulatedModels()
{
    static const QStringList models = [] {
        QStringList names;
        for (const SimModel* model : simModels()) {
            names << QString::fromLatin1(model->name);
        }
        return names;
    }();
    return models;
}

ConnectModel::ConnectModel(LibraryReport library, QList<SerialPortOffer> ports,
                           const std::optional<Connection>& remembered)
    : library_(std::move(library)), ports_(std::move(ports))
{
    if (remembered) {
        takeRemembered(*remembered);
        return;
    }
    if (library_.loaded) {
        bus = Bus::Board;
        return;
    }
    const auto known = std::find_if(ports_.cbegin(), ports_.cend(),
                                    [](const auto& p) { return p.guess != AdapterGuess::Unknown; });
    if (known != ports_.cend()) {
        bus = Bus::SerialAdapter;
        portIndex = static_cast<int>(known - ports_.cbegin());
        ar488 = known->guess == AdapterGuess::Ar488;
    }
}

void ConnectModel::takeRemembered(const Connection& remembered)
{
    const DriverSpec& d = remembered.driver;
    const MeterSelection& meters = d.meters;
    everyMeter = meters.several();
    address = meters.addresses.size() == 1 ? meters.addresses.constFirst() : 0;
    switch (d.kind) {
    case DriverSpec::Kind::Library:
        bus = Bus::Board;
        libraryPath = d.library;
        return;
    case DriverSpec::Kind::Simulated:
        bus = Bus::Simulator;
        simulatedModel = std::max(0, static_cast<int>(simulatedModels().indexOf(
                                         d.simulation.section(QLatin1Char('@'), 0, 0))));
        return;
    case DriverSpec::Kind::Prologix:
    case DriverSpec::Kind::Ar488:
        break;
    }
    const std::optional<AdapterTarget> target = parseAdapterTarget(d.adapter, nullptr);
    ar488 = d.kind == DriverSpec::Kind::Ar488;
    if (target && target->kind == AdapterTarget::Kind::Tcp) {
        bus = Bus::NetworkAdapter;
        host = target->host;
        tcpPort = target->port;
        return;
    }
    bus = Bus::SerialAdapter;
    rememberedPort_ = d.adapter;
    const auto same = std::find_if(ports_.cbegin(), ports_.cend(),
                                   [&](const auto& p) { return p.device == d.adapter; });
    portIndex = static_cast<int>(same - ports_.cbegin());
    if (same == ports_.cend()) { // unplugged now: still offered
        ports_.append({d.adapter, QString(), AdapterGuess::Unknown});
    }
}

std::optional<Connection> ConnectModel::connection(QString* error) const
{
    Connection c;
    DriverSpec& d = c.driver;
    if (everyMeter) {
        d.meters.every = true;
    } else if (address != 0) {
        d.meters.addresses = {address};
    }
    switch (bus) {
    case Bus::None:
        *error = QStringLiteral("Choose how the meter is connected.");
        return std::nullopt;
    case Bus::Board:
        d.kind = DriverSpec::Kind::Library;
        d.library = libraryPath.trimmed();
        return c;
    case Bus::Simulator:
        d.kind = DriverSpec::Kind::Simulated;
        d.simulation = simulatedModels().value(simulatedModel, simulatedModels().constFirst());
        if (address != 0) {
            d.simulation += QStringLiteral("@%1").arg(address);
        }
        return c;
    case Bus::SerialAdapter:
        if (portIndex < 0 || portIndex >= ports_.size()) {
            *error = QStringLiteral("Choose the serial port of the adapter.");
            return std::nullopt;
        }
        d.kind = ar488 ? DriverSpec::Kind::Ar488 : DriverSpec::Kind::Prologix;
        d.adapter = ports_.at(portIndex).device;
        c.briefProbe =
            ports_.at(portIndex).guess == AdapterGuess::Unknown && d.adapter != rememberedPort_;
        return c;
    case Bus::NetworkAdapter:
        break;
    }
    d.kind = DriverSpec::Kind::Prologix;
    const QString h = host.trimmed();
    d.adapter = (h.contains(QLatin1Char(':')) ? QLatin1Char('[') + h + QLatin1Char(']') : h) +
                QStringLiteral(":%1").arg(tcpPort);
    QString why;
    if (h.isEmpty() || !parseAdapterTarget(d.adapter, &why)) {
        *error = h.isEmpty() ? QStringLiteral("Enter the adapter's host name or address.") : why;
        return std::nullopt;
    }
    return c;
}

} // namespace lumodm
