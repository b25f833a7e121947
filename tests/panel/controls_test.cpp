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

} // namespace
} // namespace lumodm::testing
