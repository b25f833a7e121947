#include "panel/front_panel.h"

#include "meter/identify_meter.h"

namespace lumodm {

void FrontPanel::Form_Load()
{
    Form_Load(identifyMeter(gpib_, helper_));
}

void FrontPanel::Form_Load(const MeterIdentity& identity)
{
    PanelState& s = form_.state;
    s.SettingsAppName = QStringLiteral("LumoDM");

    session_.adopt(identity);
    s.DeviceHandle = identity.device;
    s.ModelName = identity.modelName;
    s.ModelCode = identity.model;

    if (s.ModelCode == MeterModel::DM5120) {
        form_.applyDm5120WideLayout();
    }
    form_.caption = QStringLiteral("Lumo ") + s.ModelName + QStringLiteral(", v1.1/RV");
    form_.Menu_Init.caption = QStringLiteral("Initialize ") + s.ModelName;
}

} // namespace lumodm
