#include "bus/drivers/sim/sim_bus_factory.h"

#include "bus/drivers/sim/sim_faults.h"
#include "bus/drivers/sim/sim_meter_factory.h"
#include "platform/checked_file.h"

#include <QStringList>

namespace lumodm {

namespace {

constexpr int DefaultAddress = 16;

std::unique_ptr<SimulatedBus> failure(QString* error, const QString& text)
{
    if (error != nullptr) {
        *error = text;
    }
    return nullptr;
}

} // namespace

std::unique_ptr<SimulatedBus> createSimulatedBus(const QString& spec, QString* error)
{
    const QString text = spec.trimmed().isEmpty() ? QStringLiteral("DM5010@16") : spec;
    auto bus = std::make_unique<SimulatedBus>();
    const QStringList entries = text.split(QLatin1Char(','));
    SimulatedMeter* last = nullptr;
    for (const QString& rawEntry : entries) {
        const QString entry = rawEntry.trimmed();
        if (entry.isEmpty()) {
            return failure(error, QStringLiteral("simulated bus \"%1\": empty meter entry")
                                      .arg(clippedForMessage(spec)));
        }
        if (entry.contains(QLatin1Char('='))) {
            // An option of the meter named before it.
            const QString key = entry.section(QLatin1Char('='), 0, 0).trimmed();
            if (key.compare(QLatin1String("fault"), Qt::CaseInsensitive) != 0) {
                return failure(error, QStringLiteral("unknown simulated bus option \"%1\" "
                                                     "(known: fault=NAME after a meter)")
                                          .arg(clippedForMessage(entry)));
            }
            if (last == nullptr) {
                return failure(error, QStringLiteral("simulated bus: \"%1\" follows no meter")
                                          .arg(clippedForMessage(entry)));
            }
            QString why;
            if (!last->faults().add(entry.section(QLatin1Char('='), 1), &why)) {
                return failure(error, QStringLiteral("simulated %1@%2: %3")
                                          .arg(QString::fromLatin1(last->model().name))
                                          .arg(last->address())
                                          .arg(why));
            }
            continue;
        }
        const qsizetype at = entry.indexOf(QLatin1Char('@'));
        const QString model = (at < 0 ? entry : entry.left(at)).trimmed();
        int address = DefaultAddress;
        if (at >= 0) {
            const QString addressText = entry.mid(at + 1).trimmed();
            address = plainDecimal(addressText, 1, 30, 2);
            if (address < 0) {
                return failure(error,
                               QStringLiteral("simulated %1: address \"%2\" is not 1 to 30")
                                   .arg(clippedForMessage(model), clippedForMessage(addressText)));
            }
        }
        std::unique_ptr<SimulatedMeter> meter = createSimulatedMeter(model);
        if (!meter) {
            return failure(error, QStringLiteral("unknown simulated meter \"%1\" "
                                                 "(known: DM5010, DM5110, DM5120)")
                                      .arg(clippedForMessage(model)));
        }
        if (bus->deviceAt(address) != nullptr) {
            return failure(error,
                           QStringLiteral("simulated bus: address %1 is given twice").arg(address));
        }
        last = bus->addMeter(std::move(meter), address);
    }
    return bus;
}

} // namespace lumodm
