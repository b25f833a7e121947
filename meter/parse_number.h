#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>

namespace lumodm {

// The number at the start of a text: leading blanks skipped, optional sign,
// digits with an optional ".", optional exponent (E or e, optional sign,
// digits). Stops at the first character that cannot continue the number;
// 0 when there is none. Never reads past the number; never fails.
double ParseLeadingNumber(QStringView text);

// The nearest 16-bit integer, ties to even; saturates at -32768 and 32767
// (NaN gives 0).
std::int16_t nearestInt16(double value);

} // namespace lumodm
