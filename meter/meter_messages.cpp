#include "meter/meter_messages.h"

namespace lumodm {

QString noSupportedMeterText()
{
    return QStringLiteral("No supported Digital Multimeter (DM5010, DM5110) found on the bus !\n\n"
                          "Program will terminate.");
}

QString noSupportedMeterAtText(int address)
{
    return QStringLiteral("No supported Digital Multimeter (DM5010, DM5110, DM5120) found at "
                          "address %1 !\n\nThe other meters are served.")
        .arg(address);
}

QString busLostText()
{
    return QStringLiteral("The connection to the GPIB bus was lost: the adapter was unplugged, "
                          "switched off or its network link closed.\n\n"
                          "Program will terminate.");
}

QString settingsMismatchFinding(const QString& modelName)
{
    return QStringLiteral("A mismatch between the program setting and the actual setting of the ") +
           modelName + QStringLiteral(" has been detected.");
}

QString settingsMismatchText(const QString& modelName)
{
    const QChar lf(10);
    return settingsMismatchFinding(modelName) + lf + lf +
           QStringLiteral("Select Apply to reset the ") + modelName +
           QStringLiteral(" to the program setting") + lf + QString(40, QLatin1Char(' ')) +
           QStringLiteral("or") + lf + QStringLiteral("Refresh to import the ") + modelName +
           QStringLiteral(" setting to the program");
}

} // namespace lumodm
