#include "panel/front_panel.h"

#include "platform/event_wait.h"

#include <array>

namespace lumodm {

namespace {

struct RateItem
{
    float interval;
    MenuItem Form1::*item;
    const char* label;
};

constexpr std::array<RateItem, 5> kRates{{
    {0.5F, &Form1::Menu_RR_HalfSec, "0.5 sec"},
    {1.0F, &Form1::Menu_RR_OneSec, "1 sec"},
    {2.0F, &Form1::Menu_RR_TwoSec, "2 sec"},
    {5.0F, &Form1::Menu_RR_FiveSec, "5 sec"},
    {10.0F, &Form1::Menu_RR_TenSec, "10 sec"},
}};

} // namespace

void FrontPanel::Button_Run_Click()
{
    PanelState& s = form_.state;
    if (form_.Button_Apply.enabled) {
        const MessageAnswer answer = platform_.messageBox(
            QStringLiteral("A Function change is pending.\nDo you want to Apply ?"),
            QStringLiteral("Apply change"), MessageButtons::YesNo, MessageIcon::Question);
        if (answer == MessageAnswer::Yes) {
            Button_Apply_Click();
        } else {
            // Back to what the meter has; the list's handler re-enables
            // Apply, and only the button is disabled below.
            form_.Combo_Mode.setListIndex(s.AppliedFunctionIndex);
        }
    }

    form_.Label_RunStop.caption = QStringLiteral("Running");
    form_.Combo_Range.visible = false;
    form_.Menu_File.enabled = false;
    form_.Menu_Utilities.enabled = false;
    form_.Menu_About.enabled = false;
    form_.Combo_Mode.enabled = false;
    form_.Button_Apply.enabled = false;
    form_.Button_Refresh.enabled = false;
    // Stop becomes usable before Run is taken away.
    form_.Button_Stop.enabled = true;
    form_.Button_Run.enabled = false;
    announceRun(true);

    while (s.StopRequested == kFalse) {
        TakeReading();
        waitSeconds(s.RefreshInterval);
    }
    s.StopRequested = kFalse;
}

void FrontPanel::SleepSecLocal(float sleepTime)
{
    waitSeconds(sleepTime);
}

void FrontPanel::waitSeconds(const float& sleepTime)
{
    waitServingInput(
        platform_, [&sleepTime] { return static_cast<double>(sleepTime); },
        [this] { return form_.state.StopRequested != kFalse; });
}

void FrontPanel::SetRefreshRate(float rate)
{
    for (const RateItem& r : kRates) {
        (form_.*r.item).checked = false;
    }
    for (const RateItem& r : kRates) {
        if (rate == r.interval) {
            (form_.*r.item).checked = true;
            form_.Label_RefreshRate.caption = QString::fromLatin1(r.label);
        }
    }
    form_.state.RefreshInterval = rate;
    if (form_.state.UpdatingControls == kFalse) {
        form_.state.SettingsChanged = kTrue;
    }
}

void FrontPanel::Menu_RR_HalfSec_Click()
{
    SetRefreshRate(0.5F);
}

void FrontPanel::Menu_RR_OneSec_Click()
{
    SetRefreshRate(1.0F);
}

void FrontPanel::Menu_RR_TwoSec_Click()
{
    SetRefreshRate(2.0F);
}

void FrontPanel::Menu_RR_FiveSec_Click()
{
    SetRefreshRate(5.0F);
}

void FrontPanel::Menu_RR_TenSec_Click()
{
    SetRefreshRate(10.0F);
}

} // namespace lumodm
