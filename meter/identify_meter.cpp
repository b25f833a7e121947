#include "meter/identify_meter.h"

namespace lumodm {

MeterIdentity identifyMeter(Vbib32& gpib, Vbib32Rv& helper)
{
    gpib.SendIFC(0);
    gpib.ibsre(0, 1);
    // The identified meter gets a 3 s timeout (code 12).
    helper.DeviceTimeout = 12;

    std::int16_t mode = 1; // any bus failure ends the program
    helper.InitGpibBus(mode);

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
    }
    return identity;
}

} // namespace lumodm
