#include "panel/front_panel.h"

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

    const float present = session_.askPresentRange();
    // Already on the chosen range, or nothing chosen (a list emptied while
    // the question let events in): nothing to send.
    const int selected = list.listIndex();
    if (!session_.sendRange(static_cast<std::int16_t>(selected), present)) {
        list.visible = false;
        return;
    }
    form_.Label_Range.caption = list.text();
    list.visible = false;
}

} // namespace lumodm
