#pragma once

#include "bus/bus_connection.h"
#include "controls/form1.h"
#include "meter/reading.h"
#include "platform/platform_services.h"
#include "session/meter_session.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace lumodm {

// The front panel's event handlers, on the window model. The Qt window
// calls these for user input and mirrors the model afterwards; the tests
// call them directly. Handlers run nested inside other handlers whenever
// a wait processes events.
class FrontPanel
{
  public:
    FrontPanel(Form1& form, BusConnection& bus, PlatformServices& platform);
    FrontPanel(const FrontPanel&) = delete;
    FrontPanel& operator=(const FrontPanel&) = delete;

    Form1& form() { return form_; }
    PanelState& state() { return form_.state; }
    // Told of every reading the panel shows (values, overflows and
    // exchanges that gave no number); not of skipped cycles, mismatches, or
    // readings that a Stop or an open range list kept off the display. Told
    // too when a run starts and ends; one added during a run hears of its
    // start at once.
    void addReadingObserver(ReadingObserver* observer);
    // Not from inside an observer's notification: the panel is telling them.
    void removeReadingObserver(ReadingObserver* observer);

    // What the panel knows of its meter, and asks it through.
    MeterSession& session() { return session_; }

    // Start-up, activation and the end. Form_Load finds the meter; given
    // one that was found already (one of several on the bus), it takes
    // that meter instead.
    void Form_Load();
    void Form_Load(const MeterIdentity& identity);
    void Form_Activate();
    [[noreturn]] void Form_Unload();
    [[noreturn]] void Menu_Exit_Click();

    // Settings read-back and the reading. `runReading`: the read-back opens
    // a reading of a measurement run (TakeReading).
    QString ReadSettings(bool runReading = false);
    void UpdateFunction();
    void TakeReading();

    // Run loop and update rate.
    void Button_Run_Click();
    void Button_Stop_Click();
    void SleepSecLocal(float sleepTime);
    void SetRefreshRate(float rate);
    void Menu_RR_HalfSec_Click();
    void Menu_RR_OneSec_Click();
    void Menu_RR_TwoSec_Click();
    void Menu_RR_FiveSec_Click();
    void Menu_RR_TenSec_Click();

    // Function and range controls.
    void Combo_Mode_Click();
    void Combo_Mode_KeyPress(std::int16_t& keyAscii);
    void Button_Apply_Click();
    void Menu_Apply_Click();
    void Button_Refresh_Click();
    void Menu_Refresh_Click();
    void Label_Range_DblClick();
    void Combo_Range_Click();
    void Menu_ConfirmFunctionChange_Click();
    void Menu_Init_Click();

    // Colour schemes.
    void ApplyColorScheme(std::int16_t scheme);
    void Menu_System_Click();
    void Menu_BW_Click();
    void Menu_RevBW_Click();
    void Menu_Red_Click();
    void Menu_Green_Click();
    void Menu_Blue_Click();

    void Menu_About_Click();

    // The About box's two lines.
    static QString aboutText();

  private:
    // The wait of SleepSecLocal; `sleepTime` is read again on every pass,
    // so the run loop hands it RefreshInterval itself.
    void waitSeconds(const float& sleepTime);
    void reportMismatch();
    bool displayBlocked() const;
    // Tells the observers when a run starts or ends: exactly while Stop is
    // offered.
    void announceRun(bool on);

    Form1& form_;
    Vbib32& gpib_;
    Vbib32Rv& helper_;
    PlatformServices& platform_;
    MeterSession session_;
    std::vector<ReadingObserver*> observers_;
    bool runOn_ = false;
    // The toolkit reports activation more than once; set up only the first.
    bool activated_ = false;
};

// Rebuilds the range list: "Auto", then Range1 to Range`count`; the range
// caption is shown only when there are ranges to choose.
void FillRangeList(Form1& form, std::int16_t count);

} // namespace lumodm
