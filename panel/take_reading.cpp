#include "panel/front_panel.h"

#include "meter/meter_messages.h"
#include "meter/reading.h"
#include "panel/stop.h"

namespace lumodm {

// The meter is on another function than the panel shows: stop the run and
// leave the user Apply or Refresh to settle it.
void FrontPanel::reportMismatch()
{
    platform_.messageBox(settingsMismatchText(form_.state.ModelName),
                         QStringLiteral("Settings Error"), MessageButtons::Ok, MessageIcon::Stop);
    form_.Menu_Apply.enabled = true;
    form_.Button_Apply.enabled = true;
    Button_Stop_Click();
    form_.Button_Run.enabled = false;
}

// A Stop or an open range list during the query keeps the reading off the
// display.
bool FrontPanel::displayBlocked() const
{
    return form_.state.StopRequested != kFalse || form_.Combo_Range.visible;
}

void FrontPanel::TakeReading()
{
    PanelState& state = form_.state;

    // The user is choosing a range: skip this cycle altogether.
    if (form_.Combo_Range.visible) {
        return;
    }
    const QString confirmed = ReadSettings(true);
    if (confirmed != form_.Combo_Mode.text()) {
        reportMismatch();
        return;
    }

    const Reading reading = session_.takeReading();
    switch (reading.kind) {
    case Reading::Kind::NoNumber:
        if (displayBlocked()) {
            return;
        }
        // The hyphens stand with whatever unit the label shows.
        form_.Label_ReadOut.caption = reading.readoutText;
        break;
    case Reading::Kind::Overflow:
        // After a Stop the readout keeps its hyphens and the unit label
        // stays, an overflow no less than any other answer.
        if (state.StopRequested != kFalse) {
            return;
        }
        form_.Label_ReadOut.caption = reading.readoutText;
        if (!reading.keepsUnitLabel) {
            form_.Label_Prefix.caption = reading.unit;
        }
        break;
    case Reading::Kind::Value:
        // An automatic range records the range the value fell into.
        state.RangeNumber = reading.rangeNumber;
        if (displayBlocked()) {
            return;
        }
        if (!reading.keepsUnitLabel) {
            form_.Label_Prefix.caption = reading.unit;
        }
        form_.Label_ReadOut.caption = reading.readoutText;
        break;
    }
    for (ReadingObserver* observer : observers_) {
        observer->readingTaken(reading);
    }
}

} // namespace lumodm
