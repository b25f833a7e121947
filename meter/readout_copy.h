#pragma once

#include <QString>

namespace lumodm {

// What Copy puts on the clipboard, from the panel and the readings window
// alike: the readout's figures
// with the unit label beside them, as the window shows them ("1.4999 V").
// An overflow is no quantity in that unit: its word alone. Empty while the
// readout shows no reading (its hyphens): there is nothing to copy.
QString readoutCopyText(const QString& readout, const QString& unit);

} // namespace lumodm
