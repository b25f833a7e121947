#include "panel/front_panel.h"

#include "panel/model_identity.h"

namespace lumodm {

void FrontPanel::Form_Load()
{
    PanelState& s = form_.state;
    s.SettingsAppName = QStringLiteral("LumoDM");

    gpib_.SendIFC(0);
    gpib_.ibsre(0, 1);
    // The identified meter gets a 3 s timeout (code 12).
    helper_.DeviceTimeout = 12;

    std::int16_t mode = 1; // any bus failure ends the program
    helper_.InitGpibBus(mode);

    // "!" keeps identification quiet: activation tells the user instead.
    QString query = QStringLiteral("ID?");
    QString expected = QStringLiteral("!DM");
    s.DeviceHandle = helper_.FindInstrument(query, expected);

    if (s.DeviceHandle != 0) {
        const QString identification = helper_.GpibQuery(s.DeviceHandle, QStringLiteral("ID?"));
        // An answer without a designation names no supported model.
        s.ModelName = modelNameFromIdentification(identification).value_or(QString());
        s.ModelCode = modelCodeFor(s.ModelName);
    }

    if (s.ModelCode == 3) {
        form_.applyDm5120WideLayout();
    }
    form_.caption = QStringLiteral("Lumo ") + s.ModelName + QStringLiteral(", v1.1/RV");
    form_.Menu_Init.caption = QStringLiteral("Initialize ") + s.ModelName;
}

} // namespace lumodm
