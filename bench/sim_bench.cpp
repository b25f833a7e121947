// The simulated bus as the panel uses it: what one query costs the
// processor beyond its 0.1 s wait, and what start-up discovery and
// identification of one meter cost.
#include "bus/bus_connection.h"
#include "bus/drivers/sim/sim_bus_factory.h"
#include "bus/vbib32.h"
#include "bus/vbib32rv.h"
#include "platform/qt_core_platform.h"

#include <benchmark/benchmark.h>
#include <cstdlib>

namespace lumodm {
namespace {

// The program's platform with every message box answered OK.
class QuietQtPlatform : public QtCorePlatform
{
  public:
    MessageAnswer messageBox(const QString&, const QString&, MessageButtons, MessageIcon) override
    {
        return MessageAnswer::Ok;
    }
};

// A platform whose waits pass at once: what remains is processor time.
class InstantPlatform : public PlatformServices
{
  public:
    MessageAnswer messageBox(const QString&, const QString&, MessageButtons, MessageIcon) override
    {
        return MessageAnswer::Ok;
    }
    void processEvents(double deadline) override
    {
        if (deadline > now_) {
            now_ = deadline;
        }
    }
    double now() override { return now_; }
    QString readSetting(const QString&, const QString&, const QString&,
                        const QString& defaultValue) override
    {
        return defaultValue;
    }
    void writeSetting(const QString&, const QString&, const QString&, const QString&) override {}
    [[noreturn]] void endProgram(int) override { std::abort(); }

  private:
    double now_ = 0.0;
};

template <typename Platform> void queryRoundTrip(benchmark::State& state)
{
    auto bus = createSimulatedBus(QString(), nullptr);
    Platform platform;
    BusConnection connection(*bus, platform);
    Vbib32& gpib = connection.gpib();
    Vbib32Rv& rv = connection.helper();
    std::int16_t device = gpib.ibdev(0, 16, 0, gpib::T3s, 1, 0);
    const QString send = QStringLiteral("SEND");
    for (auto _ : state) {
        QString answer = rv.GpibQuery(device, send);
        benchmark::DoNotOptimize(answer);
    }
}

// Wall time: the 0.1 s wait; CPU time: what the query costs beyond it.
void BM_SimGpibQuery_QtPlatform(benchmark::State& state)
{
    queryRoundTrip<QuietQtPlatform>(state);
}
BENCHMARK(BM_SimGpibQuery_QtPlatform)->Unit(benchmark::kMillisecond)->Iterations(30);

void BM_SimGpibQuery_NoWait(benchmark::State& state)
{
    queryRoundTrip<InstantPlatform>(state);
}
BENCHMARK(BM_SimGpibQuery_NoWait)->Unit(benchmark::kMicrosecond);

// Start-up on a bus with another instrument before the meter: bus
// initialisation, discovery, the "ID?" search and the model query.
void BM_SimDiscoverAndIdentify(benchmark::State& state)
{
    for (auto _ : state) {
        auto bus = createSimulatedBus(QStringLiteral("DM5010@16"), nullptr);
        bus->addListener(3, "HP3478A");
        InstantPlatform platform;
        BusConnection connection(*bus, platform);
        Vbib32Rv& rv = connection.helper();
        rv.DeviceTimeout = gpib::T3s;
        std::int16_t mode = 1;
        rv.InitGpibBus(mode);
        QString query = QStringLiteral("ID?");
        QString expected = QStringLiteral("!DM");
        std::int16_t device = rv.FindInstrument(query, expected);
        QString model = rv.GpibQuery(device, query);
        benchmark::DoNotOptimize(model);
    }
}
BENCHMARK(BM_SimDiscoverAndIdentify)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace lumodm
