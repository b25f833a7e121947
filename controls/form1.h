#pragma once

#include "controls/button.h"
#include "controls/combo_box.h"
#include "controls/label.h"
#include "controls/line.h"
#include "controls/menu_item.h"
#include "controls/panel_state.h"

#include <QString>
#include <array>

namespace lumodm {

// The main window as a model: every named control with its design values,
// and the state record. Handlers work on this; the Qt window mirrors it.
class Form1
{
  public:
    Form1(); // the design layout
    Form1(const Form1&) = delete;

    // Takes every control's and the state's values from `other`; the
    // lists keep their own click handlers. The window mirrors such a copy
    // of a panel that runs on another thread.
    void copyModelFrom(const Form1& other);

    // The DM5120's wider window, applied before the window is first shown.
    void applyDm5120WideLayout();

    static constexpr int kBorderWidth = 90; // outer width minus client width, twips
    QString caption;
    int outerWidth = 3480;
    int clientHeight = 2655;
    int clientWidth() const { return outerWidth - kBorderWidth; }

    // Labels, top of the stacking order first.
    Label Label_Range;
    Label Label_RunStop;
    Label Label_Prefix;
    Label Label_RefreshRate;
    Label Label_Func;
    Label Label_ReadOut;
    Label Label_ROBackground;

    ComboBox Combo_Range;
    ComboBox Combo_Mode;

    Button Button_Stop;
    Button Button_Run;
    Button Button_Refresh;
    Button Button_Apply;

    // Line1(0) grey on top, Line1(1) white one pixel below: an etched rule.
    std::array<Line, 2> Line1;

    // Menu bar, in order.
    MenuItem Menu_File;
    MenuItem Menu_Exit;
    MenuItem Menu_Utilities;
    MenuItem Menu_Apply;
    MenuItem Menu_Refresh;
    MenuItem Menu_U1;
    MenuItem Menu_DisplayColor;
    MenuItem Menu_System;
    MenuItem Menu_BW;
    MenuItem Menu_RevBW;
    MenuItem Menu_Red;
    MenuItem Menu_Green;
    MenuItem Menu_Blue;
    MenuItem Menu_UpdtaeRate;
    MenuItem Menu_RR_HalfSec;
    MenuItem Menu_RR_OneSec;
    MenuItem Menu_RR_TwoSec;
    MenuItem Menu_RR_FiveSec;
    MenuItem Menu_RR_TenSec;
    MenuItem Menu_ConfirmFunctionChange;
    MenuItem Menu_U2;
    MenuItem Menu_Init;
    MenuItem Menu_About;

    PanelState state;

  private:
    Form1& operator=(const Form1&) = default;
};

} // namespace lumodm
