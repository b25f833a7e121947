#pragma once

#include "bus/vbib32.h"
#include "platform/platform_services.h"

#include <QString>
#include <array>
#include <cstdint>

namespace lumodm {

// The helper module through which the panel reaches the bus: start-up
// (InitGpibBus, FindInstrument) and instrument I/O (GpibWrite, GpibRead,
// GpibQuery, GpibWait) with their messages. Texts travel as 8-bit
// characters: one byte per QChar (Latin-1), so any byte survives.
class Vbib32Rv
{
  public:
    Vbib32Rv(Vbib32& gpib, PlatformServices& platform);

    // Module-wide state.
    std::array<std::int16_t, 15> ListenerTable{};
    std::array<std::int16_t, 15> UnclaimedListeners{};
    std::int16_t DeviceTimeout = 0;
    std::int16_t ProbeDevice = 0;
    std::int16_t ProbeOpen = 0;       // Boolean, True = -1
    std::int16_t GpibWriteFailed = 0; // Boolean, True = -1
    // The listener word FindInstrument last handed out: a meter's address
    // known without asking the driver.
    std::int16_t ClaimedListener = 0;

    void InitGpibBus(std::int16_t& mode);
    std::int16_t FindInstrument(QString& query, QString& expectedResponse);

    void GpibWrite(std::int16_t& device, const QString& command);
    QString GpibRead(std::int16_t& device);
    QString GpibQuery(std::int16_t& device, const QString& command);
    void GpibWait(float seconds);
    void ReportGpibError();
    [[noreturn]] void DeviceNotConfigured();

    // The waits GpibWait was asked for so far, in milliseconds: the least
    // a sequence of queries takes, whatever the bus adds.
    std::int64_t specifiedWaitMs() const { return specifiedWaitMs_; }

  private:
    Vbib32& gpib_;
    PlatformServices& platform_;
    std::int64_t specifiedWaitMs_ = 0;
};

// The last line of a GPIB error's box: the choice between its two buttons.
QString gpibErrorChoiceText();

} // namespace lumodm
