#pragma once

#include "bus/bus_connection.h"
#include "bus/drivers/sim/sim_bus.h"
#include "panel/front_panel.h"
#include "tests/support/scripted_platform.h"

#include <QStringList>
#include <memory>

namespace lumodm::testing {

// A whole front panel on the simulated bus, as the program builds it, with
// the scripted platform (its clock moves only in waits) for the toolkit.
class PanelFixture : public ReadingObserver
{
  public:
    // `simSpec` as after "--sim=" ("DM5010@16", "DM5120@14,DM5110@3"); ""
    // for an empty bus.
    explicit PanelFixture(const QString& simSpec = QStringLiteral("DM5010@16"));

    ScriptedPlatform platform;
    std::unique_ptr<SimulatedBus> bus;
    BusConnection connection;
    Vbib32Rv& helper;
    Form1 form;
    FrontPanel panel;

    PanelState& state() { return form.state; }

    QString storedSetting(const QString& key) const; // under LumoDM/Settings

    void start(); // Form_Load, then Form_Activate

    SimulatedMeter* meter() const; // the first on the bus, if any

    // Messages the meter took from the panel since the last clear;
    // commands() without the queries.
    QList<QByteArray> received() const;
    QList<QByteArray> commands() const;
    void clearReceived();

    // Plays events separated by ",": a handler (apply menuapply refresh
    // menurefresh dbl stop run init confirm enter about exit activate read
    // system bw revbw red green blue rr.5 rr1 rr2 rr5 rr10); pick CODE, range
    // N (a user's choice in a list); answer Yes|No|Ok|Cancel (the next box);
    // meter TEXT (set on the meter itself), signal FUNCTION VALUE, silent,
    // heal, vanish N (the meter leaves after N messages); runfor SECONDS;
    // look (records view()); at T EVENT (T simulated seconds from now). An
    // end of the program is recorded as the box title "exit N".
    void play(const QString& events);
    // The controls in one line: ReadOut|Prefix|Range caption index/highest|
    // function list text|flags, a flag letter for each control enabled or
    // shown: r "Running", R Run, S Stop, A Apply button, a Apply menu,
    // F Refresh, M function list, f File, u Utilities, b About, L range
    // caption shown, O range list open; X for StopRequested.
    QString view() const;
    QString titles() const; // of the boxes shown, joined by "|"
    QString lines() const;  // received(), joined by "|"
    QStringList looks;
    // What the panel told its observers: "readout|unit" for each reading,
    // "run" and "end" for the run.
    QStringList readings;
    void readingTaken(const Reading& reading) override;
    void runStarted() override { readings << QStringLiteral("run"); }
    void runEnded() override { readings << QStringLiteral("end"); }

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
