#include "meter/identify_meter.h"

#include <algorithm>

namespace lumodm {

namespace {

// Interface clear, remote enable, the listeners: any bus failure ends the
// program.
void startBus(Vbib32& gpib, Vbib32Rv& helper)
{
    gpib.SendIFC(0);
    gpib.ibsre(0, 1);
    // An identified meter gets a 3 s timeout (code 12).
    helper.DeviceTimeout = 12;
    std::int16_t mode = 1;
    helper.InitGpibBus(mode);
}

// The next unclaimed listener whose answer to "ID?" contains "DM", asked
// again for its designation; no device when none is left.
MeterIdentity nextMeter(Vbib32Rv& helper)
{
    // "!" keeps identification quiet: the caller tells the user instead.
    QString query = QStringLiteral("ID?");
    QString expected = QStringLiteral("!DM");
    MeterIdentity identity;
    identity.device = helper.FindInstrument(query, expected);
    if (identity.device != 0) {
        const QString answer = helper.GpibQuery(identity.device, QStringLiteral("ID?"));
        // An answer without a designation names no supported model.
        identity.modelName = modelNameFromIdentification(answer).value_or(QString());
        identity.model = meterModelNamed(identity.modelName);
        identity.address = helper.ClaimedListener & 0xFF;
    }
    return identity;
}

} // namespace

MeterIdentity identifyMeter(Vbib32& gpib, Vbib32Rv& helper)
{
    startBus(gpib, helper);
    return nextMeter(helper);
}

std::vector<MeterIdentity> identifyMeters(Vbib32& gpib, Vbib32Rv& helper)
{
    startBus(gpib, helper);
    std::vector<MeterIdentity> meters;
    // Each call claims one listener: at most the table's fourteen.
    for (std::size_t i = 0; i < helper.ListenerTable.size(); ++i) {
        const MeterIdentity identity = nextMeter(helper);
        if (identity.device == 0) {
            break;
        }
        meters.push_back(identity);
    }
    return meters;
}

ServedMeters sortOutMeters(const std::vector<MeterIdentity>& identified, const QList<int>& asked)
{
    ServedMeters sorted;
    for (const MeterIdentity& meter : identified) {
        if (meter.model != MeterModel::None) {
            sorted.supported.push_back(meter);
        } else {
            sorted.missing << meter.address;
        }
    }
    for (const int address : asked) {
        const bool answered =
            std::any_of(identified.cbegin(), identified.cend(),
                        [address](const auto& m) { return m.address == address; });
        if (!answered && !sorted.missing.contains(address)) {
            sorted.missing << address;
        }
    }
    std::sort(sorted.missing.begin(), sorted.missing.end());
    return sorted;
}

} // namespace lumodm
