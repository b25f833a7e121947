#pragma once

#include "bus/vbib32rv.h"
#include "platform/qt_core_platform.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdint>

namespace lumodm::bench {

// A platform whose message boxes answer OK at once, so a failing query
// cannot stop a benchmark waiting for a click.
class SilentPlatform : public QtCorePlatform
{
  public:
    MessageAnswer messageBox(const QString&, const QString&, MessageButtons, MessageIcon) override
    {
        return MessageAnswer::Ok;
    }
};

// Runs one GpibQuery per benchmark iteration and reports under `counter`
// what each took beyond the query's own 0.1 s wait, in milliseconds.
inline void timeGpibQueries(benchmark::State& state, Vbib32Rv& rv, std::int16_t& device,
                            const QString& command, const char* counter)
{
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        QString answer = rv.GpibQuery(device, command);
        benchmark::DoNotOptimize(answer);
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const double perQuery = elapsed.count() / static_cast<double>(state.iterations());
    // The query waits 0.1f: take off exactly that.
    state.counters[counter] = benchmark::Counter((perQuery - static_cast<double>(0.1f)) * 1000.0);
}

} // namespace lumodm::bench
