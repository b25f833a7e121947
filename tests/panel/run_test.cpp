#include "panel/stop.h"
#include "tests/support/panel_fixture.h"

#include <gtest/gtest.h>

namespace lumodm::testing {
namespace {

// Run and every way a run ends; a DM5010 cycle is three 0.1 s queries and a wait.
TEST(RunLoop, RunsUntilStopped)
{
    const Scenario scenarios[] = {
        {"DM5010", "signal DCV 1.2345, at 0.5 look, runfor 3",
         "FUNCT?|CALC?|SEND|FUNCT?|CALC?|SEND|FUNCT?|CALC?|SEND", "",
         " 1.2345|V|Auto 0/5|DCV|rSL ; -------|V|Auto 0/5|DCV|RFMfubL"},
        // The interval runs from the end of one reading to the next.
        {"DM5010", "signal DCV 1.2345, rr2, runfor 6.5",
         "FUNCT?|CALC?|SEND|FUNCT?|CALC?|SEND|FUNCT?|CALC?|SEND", "",
         "-------|V|Auto 0/5|DCV|RFMfubL"},
        // A Stop ends the wait at once.
        {"DM5010", "at 0.6 stop, at 1 look, runfor 30", "FUNCT?|CALC?|SEND", "",
         "-------|V|Auto 0/5|DCV|RFMfubL"},
        // Stop during the "SEND" query: the hyphens stay, also for an overflow.
        {"DM5010", "signal DCV 1.2345, at 0.25 stop, runfor 30", "FUNCT?|CALC?|SEND", "",
         "-------|V|Auto 0/5|DCV|RFMfubL"},
        {"DM5010", "signal DCV 2000, at 0.25 stop, runfor 30", "FUNCT?|CALC?|SEND", "",
         "-------|V|Auto 0/5|DCV|RFMfubL"},
        // The range list opened then: an overflow still shows.
        {"DM5010", "signal DCV 2000, at 0.25 dbl, at 0.5 look, runfor 1", "FUNCT?|CALC?|SEND", "",
         "OVERFLO|V|Auto 0/5|DCV|rSLO ; -------|V|Auto 0/5|DCV|RFMfubL"},
        // A pending change: declined, applied, or applied and cancelled.
        {"DM5010", "pick OHMS, answer No, runfor 1.5, look, menuapply",
         "FUNCT?|CALC?|SEND|FUNCT?|CALC?|SEND|DCV|CALC OFF|FUNCT?|CALC?",
         "Apply change|Function Change",
         "-------|V|Auto 0/5|DCV|RaFMfubL ; -------|V|Auto 0/5|DCV|RFMfubL"},
        {"DM5010", "pick OHMS, answer Yes, runfor 1.5",
         "OHMS|CALC OFF|FUNCT?|FUNCT?|SEND|FUNCT?|SEND", "Apply change|Function Change",
         "-------|Ohm|Auto 0/6|OHMS|RFMfubL"},
        {"DM5010", "pick OHMS, answer Yes, answer Cancel, runfor 1.5",
         "FUNCT?|CALC?|SEND|FUNCT?|CALC?|SEND", "Apply change|Function Change",
         "-------|V|Auto 0/5|DCV|RFMfubL"},
        // The meter set to another function by hand: the run stops at once;
        // one Refresh shows its function, range and whole range list.
        {"DM5120", "at 0.6 meter OHMS;RANGE7, runfor 30, look, refresh",
         "FUNCT?|RANGE?|SEND|FUNCT?|RANGE?|FUNCT?|RANGE?", "Settings Error",
         "-------|V|Range4 4/4|DCV|AaFMfubL ; -------|Ohm|Range7 7/7|OHMS|RFMfubL"},
        // A failed read-back is a mismatch too.
        {"DM5010", "at 0.6 silent, runfor 30", "FUNCT?|CALC?|SEND|FUNCT?",
         "I/O Error|Settings Error", "-------|V|Auto 0/5|DCV|AaFMfubL"},
        // After a failed read-back the unit follows the function just confirmed.
        {"DM5010", "signal DCV 1.50001, silent, refresh, heal, at 0.5 look, runfor 1",
         "FUNCT?|FUNCT?|CALC?|SEND", "I/O Error",
         " 1.5000|V|Auto 0/5|DCV|rSL ; -------|V|Auto 0/5|DCV|RFMfubL"},
        // An answer without a number: the hyphens, the unit kept.
        {"DM5010", "signal DCV 0.01, read, vanish 3, read", "FUNCT?|CALC?|SEND|FUNCT?|CALC?|SEND",
         "I/O Error", "-------|mV|Auto 0/5|DCV|RFMfubL"},
        // A range list never filled: the range is cut to 0, never below, and 0
        // is automatic.
        {"DM5110", "silent | heal, meter DCV;RANGE3, runfor 1", "FUNCT?|RANGE?",
         "I/O Error|I/O Error|Settings Error", "-------|Ohm|Auto -1/-1||AaFMfubL"},
        // Closing the window ends the run without another reading.
        {"DM5010", "signal DCV 1.2345, at 0.8 exit, run", "FUNCT?|CALC?|SEND", "exit 0",
         " 1.2345|V|Auto 0/5|DCV|rSL"},
    };
    for (const Scenario& s : scenarios) {
        expectScenario(s);
    }
}

// Observers get what the display shows, not a reading a Stop kept off it,
// and each run's start and end, the panel's own stop on a mismatch too.
TEST(RunLoop, ObserversGetTheReadingsShownAndTheRuns)
{
    PanelFixture f;
    f.start();
    f.play(QStringLiteral("signal DCV 0.0123, read, at 0.25 stop, runfor 5, signal DCV 2000, read, "
                          "vanish 3, read"));
    EXPECT_EQ(f.readings.join(QLatin1Char(';')),
              QStringLiteral(" 12.30|mV;run;end;OVERFLO|V;-------|V"));
    // One added during a run hears of its start at once.
    PanelFixture g;
    g.start();
    g.platform.postEventAt(g.platform.now() + 0.5, [&g] {
        g.panel.removeReadingObserver(&g);
        g.panel.addReadingObserver(&g);
    });
    g.play(QStringLiteral("signal DCV 1.5, at 0.6 meter OHMS, runfor 30"));
    EXPECT_EQ(g.readings.join(QLatin1Char(';')), QStringLiteral("run; 1.5000|V;run;end"));
}

// Stop strips a unit prefix, and only that.
TEST(Stop, StripsOnlyTheUnitPrefix)
{
    const QString cases[][2] = {{"mV", "V"},      {QString(QChar(0x00B5)) + "A", "A"},
                                {"kOhm", "Ohm"},  {"MOhm", "Ohm"},
                                {"Ohm", "Ohm"},   {"dBm", "dBm"},
                                {"KOhm", "KOhm"}, {"", ""},
                                {"m", ""}};
    for (const auto& c : cases) {
        Form1 form;
        form.Label_Prefix.caption = c[0];
        Button_Stop_Click(form);
        EXPECT_EQ(form.Label_Prefix.caption, c[1]) << c[0].toStdString();
    }
}

} // namespace
} // namespace lumodm::testing
