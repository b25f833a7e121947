#pragma once

#include "bus/vbib32.h"
#include "bus/vbib32rv.h"
#include "meter/meter_model.h"

#include <QList>
#include <QString>
#include <cstdint>
#include <vector>

namespace lumodm {

// The meter found on the bus: its device handle (0 when none answered),
// its designation as it answered, and the model that names.
struct MeterIdentity
{
    std::int16_t device = 0;
    QString modelName;
    MeterModel model = MeterModel::None;
    // Its primary address, as discovery listed it.
    int address = 0;
};

// Clears the interface, discovers the listeners and identifies the first
// that answers "ID?" with a text containing "DM". Bus failures end the
// program (through the helper module's messages).
MeterIdentity identifyMeter(Vbib32& gpib, Vbib32Rv& helper);

// The same start, then every listener that answers "ID?" with "DM", in
// ascending address order: the meters of one bus served at once. Listeners that answer otherwise
// are passed by.
std::vector<MeterIdentity> identifyMeters(Vbib32& gpib, Vbib32Rv& helper);

// Of the meters identified, those served (a supported model), and the
// addresses that name none: a meter of another model, or an address asked
// for where no meter answered. Each address once, ascending.
struct ServedMeters
{
    std::vector<MeterIdentity> supported;
    QList<int> missing;
};
ServedMeters sortOutMeters(const std::vector<MeterIdentity>& identified, const QList<int>& asked);

} // namespace lumodm
