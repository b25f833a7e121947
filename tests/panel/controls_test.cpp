#include "tests/support/panel_fixture.h"

#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

// Every function of every model applied without the question, then one
// reading of a signal: what is sent, and what the panel shows.
TEST(FunctionControls, ApplySendsTheFunctionAndShowsWhatTheMeterReports)
{
    const struct
    {
        const char* sim;
        const char* code;
        const char* signal;
        const char* sent;
        const char* shown; // readout|unit|range caption index/highest|function
    } cases[] = {
        {"DM5010", "DCV", "DCV 0.0123456", "DCV|CALC OFF", " 12.34|mV|Auto 0/5|Voltage DC"},
        {"DM5010", "OHMS", "OHMS 1500", "OHMS|CALC OFF", " 1.5000|kOhm|Auto 0/6|Resistance"},
        {"DM5010", "DIODE", "DIODE 0.51239", "DIODE|CALC OFF", " 0.5123||Auto 0/0|Diode"},
        {"DM5010", "ACDC", "ACDC 0.05", "ACDC|CALC OFF", " 50.00|mV|Auto 0/5|Voltage AC+DC"},
        {"DM5010", "DBM DCV", "DCV 1", "DCV;CALC DBM", " 2.21|dBm|Auto 0/0|Voltage DC dBm"},
        {"DM5010", "DBM ACV", "ACV 1", "ACV;CALC DBM", " 2.21|dBm|Auto 0/0|Voltage AC dBm"},
        {"DM5110", "DCA", "DCA 0.0005", "DCA", " 0.5000|mA|Auto 0/5|Current DC"},
        {"DM5110", "ACA", "ACA 0.0001", "ACA", " 100.00|\u00B5A|Auto 0/5|Current AC"},
        {"DM5110", "DBM", "ACV 1", "DBM", " 2.21|dBm|Auto 0/0|Voltage AC dBm"},
        {"DM5110", "DBV", "ACV 1", "DBV", " 0.00|dBv|Auto 0/0|Voltage AC dBv"},
        {"DM5120", "ACV", "ACV 0.5", "ACV", " 0.50000|V|Auto 0/4|Voltage AC"},
        {"DM5120", "DB ACV", "ACV 1", "ACVDB", " 0.00|dB|Auto 0/0|Voltage AC dB"},
        {"DM5120", "DB ACA", "ACA 0.001", "ACADB", "-60.00|dB|Auto 0/0|Current AC dB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.sim) + " " + c.code);
        PanelFixture f(QString::fromLatin1(c.sim));
        f.start();
        f.clearReceived();
        f.play(QStringLiteral("confirm, signal %1, pick %2, apply, read").arg(c.signal, c.code));
        EXPECT_EQ(QString::fromLatin1(f.commands().join('|')), QString::fromLatin1(c.sent));
        const QString shown = f.view().section(QLatin1Char('|'), 0, 2) + QLatin1Char('|');
        EXPECT_EQ(shown + f.form.Label_Func.caption, QString::fromUtf8(c.shown));
        EXPECT_EQ(f.form.Combo_Mode.text(), QString::fromLatin1(c.code));
    }
}

// The question before a change, Refresh, Initialize and the range list.
TEST(FunctionControls, AskRefreshInitializeAndRanges)
{
    const Scenario scenarios[] = {
        {"DM5010", "pick OHMS, dbl, apply", "OHMS|CALC OFF|FUNCT?", "Function Change",
         "-------|Ohm|Auto 0/6|OHMS|RFMfubL"},
        // Cancel restores the list; Enter applies, also with nothing pending.
        {"DM5010", "pick ACDC, answer Cancel, apply", "", "Function Change",
         "-------|V|Auto 0/5|DCV|RFMfubL"},
        {"DM5010", "answer Cancel, enter, enter", "DCV|CALC OFF|FUNCT?|CALC?",
         "Function Change|Function Change", "-------|V|Auto 0/5|DCV|RFMfubL"},
        // Refresh takes the meter's function; with the list open it only closes it.
        {"DM5120", "meter DCA, pick OHMS, refresh", "FUNCT?|RANGE?", "",
         "---------|A|Auto 0/5|DCA|RFMfubL"},
        {"DM5120", "meter OHMS;RANGE3, dbl, menurefresh", "FUNCT?|RANGE?|RANGE?", "",
         "---------|Ohm|Range3 3/7|OHMS|RFMfubL"},
        // Initialize asks first; its re-read is no pending change, nor a range choice.
        {"DM5110", "meter OHMS;RANGE3, refresh, answer No, init", "FUNCT?|RANGE?", "Initialize",
         "-------|Ohm|Range3 3/6|OHMS|RFMfubL"},
        {"DM5110", "meter OHMS;RANGE3, dbl, init", "INIT|FUNCT?|RANGE?", "Initialize",
         "-------|V|Auto 0/5|DCV|RFMfubLO"},
        // A range choice asks the present range and sends only a change.
        {"DM5010", "meter DCV 0.2, refresh, dbl, range 0, refresh", "FUNCT?|CALC?|FUNC?|DCV -2|"
         "FUNCT?|CALC?", "", "-------|V|Auto 0/5|DCV|RFMfubL"},
        {"DM5010", "meter OHMS -1, refresh, dbl, range 1", "FUNCT?|FUNC?|OHMS 200", "",
         "-------|Ohm|Range1 1/6|OHMS|RFMfubL"},
        {"DM5110", "meter OHMS;RANGE4, refresh, dbl, range 0", "FUNCT?|RANGE?|RANGE?|RANGE0", "",
         "-------|Ohm|Auto 0/6|OHMS|RFMfubL"},
        {"DM5120", "meter DCA;RANGE4, refresh, dbl, range 2", "FUNCT?|RANGE?|RANGE?|RANGE2", "",
         "---------|A|Range2 2/5|DCA|RFMfubL"},
        // Already on the range chosen: nothing is sent; automatic counts as "Auto".
        {"DM5010", "meter DCV 20, refresh, dbl, range 3", "FUNCT?|CALC?|FUNC?", "",
         "-------|V|Range3 3/5|DCV|RFMfubL"},
        {"DM5010", "meter DCV -1, dbl, range 0", "FUNC?", "", "-------|V|Auto 0/5|DCV|RFMfubL"},
        // The program's own selection in the shut list.
        {"DM5110", "range 3, dbl, dbl", "", "", "-------|V|Auto 3/5|DCV|RFMfubL"},
        // During a run: no readings while the list is open.
        {"DM5110", "signal DCV 0.5, at 0.5 dbl, at 3 range 3, runfor 5",
         "FUNCT?|RANGE?|SEND|RANGE?|RANGE3|FUNCT?|RANGE?|SEND|FUNCT?|RANGE?|SEND", "",
         "-------|V|Range3 3/5|DCV|RFMfubL"},
        // Opened inside a reading's query, the reading stays off the display.
        {"DM5110", "signal DCV 0.5, at 0.25 dbl, at 1 look, runfor 2", "FUNCT?|RANGE?|SEND", "",
         "-------|V|Auto 0/5|DCV|rSLO ; -------|V|Auto 0/5|DCV|RFMfubL"},
    };
    for (const Scenario& s : scenarios) {
        expectScenario(s);
    }
}

} // namespace
} // namespace lumodm::testing
