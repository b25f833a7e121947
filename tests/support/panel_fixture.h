#pragma once

#include "bus/bus_connection.h"
#include "bus/drivers/sim/sim_bus.h"
#include "controls/form1.h"
#include "panel/front_panel.h"
#include "tests/support/scripted_platform.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

namespace lumodm::testing {

// A whole front panel on the simulated bus, as the program builds it, with
// the scripted platform in place of the window toolkit. The simulated clock
// moves only when a wait waits, so runs and Stops are exact.
class PanelFixture
{
  public:
    // `simSpec` as after "--sim=" ("DM5010@16", "DM5120@14,DM5110@3"); ""
    // for an empty bus.
    explicit PanelFixture(const QString& simSpec = QStringLiteral("DM5010@16"));
    // Any bus, also an empty one (no meter).
    explicit PanelFixture(std::unique_ptr<SimulatedBus> bus);
    PanelFixture(const PanelFixture&) = delete;
    PanelFixture& operator=(const PanelFixture&) = delete;

    ScriptedPlatform platform;
    std::unique_ptr<SimulatedBus> bus;
    BusConnection connection;
    Vbib32Rv& helper;
    Form1 form;
    FrontPanel panel;

    PanelState& state() { return form.state; }

    // The stored settings under LumoDM/Settings.
    void storeSetting(const QString& key, const QString& value);
    QString storedSetting(const QString& key) const;

    // Form_Load, then Form_Activate. A ProgramEnded escapes to the test.
    void start();

    // The first simulated meter on the bus; nullptr when there is none.
    SimulatedMeter* meter() const;

    // Messages the meter took from the panel, oldest first, since the last
    // clear; commands() without the queries.
    QList<QByteArray> received() const;
    QList<QByteArray> commands() const;
    void clearReceived();

    // Presses Run and presses Stop `seconds` of simulated time later;
    // returns when Run's handler has returned.
    void runFor(double seconds);

    // Plays a scenario: events separated by ",", each one of
    //   a handler: apply menuapply refresh menurefresh dbl stop run init
    //     confirm enter about exit activate, the scheme and rate items (system bw
    //     revbw red green blue rr.5 rr1 rr2 rr5 rr10), read (TakeReading);
    //   pick CODE (a user's choice in the function list), range N (in the
    //   range list), answer Yes|No|Ok|Cancel (for the next box);
    //   meter TEXT (set on the meter's own front panel: not panel traffic),
    //   signal FUNCTION VALUE, silent / heal (the meter stops / resumes
    //   answering), vanish N (leaves the bus after N messages, the last
    //   unanswered);
    //   runfor SECONDS; look (records view());
    //   at T EVENT: EVENT T simulated seconds from now, during a wait.
    // An end of the program is recorded as the box title "exit N".
    void play(const QString& events);
    // The controls in one line: ReadOut|Prefix|Range caption index/highest|
    // function list text|flags, a flag letter for each control enabled or
    // shown: r "Running", R Run, S Stop, A Apply button, a Apply menu,
    // F Refresh, M function list, f File, u Utilities, b About, L range
    // caption shown, O range list open; X for StopRequested.
    QString view() const;
    // The titles of the boxes shown, joined by "|".
    QString titles() const;
    // received(), joined by "|".
    QString lines() const;
    QStringList looks;

  private:
    void event(const QString& text);
    QList<QByteArray> byHand_;
};

// One scenario: a started panel on `sim`, `events` played; then the bus
// lines, the box titles and the views (the looks, then the final view,
// joined by " ; ") as expected. Events before a " | " are played between
// Form_Load and Form_Activate.
struct Scenario
{
    const char* sim;
    const char* events;
    const char* lines;
    const char* titles;
    const char* views;
};
void expectScenario(const Scenario& scenario);

} // namespace lumodm::testing
