#include "tests/support/panel_fixture.h"

#include "bus/drivers/sim/sim_bus_factory.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace lumodm::testing {

namespace {

const QString kApplication = QStringLiteral("LumoDM");
const QString kSection = QStringLiteral("Settings");

std::unique_ptr<SimulatedBus> busFor(const QString& spec)
{
    QString error;
    auto bus = createSimulatedBus(spec, &error);
    if (!bus) {
        throw std::invalid_argument("bad simulated bus: " + error.toStdString());
    }
    return bus;
}

QString settingPath(const QString& key)
{
    return kApplication + QLatin1Char('/') + kSection + QLatin1Char('/') + key;
}

} // namespace

PanelFixture::PanelFixture(const QString& simSpec) : PanelFixture(busFor(simSpec)) {}

PanelFixture::PanelFixture(std::unique_ptr<SimulatedBus> simulatedBus)
    : bus(std::move(simulatedBus)), connection(*bus, platform), gpib(connection.gpib()),
      helper(connection.helper()), panel(form, connection, platform)
{
}

void PanelFixture::storeSetting(const QString& key, const QString& value)
{
    platform.settings.insert(settingPath(key), value);
}

QString PanelFixture::storedSetting(const QString& key) const
{
    return platform.settings.value(settingPath(key));
}

bool PanelFixture::hasStoredSetting(const QString& key) const
{
    return platform.settings.contains(settingPath(key));
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
    const SimulatedMeter* m = meter();
    return m != nullptr ? m->log().received() : QList<QByteArray>();
}

QList<QByteArray> PanelFixture::commands() const
{
    QList<QByteArray> result;
    for (const QByteArray& message : received()) {
        static const char* const kQueries[] = {"FUNCT?", "FUNC?", "RANGE?", "CALC?", "SEND", "ID?"};
        if (std::none_of(std::begin(kQueries), std::end(kQueries),
                         [&message](const char* q) { return message == q; })) {
            result.append(message);
        }
    }
    return result;
}

void PanelFixture::clearReceived()
{
    if (SimulatedMeter* m = meter()) {
        m->log().clear();
    }
}

void PanelFixture::runFor(double seconds)
{
    clickAt(platform.now() + seconds, &FrontPanel::Button_Stop_Click);
    panel.Button_Run_Click();
}

void PanelFixture::clickAt(double at, void (FrontPanel::*handler)())
{
    platform.postEventAt(at, [this, handler] { (panel.*handler)(); });
}

} // namespace lumodm::testing
