#pragma once

#include <QString>
#include <cstdint>

namespace lumodm {

// The three stored settings: where they live and how their texts read and
// write. Unreadable texts give the defaults' meaning without a message.
namespace stored_settings {

inline const QString kSection = QStringLiteral("Settings");
inline const QString kDisplayColor = QStringLiteral("Display Color");
inline const QString kRefreshRate = QStringLiteral("Refresh Rate");
inline const QString kConfirmFunctionChange = QStringLiteral("Confirm Function Change");

inline const QString kDisplayColorDefault = QStringLiteral("0");
inline const QString kRefreshRateDefault = QStringLiteral("1");
inline const QString kConfirmDefault = QStringLiteral("True");

// Leading number rounded to the nearest integer, ties to even; a value
// that does not fit 16 bits gives 0.
std::int16_t displayColorFromText(const QString& text);
// Leading number as single precision; beyond the float range it saturates.
float refreshRateFromText(const QString& text);
// True exactly for "True".
bool confirmFromText(const QString& text);

QString displayColorText(std::int16_t scheme);
// Shortest text that reads back to the same float, "." as the point, no
// zero before it below 1 (".5", "-.5"), exponent form for very large or
// very small values ("1E+07").
QString refreshRateText(float rate);
QString confirmText(bool confirm);

} // namespace stored_settings
} // namespace lumodm
