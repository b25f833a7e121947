#pragma once

#include <QString>

namespace lumodm {

// The readout's number formatting. Depends on nothing but the standard
// library and QString.

// Sign character ("-" or a blank), then the magnitude at 7 significant
// digits, positional, trailing zeros and point dropped, no "0" before the
// point (" .5"); zero is " 0".
QString GeneralNumberText(float number);

// Formats `number` by the digit format `intFrac` (1.4, -1.2, 104, 0 ...).
QString NrToStr(float number, float intFrac);

} // namespace lumodm
