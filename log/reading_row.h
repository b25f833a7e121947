#pragma once

#include "meter/reading.h"

#include <QByteArray>
#include <QString>

namespace lumodm {

// The reading log's columns, shared by the panel's log and the headless
// reader's CSV output: time, model, function, range as the panel shows it
// (0 automatic, empty for a function without ranges), value (empty for an
// overflow or no reading), unit, readout as shown, the meter's raw answer.
QByteArray readingCsvHeader();
QByteArray readingCsvRow(const QByteArray& timestamp, const QString& model,
                         const Reading& record);

} // namespace lumodm
