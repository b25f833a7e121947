#include "panel/front_panel.h"

#include "meter/range_command.h"

namespace lumodm {

void FrontPanel::Label_Range_DblClick()
{
    form_.Combo_Range.visible = !form_.Combo_Range.visible;
}

void FrontPanel::Combo_Range_Click()
{
    PanelState& s = form_.state;
    ComboBox& list = form_.Combo_Range;
    // Quiet for the read-back's own selections and while the list is shut.
    if (s.UpdatingControls != kFalse || !list.visible) {
        return;
    }

    const QString answer = helper_.GpibQuery(s.DeviceHandle, rangeQuestion(s.ModelCode));
    const float present = presentRangeNumber(s.ModelCode, s.FunctionCode, answer);

    // Already on the chosen range, or nothing chosen (a list emptied while
    // the query let events in): nothing to send.
    const int selected = list.listIndex();
    if (selected < 0 || present == static_cast<float>(selected)) {
        list.visible = false;
        return;
    }

    helper_.GpibWrite(s.DeviceHandle, rangeCommand(s.ModelCode, s.FunctionCode,
                                                   static_cast<std::int16_t>(selected), present));
    form_.Label_Range.caption = list.text();
    list.visible = false;
}

} // namespace lumodm
