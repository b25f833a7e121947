#include "bus/vbib32rv.h"

#include "bus/vbib32rv_text.h"
#include "platform/event_wait.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace lumodm {

namespace {

constexpr int ReadPieceSize = 512;
// A response that has not ended after 64 KiB is not an instrument answer:
// stop reading instead of growing without bound.
constexpr int MaxReadPieces = 65536 / ReadPieceSize;

// Drop the line end: when the next-to-last character is a line end the
// last one goes whatever it is, then up to two more line-end characters.
void stripLineEnd(QByteArray& response)
{
    const int length = response.size();
    if (length >= 2 && vbib32rv::isLineEnd(response[length - 2])) {
        response.chop(1);
    }
    for (int k = 0; k < 2; ++k) {
        if (response.isEmpty() || !vbib32rv::isLineEnd(response.back())) {
            break;
        }
        response.chop(1);
    }
}

} // namespace

void Vbib32Rv::GpibWrite(std::int16_t& device, const QString& command)
{
    GpibWriteFailed = 0;
    if (device == 0) {
        DeviceNotConfigured();
    }
    const QByteArray bytes = command.toLatin1();
    gpib_.ibwrt(device, bytes.constData(), bytes.size());
    ReportGpibError();
}

QString Vbib32Rv::GpibRead(std::int16_t& device)
{
    if (device == 0) {
        DeviceNotConfigured();
    }
    // Without an answer from the driver, keep the read timeout afterwards
    // rather than leave the device with no timeout at all.
    int savedTimeout = gpib::T3s;
    gpib_.ibask(device, gpib::IbcTMO, &savedTimeout);
    if (savedTimeout != gpib::T3s) {
        gpib_.ibtmo(device, gpib::T3s);
    }

    QByteArray response;
    int pieces = 0;
    for (;;) {
        char buffer[ReadPieceSize];
        std::memset(buffer, ' ', sizeof buffer);
        gpib_.ibwait(device, gpib::TIMO | gpib::CMPL);
        gpib_.ibrd(device, buffer, ReadPieceSize);
        const int status = gpib_.ibsta;
        // A timeout fails the read; so does an error that neither timed out
        // nor ended the message, since reading on would never end.
        if ((status & gpib::TIMO) || ((status & gpib::ERR) && !(status & gpib::END))) {
            pieces = 0;
            break;
        }
        response += vbib32rv::trimSpaces(buffer, ReadPieceSize);
        ++pieces;
        if (status & gpib::END) {
            break;
        }
        if (pieces >= MaxReadPieces) {
            pieces = 0;
            break;
        }
    }
    gpib_.ibtmo(device, savedTimeout);

    if (pieces == 0) {
        platform_.messageBox(QStringLiteral("Read cycle failed\nOperation aborted."),
                             QStringLiteral("I/O Error"), MessageButtons::Ok,
                             MessageIcon::Exclamation);
        return QString();
    }
    stripLineEnd(response);
    return QString::fromLatin1(response);
}

QString Vbib32Rv::GpibQuery(std::int16_t& device, const QString& command)
{
    if (device == 0) {
        DeviceNotConfigured();
    }
    GpibWrite(device, command);
    GpibWait(0.1f);
    if (GpibWriteFailed == 0) {
        return GpibRead(device);
    }
    return QString();
}

void Vbib32Rv::GpibWait(float seconds)
{
    if (seconds > 0.0F) { // a week at most: no sum of waits overflows
        specifiedWaitMs_ += std::lround(std::min(seconds, 604800.0F) * 1000.0F);
    }
    waitServingInput(platform_, static_cast<double>(seconds));
}

} // namespace lumodm
