#include "tests/support/panel_fixture.h"

#include "bus/drivers/sim/sim_bus_factory.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>

namespace lumodm::testing {

namespace {

std::unique_ptr<SimulatedBus> busFor(const QString& spec)
{
    auto bus = spec.isEmpty() ? std::make_unique<SimulatedBus>() : createSimulatedBus(spec, {});
    if (!bus) {
        throw std::invalid_argument("bad simulated bus: " + spec.toStdString());
    }
    return bus;
}

using Handler = void (FrontPanel::*)();
const std::map<QString, Handler> kHandlers = {
    {"apply", &FrontPanel::Button_Apply_Click}, {"menuapply", &FrontPanel::Menu_Apply_Click},
    {"refresh", &FrontPanel::Button_Refresh_Click},
    {"menurefresh", &FrontPanel::Menu_Refresh_Click},
    {"dbl", &FrontPanel::Label_Range_DblClick}, {"stop", &FrontPanel::Button_Stop_Click},
    {"run", &FrontPanel::Button_Run_Click}, {"init", &FrontPanel::Menu_Init_Click},
    {"confirm", &FrontPanel::Menu_ConfirmFunctionChange_Click}, {"read", &FrontPanel::TakeReading},
    {"about", &FrontPanel::Menu_About_Click}, {"exit", &FrontPanel::Menu_Exit_Click},
    {"activate", &FrontPanel::Form_Activate},
    {"system", &FrontPanel::Menu_System_Click}, {"bw", &FrontPanel::Menu_BW_Click},
    {"revbw", &FrontPanel::Menu_RevBW_Click}, {"red", &FrontPanel::Menu_Red_Click},
    {"green", &FrontPanel::Menu_Green_Click}, {"blue", &FrontPanel::Menu_Blue_Click},
    {"rr.5", &FrontPanel::Menu_RR_HalfSec_Click}, {"rr1", &FrontPanel::Menu_RR_OneSec_Click},
    {"rr2", &FrontPanel::Menu_RR_TwoSec_Click}, {"rr5", &FrontPanel::Menu_RR_FiveSec_Click},
    {"rr10", &FrontPanel::Menu_RR_TenSec_Click}};
const std::map<QString, MessageAnswer> kAnswers = {{"Yes", MessageAnswer::Yes},
    {"No", MessageAnswer::No}, {"Ok", MessageAnswer::Ok}, {"Cancel", MessageAnswer::Cancel}};

} // namespace

PanelFixture::PanelFixture(const QString& simSpec)
    : bus(busFor(simSpec)), connection(*bus, platform), helper(connection.helper()),
      panel(form, connection, platform)
{
    panel.addReadingObserver(this);
}

void PanelFixture::readingTaken(const Reading& reading)
{
    EXPECT_NE(reading.time.time_since_epoch().count(), 0);
    readings.append(reading.readoutText + QLatin1Char('|') + reading.unit);
}

QString PanelFixture::storedSetting(const QString& key) const
{
    return platform.settings.value(QStringLiteral("LumoDM/Settings/") + key);
}

void PanelFixture::start()
{
    panel.Form_Load();
    panel.Form_Activate();
}

SimulatedMeter* PanelFixture::meter() const
{
    for (int address : bus->addresses()) {
        if (SimulatedMeter* m = bus->meterAt(address)) {
            return m;
        }
    }
    return nullptr;
}

QList<QByteArray> PanelFixture::received() const
{
    QList<QByteArray> result = meter() ? meter()->log().received() : QList<QByteArray>();
    result.removeIf([this](const QByteArray& m) { return byHand_.contains(m); });
    return result;
}

QList<QByteArray> PanelFixture::commands() const
{
    QList<QByteArray> result = received();
    result.removeIf([](const QByteArray& m) { return m.endsWith('?') || m == "SEND"; });
    return result;
}

void PanelFixture::clearReceived()
{
    if (SimulatedMeter* m = meter()) {
        m->log().clear();
    }
}

void PanelFixture::play(const QString& events)
{
    try {
        for (const QString& e : events.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            event(e.trimmed());
        }
    } catch (const ProgramEnded& end) {
        platform.messageBox({}, QStringLiteral("exit %1").arg(end.exitStatus), MessageButtons::Ok,
                            MessageIcon::None);
    }
}

void PanelFixture::event(const QString& text)
{
    const QString word = text.section(QLatin1Char(' '), 0, 0);
    const QString rest = text.section(QLatin1Char(' '), 1);
    if (word == QLatin1String("at")) {
        const double at = platform.now() + rest.section(QLatin1Char(' '), 0, 0).toDouble();
        platform.postEventAt(at, [this, rest] { event(rest.section(QLatin1Char(' '), 1)); });
    } else if (kHandlers.count(word) != 0) {
        (panel.*kHandlers.at(word))();
    } else if (word == QLatin1String("pick")) {
        form.Combo_Mode.userSelect(static_cast<int>(form.Combo_Mode.items().indexOf(rest)));
    } else if (word == QLatin1String("range")) {
        form.Combo_Range.userSelect(rest.toInt());
    } else if (word == QLatin1String("enter")) {
        std::int16_t key = 13;
        panel.Combo_Mode_KeyPress(key);
    } else if (word == QLatin1String("answer")) {
        platform.queueAnswer(kAnswers.at(rest));
    } else if (word == QLatin1String("meter")) {
        byHand_.append(rest.toLatin1());
        helper.GpibWrite(state().DeviceHandle, rest);
    } else if (word == QLatin1String("signal")) {
        meter()->setSignal(rest.section(QLatin1Char(' '), 0, 0).toLatin1(),
                           rest.section(QLatin1Char(' '), 1).toDouble());
    } else if (word == QLatin1String("silent") || word == QLatin1String("heal")) {
        meter()->faults().noAnswer = word == QLatin1String("silent");
    } else if (word == QLatin1String("vanish")) {
        meter()->faults().vanishAfterMessages = rest.toInt();
    } else if (word == QLatin1String("runfor")) {
        const double at = platform.now() + rest.toDouble();
        platform.postEventAt(at, [this] { panel.Button_Stop_Click(); });
        panel.Button_Run_Click();
    } else if (word == QLatin1String("look")) {
        looks.append(view());
    } else {
        throw std::invalid_argument("unknown event: " + text.toStdString());
    }
}

QString PanelFixture::view() const
{
    const Form1& w = form;
    const bool shown[] = {w.Label_RunStop.caption == QLatin1String("Running"), w.Button_Run.enabled,
                          w.Button_Stop.enabled,    w.Button_Apply.enabled,   w.Menu_Apply.enabled,
                          w.Button_Refresh.enabled, w.Combo_Mode.enabled,     w.Menu_File.enabled,
                          w.Menu_Utilities.enabled, w.Menu_About.enabled,     w.Label_Range.visible,
                          w.Combo_Range.visible,    w.state.StopRequested != kFalse};
    QString flags;
    for (int i = 0; i < 13; ++i) {
        if (shown[i]) {
            flags += QLatin1Char("rRSAaFMfubLOX"[i]);
        }
    }
    return QStringLiteral("%1|%2|%3 %4/%5|%6|%7")
        .arg(w.Label_ReadOut.caption, w.Label_Prefix.caption, w.Label_Range.caption)
        .arg(w.Combo_Range.listIndex())
        .arg(w.Combo_Range.listCount() - 1)
        .arg(w.Combo_Mode.text(), flags);
}

QString PanelFixture::titles() const
{
    QStringList titles;
    for (const ShownMessage& box : platform.messages()) {
        titles.append(box.title);
    }
    return titles.join(QLatin1Char('|'));
}

QString PanelFixture::lines() const
{
    return QString::fromLatin1(received().join('|'));
}

void expectScenario(const Scenario& s)
{
    SCOPED_TRACE(std::string(s.sim) + ": " + s.events);
    PanelFixture f(QString::fromLatin1(s.sim));
    const QStringList parts = QString::fromLatin1(s.events).split(QStringLiteral(" | "));
    f.panel.Form_Load();
    if (parts.size() > 1) {
        f.play(parts.front());
    }
    f.panel.Form_Activate();
    f.clearReceived();
    f.play(parts.back());
    EXPECT_EQ(f.lines().toStdString(), s.lines);
    EXPECT_EQ(f.titles().toStdString(), s.titles);
    EXPECT_EQ((f.looks + QStringList{f.view()}).join(QStringLiteral(" ; ")).toStdString(), s.views);
}

} // namespace lumodm::testing
