#include "bus/vbib32rv.h"
#include "bus/vbib32rv_text.h"

#include <cstdlib>

namespace lumodm {

namespace {

QString gpibErrorText(int error)
{
    switch (error) {
    case gpib::EDVR:
        return QStringLiteral("Operating system error.");
    case gpib::ECIC:
        return QStringLiteral("Function requires GPIB board to be CIC.");
    case gpib::ENOL:
        return QStringLiteral("No listener on write function.");
    case gpib::EADR:
        return QStringLiteral("GPIB board not addressed correctly.");
    case gpib::EARG:
        return QStringLiteral("Invalid argument to function call.");
    case gpib::ESAC:
        return QStringLiteral("GPIB board not system controller as required.");
    case gpib::EABO:
        return QStringLiteral("I/O operation aborted - timeout.");
    case gpib::ENEB:
        return QStringLiteral("Non-existent GPIB board.");
    case gpib::EOIP:
        return QStringLiteral("Asynchronous I/O in progress.");
    case gpib::ECAP:
        return QStringLiteral("No capability for operation.");
    case gpib::EFSO:
        return QStringLiteral("File system error.");
    case gpib::EBUS:
        return QStringLiteral("GPIB bus eror.");
    case gpib::ESTB:
        return QStringLiteral("Serial poll status queue owerflow.");
    case gpib::ESRQ:
        return QStringLiteral("SRQ stuck in on position.");
    case gpib::ETAB:
        return QStringLiteral("Table problem.");
    default:
        return QStringLiteral("Unknown error.");
    }
}

} // namespace

QString gpibErrorChoiceText()
{
    return QStringLiteral("Select OK to continue or Cancel to terminate program.");
}

void Vbib32Rv::ReportGpibError()
{
    if (!(gpib_.ibsta & gpib::ERR)) {
        return;
    }
    const int error = gpib_.iberr;
    const MessageAnswer answer =
        platform_.messageBox(gpibErrorText(error) + QLatin1Char('\n') + gpibErrorChoiceText(),
                             QStringLiteral("GPIB ERROR #") + vbib32rv::numberText(error),
                             MessageButtons::OkCancel, MessageIcon::Exclamation);
    if (answer == MessageAnswer::Cancel) {
        platform_.endProgram(1);
    }
    GpibWriteFailed = -1;
}

void Vbib32Rv::DeviceNotConfigured()
{
    platform_.messageBox(QStringLiteral("Device not configured.\n\nCorrect problem and restart."),
                         QStringLiteral("Device Error"), MessageButtons::Ok, MessageIcon::Stop);
    platform_.endProgram(1);
    // Not reached: the end of the program does not return.
    std::abort();
}

} // namespace lumodm
