#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace lumodm {

// The model designation in an identification answer: the text between the
// first "/" and the first ","; without a "/", the text before the first
// ",". No designation (nullopt) when there is no "," after the "/".
std::optional<QString> modelNameFromIdentification(const QString& response);

// 1 DM5010, 2 DM5110, 3 DM5120, 0 anything else (exact, case-sensitive).
std::int16_t modelCodeFor(const QString& modelName);

} // namespace lumodm
