#pragma once

#include "bus/drivers/sim/sim_bus.h"
#include "bus/bus_connection.h"
#include "controls/form1.h"
#include "panel/front_panel.h"
#include "tests/support/scripted_platform.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

namespace lumodm::testing {

// A whole front panel on the simulated bus, as the program builds it: bus,
// VBIB32 wrapper, helper module, window model and handlers, with the
// scripted platform in place of the window toolkit. The simulated clock
// moves only when a wait waits, so runs and Stops are exact.
//
//   PanelFixture f("DM5110@12");
//   f.start();                       // Form_Load + Form_Activate
//   f.meter()->setSignal("DCV", 1.5);
//   f.clearReceived();
//   f.runFor(2.0);                   // Run, Stop 2 simulated seconds later
//   EXPECT_EQ(f.received(), ...);
class PanelFixture
{
  public:
    // `simSpec` as after "--sim=" ("DM5010@16", "DM5120@14,DM5110@3").
    explicit PanelFixture(const QString& simSpec = QStringLiteral("DM5010@16"));
    // Any bus, also an empty one (no meter).
    explicit PanelFixture(std::unique_ptr<SimulatedBus> bus);
    PanelFixture(const PanelFixture&) = delete;
    PanelFixture& operator=(const PanelFixture&) = delete;

    ScriptedPlatform platform;
    std::unique_ptr<SimulatedBus> bus;
    BusConnection connection;
    Vbib32& gpib;
    Vbib32Rv& helper;
    Form1 form;
    FrontPanel panel;

    PanelState& state() { return form.state; }

    // The stored settings under LumoDM/Settings.
    void storeSetting(const QString& key, const QString& value);
    QString storedSetting(const QString& key) const;
    bool hasStoredSetting(const QString& key) const;

    // Form_Load, then Form_Activate. A ProgramEnded escapes to the test.
    void start();

    // The first simulated meter on the bus (lowest address); nullptr when
    // there is none.
    SimulatedMeter* meter() const;

    // Messages the meter took in, oldest first, since the last clear.
    QList<QByteArray> received() const;
    // The same without the queries ("FUNCT?", "FUNC?", "RANGE?", "CALC?",
    // "SEND", "ID?"): the commands that change the meter.
    QList<QByteArray> commands() const;
    void clearReceived();

    // Presses Run and lets the run last `seconds` of simulated time, then
    // presses Stop; returns when Run's handler has returned.
    void runFor(double seconds);

    // The panel's handler for a Qt user's click at simulated time `at`.
    void clickAt(double at, void (FrontPanel::*handler)());
};

} // namespace lumodm::testing
