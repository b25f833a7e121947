#include "bus/vbib32rv.h"
#include "bus/vbib32rv_text.h"

#include <algorithm>
#include <cstring>

namespace lumodm {

namespace {

constexpr int ProbeBufferSize = 256;
constexpr int ProbeTimeoutCode = 11; // 1 s: a silent listener costs little

// Removes `marker` at the front (or back) of `text` and says whether it
// was there.
bool takeLeading(QString& text, QChar marker)
{
    if (!text.isEmpty() && text.front() == marker) {
        text.remove(0, 1);
        return true;
    }
    return false;
}

bool takeTrailing(QString& text, QChar marker)
{
    if (!text.isEmpty() && text.back() == marker) {
        text.chop(1);
        return true;
    }
    return false;
}

bool matches(const QString& response, const QString& expected, bool exact)
{
    if (exact) {
        return response == expected;
    }
    if (response.isEmpty()) {
        return false;
    }
    return response.toUpper().contains(expected.toUpper());
}

} // namespace

std::int16_t Vbib32Rv::FindInstrument(QString& query, QString& expectedResponse)
{
    if (ProbeOpen == 0) {
        ProbeDevice = gpib_.ibdev(0, 1, 0, ProbeTimeoutCode, 1, 0);
    }

    const QChar bang(QLatin1Char('!'));
    const bool noClear = takeLeading(query, bang);
    const bool continueAfterMessage = takeTrailing(query, bang);
    const bool silent = takeLeading(expectedResponse, bang);
    const bool pauseBeforeQuery = takeLeading(expectedResponse, QLatin1Char('?'));
    const bool exact = takeTrailing(expectedResponse, bang);

    if (UnclaimedListeners[0] <= 0) {
        if (silent) {
            return 0;
        }
        platform_.messageBox(
            QStringLiteral("Can't find more than") + vbib32rv::numberText(ListenerTable[0]) +
                QStringLiteral(" device(s).\n\nCorrect problem and restart."),
            QStringLiteral("Not enough devices on the bus"), MessageButtons::Ok, MessageIcon::Stop);
        platform_.endProgram(1);
    }

    const QByteArray queryBytes = query.toLatin1();
    const int listeners = std::clamp<int>(ListenerTable[0], 0, int(ListenerTable.size()) - 1);
    QString responses;
    for (int i = 1; i <= listeners; ++i) {
        const std::int16_t address = UnclaimedListeners[static_cast<std::size_t>(i)];
        if (address <= 0) {
            continue;
        }
        gpib_.ibpad(ProbeDevice, address);
        if (!noClear) {
            gpib_.ibclr(ProbeDevice);
        }
        char statusByte = 0;
        gpib_.ibrsp(ProbeDevice, &statusByte);
        if (pauseBeforeQuery) {
            GpibWait(0.1f);
        }
        gpib_.ibwrt(ProbeDevice, queryBytes.constData(), queryBytes.size());

        char buffer[ProbeBufferSize];
        std::memset(buffer, ' ', sizeof buffer);
        gpib_.ibrd(ProbeDevice, buffer, ProbeBufferSize);
        QByteArray raw = vbib32rv::trimSpaces(buffer, ProbeBufferSize);
        if (raw.endsWith('\n')) {
            raw.chop(1);
        }
        if (raw.endsWith('\r')) {
            raw.chop(1);
        }
        const QString response = QString::fromLatin1(raw);

        if (matches(response, expectedResponse, exact)) {
            UnclaimedListeners[static_cast<std::size_t>(i)] = 0;
            --UnclaimedListeners[0];
            ClaimedListener = address;
            gpib_.ibtmo(ProbeDevice, DeviceTimeout);
            ProbeOpen = 0;
            return ProbeDevice;
        }
        if (gpib_.ibsta & gpib::ERR) {
            gpib_.ibclr(ProbeDevice);
        }
        responses.prepend(response + QLatin1Char('\n'));
    }

    // Keep the probe for the next call: it is not handed out.
    ProbeOpen = -1;
    if (silent) {
        return 0;
    }
    const QString text = QStringLiteral("ID Query: ") + query +
                         QStringLiteral("\n\nExpected Response: ") + expectedResponse +
                         QStringLiteral("\n\nReceived Response(s):\n") + responses +
                         QStringLiteral("\nCorrect the problem and re") +
                         (continueAfterMessage ? QStringLiteral("try. Program will continue.")
                                               : QStringLiteral("start. Program will end."));
    const QString title = QStringLiteral("Expected Id-response from device not found") +
                          QString(40, QLatin1Char(' '));
    platform_.messageBox(text, title, MessageButtons::Ok, MessageIcon::Stop);
    if (!continueAfterMessage) {
        platform_.endProgram(1);
    }
    return 0;
}

} // namespace lumodm
