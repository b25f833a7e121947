#pragma once

#include "meter/meter_model.h"

#include <QString>
#include <cstdint>

namespace lumodm {

// 16-bit Booleans: True has all bits set.
using Boolean16 = std::int16_t;
constexpr Boolean16 kTrue = -1;
constexpr Boolean16 kFalse = 0;

// The window's state record, shared by the panel's procedures.
struct PanelState
{
    Boolean16 SettingsChanged = kFalse;
    Boolean16 UpdatingControls = kFalse;
    Boolean16 ConfirmFunctionChange = kFalse;
    Boolean16 StopRequested = kFalse;
    std::int16_t DeviceHandle = 0;
    MeterModel ModelCode = MeterModel::None;
    std::int16_t ColorScheme = 0;
    std::int16_t AppliedFunctionIndex = 0;
    std::int16_t RangeNumber = 0;
    QString SettingsAppName;
    QString ModelName;
    QString FunctionCode;
    float RefreshInterval = 0.0F;
};

} // namespace lumodm
