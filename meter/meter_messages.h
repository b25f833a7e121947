#pragma once

#include <QString>

namespace lumodm {

// The messages the panel and the headless reader share, word for word.

// When no supported model answered on the bus (title "Error").
QString noSupportedMeterText();

// When a meter asked for by its address (one of several) did not answer
// as a supported model (title "Error"); the others are served.
QString noSupportedMeterAtText(int address);

// When the adapter or board itself is gone while several meters are
// served (title "Bus Error"): told once, for all of them.
QString busLostText();

// When the meter is found on another function than the readings expect
// (title "Settings Error"): what was found, then what the panel's buttons
// do about it.
QString settingsMismatchText(const QString& modelName);
// What was found, alone, for a program without those buttons.
QString settingsMismatchFinding(const QString& modelName);

} // namespace lumodm
