#pragma once

#include "meter/reading.h"

#include <QByteArray>
#include <QString>

namespace lumodm {

// One reading as the JSON object a subscriber gets: time, seq, model,
// address, function, range, value (as shown), value_si, unit_si, unit,
// readout, raw, kind. Numbers that are not there (no number, an overflow,
// a function without ranges, an unknown address) are null.
QByteArray readingMessage(const QByteArray& time, long long seq, const QString& model, int address,
                          const Reading& reading);

} // namespace lumodm
