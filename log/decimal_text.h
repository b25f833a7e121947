#pragma once

#include <QByteArray>

namespace lumodm {

// A reading as a plain decimal number for the log: "." as the decimal
// point whatever the locale, never an exponent, at most 15 significant
// digits so that the noise of scaling by powers of ten does not show
// (0.0123456 V shown in mV gives "12.3456"). Empty for infinity and NaN.
QByteArray plainDecimalText(double value);

} // namespace lumodm
