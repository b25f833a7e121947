#include "tests/support/panel_fixture.h"

#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

// Apply of every function of every model, then one reading: the commands,
// the read-back and what the display shows for a signal.
TEST(FunctionControls, ApplySendsTheFunctionAndShowsWhatTheMeterReports)
{
    const Scenario scenarios[] = {
        {"DM5010", "signal DCV 0.0123456, read", "FUNCT?|CALC?|SEND", "",
         "Stopped| 12.34|mV|Auto 0/5|Voltage DC|DCV|RFMfubL"},
        {"DM5010", "signal OHMS 1500, pick OHMS, dbl, apply, read",
         "OHMS|CALC OFF|FUNCT?|FUNCT?|SEND", "Function Change",
         "Stopped| 1.5000|kOhm|Auto 0/6|Resistance|OHMS|RFMfubL"},
        {"DM5010", "confirm, signal DIODE 0.51239, pick DIODE, apply, read",
         "DIODE|CALC OFF|FUNCT?|FUNCT?|SEND", "", "Stopped| 0.5123||Auto 0/0|Diode|DIODE|RFMfub"},
        {"DM5010", "confirm, signal ACDC 0.05, pick ACDC, apply, read",
         "ACDC|CALC OFF|FUNCT?|FUNCT?|SEND", "",
         "Stopped| 50.00|mV|Auto 0/5|Voltage AC+DC|ACDC|RFMfubL"},
        {"DM5010", "confirm, signal DCV 1, pick DBM DCV, apply, read",
         "DCV;CALC DBM|FUNCT?|CALC?|FUNCT?|CALC?|SEND", "",
         "Stopped| 2.21|dBm|Auto 0/0|Voltage DC dBm|DBM DCV|RFMfub"},
        {"DM5010", "confirm, signal ACV 1, pick DBM ACV, apply, read",
         "ACV;CALC DBM|FUNCT?|CALC?|FUNCT?|CALC?|SEND", "",
         "Stopped| 2.21|dBm|Auto 0/0|Voltage AC dBm|DBM ACV|RFMfub"},
        {"DM5110", "confirm, signal DCA 0.0005, pick DCA, apply, read",
         "DCA|FUNCT?|RANGE?|FUNCT?|RANGE?|SEND", "",
         "Stopped| 0.5000|mA|Auto 0/5|Current DC|DCA|RFMfubL"},
        {"DM5110", "confirm, signal ACA 0.0001, pick ACA, apply, read",
         "ACA|FUNCT?|RANGE?|FUNCT?|RANGE?|SEND", "",
         "Stopped| 100.00|µA|Auto 0/5|Current AC|ACA|RFMfubL"},
        {"DM5110", "confirm, signal ACV 1, pick DBM, apply, read",
         "DBM|FUNCT?|RANGE?|FUNCT?|RANGE?|SEND", "",
         "Stopped| 2.21|dBm|Auto 0/0|Voltage AC dBm|DBM|RFMfub"},
        {"DM5110", "confirm, signal ACV 1, pick DBV, apply, read",
         "DBV|FUNCT?|RANGE?|FUNCT?|RANGE?|SEND", "",
         "Stopped| 0.00|dBv|Auto 0/0|Voltage AC dBv|DBV|RFMfub"},
        {"DM5110", "signal DCV 2000, read", "FUNCT?|RANGE?|SEND", "",
         "Stopped|OVERFLO|V|Auto 0/5|Voltage DC|DCV|RFMfubL"},
        {"DM5120", "confirm, signal ACV 1.2345678, pick ACV, menuapply, dbl, range 2, read",
         "ACV|FUNCT?|RANGE?|RANGE?|RANGE2|FUNCT?|RANGE?|SEND", "",
         "Stopped| 1.23456|V|Range2 2/4|Voltage AC|ACV|RFMfubL"},
        {"DM5120", "confirm, signal DCA 0.0002, pick DCA, apply, read",
         "DCA|FUNCT?|RANGE?|FUNCT?|RANGE?|SEND", "",
         "Stopped| 200.000|µA|Auto 0/5|Current DC|DCA|RFMfubL"},
        {"DM5120", "confirm, signal ACV 1, pick DB ACV, apply, read",
         "ACVDB|FUNCT?|RANGE?|FUNCT?|RANGE?|SEND", "",
         "Stopped| 0.00|dB|Auto 0/0|Voltage AC dB|DB ACV|RFMfub"},
        {"DM5120", "confirm, signal ACA 0.001, pick DB ACA, apply, read",
         "ACADB|FUNCT?|RANGE?|FUNCT?|RANGE?|SEND", "",
         "Stopped|-60.00|dB|Auto 0/0|Current AC dB|DB ACA|RFMfub"},
        // Cancelled, the list shows the applied function again; Enter applies
        // also without a pending change.
        {"DM5010", "pick ACDC, answer Cancel, apply", "", "Function Change",
         "Stopped|-------|V|Auto 0/5|Voltage DC|DCV|RFMfubL"},
        {"DM5010", "answer Cancel, enter, enter", "DCV|CALC OFF|FUNCT?|CALC?",
         "Function Change|Function Change", "Stopped|-------|V|Auto 0/5|Voltage DC|DCV|RFMfubL"},
        // Refresh takes the meter's function; with the list open it only closes it.
        {"DM5120", "meter DCA, pick OHMS, refresh", "FUNCT?|RANGE?", "",
         "Stopped|---------|A|Auto 0/5|Current DC|DCA|RFMfubL"},
        {"DM5120", "meter OHMS;RANGE3, dbl, menurefresh", "FUNCT?|RANGE?|RANGE?", "",
         "Stopped|---------|Ohm|Range3 3/7|Resistance|OHMS|RFMfubL"},
        // Initialize asks first; its re-read is no pending change.
        {"DM5110", "meter OHMS;RANGE3, refresh, answer No, init", "FUNCT?|RANGE?", "Initialize",
         "Stopped|-------|Ohm|Range3 3/6|Resistance|OHMS|RFMfubL"},
        {"DM5110", "meter OHMS;RANGE3, refresh, dbl, init", "FUNCT?|RANGE?|INIT|FUNCT?|RANGE?",
         "Initialize", "Stopped|-------|V|Auto 0/5|Voltage DC|DCV|RFMfubLO"},
    };
    for (const Scenario& s : scenarios) {
        expectScenario(s);
    }
}

// A range choice sends only a change, after asking the present range.
TEST(RangeControls, ChoosingARangeSendsOnlyAChange)
{
    const Scenario scenarios[] = {
        {"DM5010", "meter DCV 0.2, refresh, dbl, range 0, refresh",
         "FUNCT?|CALC?|FUNC?|DCV -2|FUNCT?|CALC?", "",
         "Stopped|-------|V|Auto 0/5|Voltage DC|DCV|RFMfubL"},
        {"DM5010", "meter OHMS -1, refresh, dbl, range 1", "FUNCT?|FUNC?|OHMS 200", "",
         "Stopped|-------|Ohm|Range1 1/6|Resistance|OHMS|RFMfubL"},
        {"DM5010", "meter OHMS 2000, refresh, dbl, range 6", "FUNCT?|FUNC?|OHMS 2E+07", "",
         "Stopped|-------|Ohm|Range6 6/6|Resistance|OHMS|RFMfubL"},
        {"DM5010", "meter ACV 2, refresh, dbl, range 5", "FUNCT?|CALC?|FUNC?|ACV 1000", "",
         "Stopped|-------|V|Range5 5/5|Voltage AC|ACV|RFMfubL"},
        {"DM5110", "meter OHMS;RANGE4, refresh, dbl, range 0", "FUNCT?|RANGE?|RANGE?|RANGE0", "",
         "Stopped|-------|Ohm|Auto 0/6|Resistance|OHMS|RFMfubL"},
        {"DM5120", "meter OHMS;RANGE4, refresh, dbl, range 2", "FUNCT?|RANGE?|RANGE?|RANGE2", "",
         "Stopped|---------|Ohm|Range2 2/7|Resistance|OHMS|RFMfubL"},
        {"DM5010", "meter DCV 20, refresh, dbl, range 3", "FUNCT?|CALC?|FUNC?", "",
         "Stopped|-------|V|Range3 3/5|Voltage DC|DCV|RFMfubL"},
        {"DM5010", "meter DCV -1, refresh, dbl, range 0", "FUNCT?|CALC?|FUNC?", "",
         "Stopped|-------|V|Auto 0/5|Voltage DC|DCV|RFMfubL"},
        {"DM5110", "meter ACA;RANGE2, refresh, dbl, range 2", "FUNCT?|RANGE?|RANGE?", "",
         "Stopped|-------|A|Range2 2/5|Current AC|ACA|RFMfubL"},
        // The program's own selections: the list shut, or while it updates.
        {"DM5110", "range 3, dbl, dbl", "", "",
         "Stopped|-------|V|Auto 3/5|Voltage DC|DCV|RFMfubL"},
        // During a run: no readings while the list is open.
        {"DM5110", "signal DCV 0.5, at 0.5 dbl, at 3 range 3, runfor 5",
         "FUNCT?|RANGE?|SEND|RANGE?|RANGE3|FUNCT?|RANGE?|SEND|FUNCT?|RANGE?|SEND", "",
         "Stopped|-------|V|Range3 3/5|Voltage DC|DCV|RFMfubL"},
        // Opened inside a reading's query, the reading stays off the display.
        {"DM5110", "signal DCV 0.5, at 0.25 dbl, at 1 look, runfor 2", "FUNCT?|RANGE?|SEND", "",
         "Running|-------|V|Auto 0/5|Voltage DC|DCV|SLO ; Stopped|-------|V|Auto 0/5|Voltage "
         "DC|DCV|RFMfubL"},
    };
    for (const Scenario& s : scenarios) {
        expectScenario(s);
    }
}

} // namespace
} // namespace lumodm::testing
