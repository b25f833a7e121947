#include "panel/front_panel.h"

#include "meter/function_table.h"
#include "meter/meter_settings.h"
#include "meter/range_command.h"

#include <algorithm>

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
    const MeterSettings settings = readSettings(helper_, state.DeviceHandle, state.ModelCode);

    // A run's own reading only re-selects the voltage and resistance lists,
    // so an open list is not rebuilt under the user. Whether Run is enabled
    // does not tell: a mismatch leaves it disabled while the panel is idle,
    // and a Stop ends the run at once.
    const bool idle = !runReading || state.StopRequested != kFalse;
    if (settings.known()) {
        state.RangeNumber = settings.rangeNumber;
        const bool keepsList =
            (settings.group == UnitGroup::Voltage || settings.group == UnitGroup::Resistance) &&
            !idle;
        if (!keepsList) {
            FillRangeList(form_, settings.rangeCount);
        }
    }

    // A range beyond the list is cut to the highest entry; a list never
    // filled has none, and the cut stops at 0, which is automatic.
    if (state.RangeNumber >= 1 && state.RangeNumber >= form_.Combo_Range.listCount()) {
        state.RangeNumber =
            static_cast<std::int16_t>(std::max(form_.Combo_Range.listCount() - 1, 0));
    }
    if (state.RangeNumber >= 1) {
        form_.Label_Range.caption = rangeEntryText(state.RangeNumber);
        form_.Combo_Range.setListIndex(state.RangeNumber);
    } else {
        form_.Label_Range.caption = QStringLiteral("Auto");
        form_.Combo_Range.setListIndex(0);
    }
    return settings.functionCode;
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
