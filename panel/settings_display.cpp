#include "panel/front_panel.h"

#include "meter/function_table.h"
#include "meter/range_command.h"

namespace lumodm {

void FillRangeList(Form1& form, std::int16_t count)
{
    form.Combo_Range.clear();
    form.Combo_Range.addItem(QStringLiteral("Auto"));
    if (count != 0) {
        form.Label_Range.visible = true;
        for (int i = 1; i <= count; ++i) {
            form.Combo_Range.addItem(rangeEntryText(static_cast<std::int16_t>(i)));
        }
    } else {
        form.Label_Range.visible = false;
    }
}

QString FrontPanel::ReadSettings(bool runReading)
{
    PanelState& state = form_.state;
    const MeterSettings settings = session_.askSettings();

    // A run's own reading only re-selects the voltage and resistance lists,
    // so an open list is not rebuilt under the user. Whether Run is enabled
    // does not tell: a mismatch leaves it disabled while the panel is idle,
    // and a Stop (perhaps during the questions just asked) ends the run at
    // once.
    const bool keepsLists = runReading && state.StopRequested == kFalse;
    const MeterSession::ReadBack back = session_.settle(settings, keepsLists, !runReading);
    if (back.listRebuilt) {
        FillRangeList(form_, back.rangeCount);
    }
    state.RangeNumber = back.rangeNumber;
    if (state.RangeNumber >= 1) {
        form_.Label_Range.caption = rangeEntryText(state.RangeNumber);
        form_.Combo_Range.setListIndex(state.RangeNumber);
    } else {
        form_.Label_Range.caption = QStringLiteral("Auto");
        form_.Combo_Range.setListIndex(0);
    }
    return back.functionCode;
}

void FrontPanel::UpdateFunction()
{
    const QString code = ReadSettings();
    form_.state.FunctionCode = code;

    if (const FunctionRow* row = findFunction(code)) {
        form_.Label_Func.caption = QString::fromUtf8(row->description);
        form_.Label_Prefix.caption = QString::fromUtf8(row->unitLabel);
        // Runs Combo_Mode_Click, which may enable Apply; disabled again below.
        form_.Combo_Mode.setListIndex(row->listIndex);
    }
    form_.state.AppliedFunctionIndex = static_cast<std::int16_t>(form_.Combo_Mode.listIndex());

    form_.Menu_Apply.enabled = false;
    form_.Button_Apply.enabled = false;
    form_.Button_Run.enabled = true;
}

} // namespace lumodm
