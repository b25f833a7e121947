#include "panel/front_panel.h"

#include "meter/function_table.h"

namespace lumodm {

void FrontPanel::Combo_Mode_Click()
{
    // The program's own selections are not a pending change.
    if (form_.state.UpdatingControls == kFalse) {
        form_.Menu_Apply.enabled = true;
        form_.Button_Apply.enabled = true;
    }
}

void FrontPanel::Combo_Mode_KeyPress(std::int16_t& keyAscii)
{
    constexpr std::int16_t kEnter = 13;
    if (keyAscii == kEnter) {
        Button_Apply_Click();
    }
}

void FrontPanel::Button_Apply_Click()
{
    PanelState& s = form_.state;
    if (s.ConfirmFunctionChange != kFalse) {
        const MessageAnswer answer = platform_.messageBox(
            QStringLiteral("This will change the function of the ") + s.ModelName +
                QStringLiteral(".\nCheck the connections and click OK to confirm the change."),
            QStringLiteral("Function Change"), MessageButtons::OkCancel, MessageIcon::Question);
        if (answer == MessageAnswer::Cancel) {
            form_.Combo_Mode.setListIndex(s.AppliedFunctionIndex);
            form_.Menu_Apply.enabled = false;
            form_.Button_Apply.enabled = false;
            return;
        }
    }

    // The commands, then one pass of pending user events before the
    // read-back.
    session_.sendFunction(form_.Combo_Mode.text());
    form_.Combo_Range.visible = false;
    // Show what the meter now reports, not what was sent.
    UpdateFunction();
}

void FrontPanel::Menu_Apply_Click()
{
    Button_Apply_Click();
}

void FrontPanel::Button_Refresh_Click()
{
    UpdateFunction();
}

void FrontPanel::Menu_Refresh_Click()
{
    UpdateFunction();
}

void FrontPanel::Menu_ConfirmFunctionChange_Click()
{
    PanelState& s = form_.state;
    MenuItem& item = form_.Menu_ConfirmFunctionChange;
    if (item.checked) {
        s.ConfirmFunctionChange = kFalse;
        item.checked = false;
    } else {
        s.ConfirmFunctionChange = kTrue;
        item.checked = true;
    }
    if (s.UpdatingControls == kFalse) {
        s.SettingsChanged = kTrue;
    }
}

void FrontPanel::Menu_Init_Click()
{
    PanelState& s = form_.state;
    const MessageAnswer answer = platform_.messageBox(
        QStringLiteral("This will restore the default settings of the ") + s.ModelName +
            QStringLiteral(".\nAre you sure ?"),
        QStringLiteral("Initialize"), MessageButtons::YesNo, MessageIcon::Question);
    if (answer == MessageAnswer::No) {
        return;
    }
    session_.sendInitialize();
    // The re-read re-selects both lists; that is no change of the user's.
    s.UpdatingControls = kTrue;
    UpdateFunction();
    s.UpdatingControls = kFalse;
}

} // namespace lumodm
