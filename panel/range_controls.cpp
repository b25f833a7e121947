#include "panel/front_panel.h"

#include "meter/parse_number.h"
#include "meter/settings_readback.h"
#include "meter/single_precision.h"

namespace lumodm {

namespace {

bool isDm5010VoltageCode(const QString& code)
{
    return code == QLatin1String("DCV") || code == QLatin1String("ACV") ||
           code == QLatin1String("ACDC");
}

bool isOhmsCode(const QString& code)
{
    return code == QLatin1String("OHMS");
}

// The number after the first space of a range answer (the whole answer
// when it has no space).
float rangeValueOf(const QString& answer)
{
    const qsizetype space = answer.indexOf(QLatin1Char(' '));
    const QStringView rest = space < 0 ? QStringView(answer) : QStringView(answer).mid(space + 1);
    return toSingle(ParseLeadingNumber(rest));
}

} // namespace

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

    const bool dm5010 = s.ModelCode == 1;
    float present = 0.0F;
    if (dm5010) {
        // The DM5010 answers with its range value, negative on automatic.
        present = rangeValueOf(helper_.GpibQuery(s.DeviceHandle, QStringLiteral("FUNC?")));
        if (present < 0.0F) {
            present = 0.0F;
        }
        if (present != 0.0F) {
            if (isDm5010VoltageCode(s.FunctionCode)) {
                present = dm5010VoltageRangeNumber(present);
            } else if (isOhmsCode(s.FunctionCode)) {
                present = dm5010OhmsRangeNumber(present);
            }
        }
    } else {
        present = rangeValueOf(helper_.GpibQuery(s.DeviceHandle, QStringLiteral("RANGE?")));
    }

    // Already on the chosen range, or nothing chosen (a list emptied while
    // the query let events in): nothing to send.
    const int selected = list.listIndex();
    if (selected < 0 || present == static_cast<float>(selected)) {
        list.visible = false;
        return;
    }

    QString command;
    if (dm5010) {
        float value = present;
        const auto rangeNumber = static_cast<std::int16_t>(selected);
        if (isDm5010VoltageCode(s.FunctionCode)) {
            value = dm5010VoltageRangeValue(rangeNumber);
        } else if (isOhmsCode(s.FunctionCode)) {
            value = dm5010OhmsRangeValue(rangeNumber);
        }
        command = s.FunctionCode + QLatin1Char(' ') + dm5010RangeValueText(value);
    } else {
        command = QStringLiteral("RANGE") + QString::number(selected);
    }
    helper_.GpibWrite(s.DeviceHandle, command);

    form_.Label_Range.caption = list.text();
    list.visible = false;
}

} // namespace lumodm
