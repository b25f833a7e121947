#include "panel/stop.h"

namespace lumodm {

namespace {

// "mV" -> "V", "µA" -> "A", "kOhm" -> "Ohm"; "dBm", "V", "Ohm" stay.
bool hasUnitPrefix(const QString& unit)
{
    if (unit.isEmpty()) {
        return false;
    }
    const QChar first = unit.front();
    return first == QLatin1Char('m') || first == QChar(0x00B5) || first == QLatin1Char('k') ||
           first == QLatin1Char('M');
}

} // namespace

void Button_Stop_Click(Form1& form)
{
    form.Label_RunStop.caption = QStringLiteral("Stopped");
    form.Combo_Range.visible = false;
    form.Menu_File.enabled = true;
    form.Menu_Utilities.enabled = true;
    form.Menu_About.enabled = true;
    form.Combo_Mode.enabled = true;
    form.Button_Refresh.enabled = true;
    form.Button_Run.enabled = true;
    form.Button_Stop.enabled = false;

    // The run loop notices this in its wait and ends by itself.
    form.state.StopRequested = kTrue;

    form.Label_ReadOut.caption = QStringLiteral("-------");
    if (hasUnitPrefix(form.Label_Prefix.caption)) {
        form.Label_Prefix.caption = form.Label_Prefix.caption.mid(1);
    }
}

} // namespace lumodm
