#include "bench/query_timing.h"
#include "bus/bus_connection.h"
#include "bus/drivers/address_limit_driver.h"
#include "bus/drivers/prologix/prologix_driver.h"
#include "bus/drivers/prologix/tcp_transport.h"
#include "bus/drivers/sim/sim_bus_factory.h"
#include "bus/vbib32.h"
#include "bus/vbib32rv.h"
#include "tests/support/fake_adapter_server.h"
#include "tests/support/fake_plus_plus_adapter.h"

#include <array>
#include <benchmark/benchmark.h>

namespace lumodm {
namespace {

using testing::FakeAdapterOptions;
using testing::FakeAdapterServer;
using testing::FakePlusPlusAdapter;

// A fake Ethernet adapter on the loopback address in front of a DM5010
// at 16, and the driver connected to it.
struct TcpBench
{
    explicit TcpBench(bool ar488 = false)
    {
        FakeAdapterOptions options;
        options.ar488 = ar488;
        server = std::make_unique<FakeAdapterServer>(
            FakeAdapterServer::Kind::Tcp, createSimulatedBus(QStringLiteral("DM5010@16"), nullptr),
            options);
        server->start(nullptr);
        const QStringList parts = server->target().split(QLatin1Char(':'));
        driver = std::make_unique<PrologixDriver>(
            std::make_unique<TcpTransport>(parts[0], parts[1].toUShort(), 2000),
            ar488 ? PrologixDriver::Adapter::Ar488 : PrologixDriver::Adapter::Prologix);
        ready = driver->open(nullptr);
    }
    std::unique_ptr<FakeAdapterServer> server;
    std::unique_ptr<PrologixDriver> driver;
    bool ready = false;
};

// Discovery's list: addresses 0 to 30, then the end mark.
std::array<std::uint16_t, 32> everyAddress()
{
    std::array<std::uint16_t, 32> addresses{};
    for (std::uint16_t a = 0; a <= 30; ++a) {
        addresses[a] = a;
    }
    addresses[31] = gpib::NOADDR;
    return addresses;
}

// GpibQuery as the panel makes it: write, the 0.1 s wait, read until END.
void BM_PrologixGpibQueryOverTcp(benchmark::State& state)
{
    TcpBench bench;
    if (!bench.ready) {
        state.SkipWithError("the fake adapter did not start");
        return;
    }
    bench::SilentPlatform platform;
    BusConnection connection(*bench.driver, platform);
    Vbib32Rv& rv = connection.helper();
    std::int16_t device = static_cast<std::int16_t>(bench.driver->ibdev(0, 16, 0, gpib::T3s, 1, 0));
    bench::timeGpibQueries(state, rv, device, QStringLiteral("SEND"), "beyond_wait_ms");
}
BENCHMARK(BM_PrologixGpibQueryOverTcp)
    ->UseRealTime()
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);

// One command and its answer through the adapter, without the query's wait.
void BM_PrologixRoundTripOverTcp(benchmark::State& state)
{
    TcpBench bench;
    if (!bench.ready) {
        state.SkipWithError("the fake adapter did not start");
        return;
    }
    const int ud = bench.driver->ibdev(0, 16, 0, gpib::T3s, 1, 0);
    char buffer[512];
    for (auto _ : state) {
        bench.driver->ibwrt(ud, "SEND", 4);
        bench.driver->ibrd(ud, buffer, sizeof buffer);
        benchmark::DoNotOptimize(buffer);
    }
}
BENCHMARK(BM_PrologixRoundTripOverTcp)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Finding the listeners at start-up: AR488's own search, or a serial poll
// of each of the 30 addresses with the default timings.
void BM_PrologixDiscoveryOverTcp(benchmark::State& state)
{
    TcpBench bench(state.range(0) != 0);
    if (!bench.ready) {
        state.SkipWithError("the fake adapter did not start");
        return;
    }
    const auto addresses = everyAddress();
    std::int16_t found[15];
    for (auto _ : state) {
        bench.driver->FindLstn(0, addresses.data(), found, 15);
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_PrologixDiscoveryOverTcp)
    ->ArgName("ar488")
    ->Arg(0)
    ->Arg(1)
    ->UseRealTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The time a serial Prologix adapter spends from opening to knowing the
// listeners, on the fake adapter's clock (which moves by every timeout the
// driver waits, as a real adapter's silence for an absent address would
// take): all 30 addresses, or --address=16 alone.
void BM_PrologixStartUpOnAdapterClock(benchmark::State& state)
{
    double adapterMs = 0;
    for (auto _ : state) {
        auto fake = std::make_unique<FakePlusPlusAdapter>(
            createSimulatedBus(QStringLiteral("DM5010@16"), nullptr));
        FakePlusPlusAdapter* adapter = fake.get();
        auto prologix =
            std::make_unique<PrologixDriver>(std::move(fake), PrologixDriver::Adapter::Prologix);
        prologix->open(nullptr);
        std::unique_ptr<GpibDriver> driver = std::move(prologix);
        if (state.range(0) != 0) {
            driver = std::make_unique<AddressLimitDriver>(
                std::move(driver), QList<int>{static_cast<int>(state.range(0))});
        }
        const auto addresses = everyAddress();
        std::int16_t found[15];
        driver->FindLstn(0, addresses.data(), found, 15);
        adapterMs = static_cast<double>(adapter->nowMs());
    }
    state.counters["adapter_ms"] = adapterMs;
}
BENCHMARK(BM_PrologixStartUpOnAdapterClock)->ArgName("address")->Arg(0)->Arg(16)->Iterations(1);

} // namespace
} // namespace lumodm
