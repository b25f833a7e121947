#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace lumodm {

// The supported models. The values are the panel's 16-bit model codes.
enum class MeterModel : std::int16_t { None = 0, DM5010 = 1, DM5110 = 2, DM5120 = 3 };

// The model a designation names (exact, case-sensitive); None for any other.
MeterModel meterModelNamed(const QString& designation);

// The model designation in an identification answer: the text between the
// first "/" and the first ","; without a "/", the text before the first
// ",". No designation (nullopt) when there is no "," after the "/".
std::optional<QString> modelNameFromIdentification(const QString& response);

// The DM5010 reports and takes its range as a value in volts or ohms, the
// others as a range number.
inline bool rangesAsValues(MeterModel model)
{
    return model == MeterModel::DM5010;
}

} // namespace lumodm
