#include "bench/query_timing.h"
#include "bus/bus_connection.h"
#include "bus/vbib32.h"
#include "bus/vbib32rv.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstring>
#include <sys/resource.h>

namespace lumodm {
namespace {

// Process processor time (user + system, all threads) in seconds.
double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A device that answers every read at once with one short line.
class InstantDriver : public GpibDriver
{
  public:
    int SendIFC(int) override { return ok(); }
    int ibsre(int, int) override { return ok(); }
    int FindLstn(int, const std::uint16_t*, std::int16_t*, int) override { return ok(); }
    int ibdev(int, int, int, int, int, int) override
    {
        ok();
        return 1;
    }
    int ibpad(int, int) override { return ok(); }
    int ibclr(int) override { return ok(); }
    int ibrsp(int, char*) override { return ok(); }
    int ibwrt(int, const char*, long count) override { return ok(count); }
    int ibrd(int, char* buffer, long count) override
    {
        static const char answer[] = "DCV\r\n";
        const long n = std::min<long>(count, sizeof answer - 1);
        std::memcpy(buffer, answer, static_cast<std::size_t>(n));
        status_ = GpibStatus{gpib::CMPL | gpib::END, 0, n};
        return status_.ibsta;
    }
    int ibwait(int, int) override { return ok(); }
    int ibtmo(int, int code) override
    {
        timeout_ = code;
        return ok();
    }
    int ibask(int, int, int* value) override
    {
        *value = timeout_;
        return ok();
    }

  private:
    int ok(long count = 0)
    {
        status_ = GpibStatus{gpib::CMPL, 0, count};
        return status_.ibsta;
    }
    int timeout_ = gpib::T3s;
};

void BM_GpibWaitTenthSecond(benchmark::State& state)
{
    bench::SilentPlatform platform;
    InstantDriver driver;
    BusConnection connection(driver, platform);
    Vbib32Rv& rv = connection.helper();
    const double cpuStart = processorSeconds();
    for (auto _ : state) {
        rv.GpibWait(0.1f);
    }
    const double cpu = processorSeconds() - cpuStart;
    state.counters["cpu_ms_per_wait"] =
        benchmark::Counter(cpu * 1000.0 / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_GpibWaitTenthSecond)->UseRealTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_GpibQueryInstantAnswer(benchmark::State& state)
{
    bench::SilentPlatform platform;
    InstantDriver driver;
    BusConnection connection(driver, platform);
    Vbib32Rv& rv = connection.helper();
    std::int16_t device = 1;
    bench::timeGpibQueries(state, rv, device, QStringLiteral("FUNCT?"), "overhead_ms");
}
BENCHMARK(BM_GpibQueryInstantAnswer)->UseRealTime()->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lumodm
