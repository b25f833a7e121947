#pragma once

#include "bus/vbib32rv.h"
#include "meter/function_table.h"
#include "meter/identify_meter.h"
#include "meter/meter_settings.h"
#include "meter/reading.h"
#include "platform/platform_services.h"

#include <QString>
#include <cstdint>

namespace lumodm {

// One meter on the bus as both programs drive it: its settings read back,
// its function and range changed, a reading taken. It keeps what the
// meter was last seen as (function, range, the range list that goes with
// them, the unit a reading shows) and hands out values; it knows no
// window. The panel shows its results on the controls, lumodm-read prints
// them.
class MeterSession
{
  public:
    MeterSession(Vbib32Rv& helper, PlatformServices& platform);

    // The meter this session drives.
    void adopt(const MeterIdentity& identity);
    const MeterIdentity& identity() const { return identity_; }
    std::int16_t& device() { return identity_.device; }
    MeterModel model() const { return identity_.model; }
    const QString& modelName() const { return identity_.modelName; }

    // One read-back's result.
    struct ReadBack
    {
        QString functionCode;             // as the meter reported it
        const FunctionRow* row = nullptr; // its function table row, if any
        // The range list was rebuilt for the function: "Auto" and
        // `rangeCount` ranges (none: the range caption is not offered).
        bool listRebuilt = false;
        std::int16_t rangeCount = 0;
        // The range now shown: cut to the list's highest entry.
        std::int16_t rangeNumber = 0;
    };

    // Asks the meter for its function and range ("FUNCT?" and "RANGE?" or
    // "CALC?").
    MeterSettings askSettings();
    // Takes what askSettings() found as the meter's state. `keepsLists`: a
    // run's own reading keeps the voltage and resistance lists as they
    // are, so an open list is not rebuilt under the user. `showsFunction`:
    // the read-back brings the function shown into line (Refresh, Apply,
    // activation): a reading then shows the function's unit until a
    // number says otherwise, and readings are checked against it.
    ReadBack settle(const MeterSettings& settings, bool keepsLists, bool showsFunction);
    // Both at once, for a caller that decides nothing between them.
    ReadBack readBack(bool keepsLists, bool showsFunction)
    {
        return settle(askSettings(), keepsLists, showsFunction);
    }

    // "SEND" on the function the last read-back confirmed: the reading,
    // with the unit it is shown in. An automatic range records the range
    // the value fell into.
    Reading takeReading();

    // Apply's commands for a function code, then one event pass, so that
    // user events get in before the read-back that should follow.
    void sendFunction(const QString& code);
    // The range the meter is on now, asked of it (automatic reads as 0).
    float askPresentRange();
    // The range list's pick `rangeNumber` on the function shown, unless
    // `present` says the meter is on it already. True when sent.
    bool sendRange(std::int16_t rangeNumber, float present);
    void sendInitialize();

    // What the meter was last seen as.
    const QString& shownFunction() const { return shownFunction_; }
    // The function list entry readings are checked against: the one the
    // last showing read-back selected.
    const QString& checkedFunction() const { return checkedFunction_; }
    std::int16_t rangeNumber() const { return rangeNumber_; }
    // The range list's entries ("Auto" and the ranges; none before the
    // first read-back).
    int listEntries() const { return listEntries_; }
    const QString& unitShown() const { return unitShown_; }

  private:
    Vbib32Rv& helper_;
    PlatformServices& platform_;
    MeterIdentity identity_;

    QString lastCode_;      // the last read-back's code
    QString shownFunction_; // the last showing read-back's code
    QString checkedFunction_;
    std::int16_t rangeNumber_ = 0;
    int listEntries_ = 0;
    QString unitShown_;
};

} // namespace lumodm
