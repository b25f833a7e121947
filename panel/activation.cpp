#include "panel/front_panel.h"

#include "meter/function_table.h"
#include "meter/meter_messages.h"
#include "panel/stored_settings.h"

#include <cstdlib>

namespace lumodm {

namespace {

// The fatal ends report a failure to whoever started the program.
constexpr int kExitFailure = 1;

} // namespace

void FrontPanel::Form_Activate()
{
    if (activated_) {
        return;
    }
    activated_ = true;

    PanelState& s = form_.state;
    if (s.ModelCode == MeterModel::None) {
        platform_.messageBox(noSupportedMeterText(), QStringLiteral("Error"), MessageButtons::Ok,
                             MessageIcon::Stop);
        platform_.endProgram(kExitFailure);
    }

    namespace ss = stored_settings;
    const QString& app = s.SettingsAppName;

    // Applying what was stored is not a change of the user's.
    s.UpdatingControls = kTrue;

    s.ColorScheme = ss::displayColorFromText(
        platform_.readSetting(app, ss::kSection, ss::kDisplayColor, ss::kDisplayColorDefault));
    ApplyColorScheme(s.ColorScheme);

    s.RefreshInterval = ss::refreshRateFromText(
        platform_.readSetting(app, ss::kSection, ss::kRefreshRate, ss::kRefreshRateDefault));
    SetRefreshRate(s.RefreshInterval);

    const bool confirm = ss::confirmFromText(
        platform_.readSetting(app, ss::kSection, ss::kConfirmFunctionChange, ss::kConfirmDefault));
    s.ConfirmFunctionChange = confirm ? kTrue : kFalse;
    form_.Menu_ConfirmFunctionChange.checked = confirm;

    // Appended, not replaced: activation runs once.
    for (const QString& code : functionListForModel(s.ModelCode)) {
        form_.Combo_Mode.addItem(code);
    }

    UpdateFunction();
    s.UpdatingControls = kFalse;
}

void FrontPanel::Form_Unload()
{
    PanelState& s = form_.state;
    if (s.SettingsChanged != kFalse) {
        namespace ss = stored_settings;
        const QString& app = s.SettingsAppName;
        platform_.writeSetting(app, ss::kSection, ss::kDisplayColor,
                               ss::displayColorText(s.ColorScheme));
        platform_.writeSetting(app, ss::kSection, ss::kRefreshRate,
                               ss::refreshRateText(s.RefreshInterval));
        platform_.writeSetting(app, ss::kSection, ss::kConfirmFunctionChange,
                               ss::confirmText(s.ConfirmFunctionChange != kFalse));
    }
    platform_.endProgram(0);
    // The compiler cannot see through the virtual call; endProgram never
    // returns.
    std::abort();
}

void FrontPanel::Menu_Exit_Click()
{
    // Closing the window is the unload; it ends the program.
    Form_Unload();
}

} // namespace lumodm
