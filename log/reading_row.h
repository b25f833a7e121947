#pragma once

#include "meter/reading.h"

#include <QByteArray>
#include <QString>

namespace lumodm {

// The reading log's columns, shared by the panel's log and the headless
// reader's CSV output: time, model, function, range as the panel shows it
// (0 automatic, empty for a function without ranges), value (empty for an
// overflow or no reading), unit, readout as shown, the meter's raw answer,
// and the meter's address. Logs written before the address column keep
// their eight columns (`withAddress` false).
QByteArray readingCsvHeader(bool withAddress = true);
QByteArray readingCsvRow(const QByteArray& timestamp, const Reading& record,
                         bool withAddress = true);

} // namespace lumodm
