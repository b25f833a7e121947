// What the readings window's values cost per reading: the statistics and
// the history told of one reading with 100,000 points held, and the plain
// one-pass thinning of those points to a chart of 800 columns (the
// reference the chart's incremental thinning is tested against). Goal for
// the two together, with the chart's drawing: under 2 ms of processor time.
#include "stats/reading_history.h"
#include "stats/reading_statistics.h"
#include "tests/support/plain_thinning.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

using namespace lumodm;

// A day at 0.5 s and more: a full ring of slowly drifting readings.
ReadingHistory fullHistory()
{
    ReadingHistory history;
    for (std::size_t i = 0; i < history.capacity(); ++i) {
        const double t = 0.5 * static_cast<double>(i);
        history.add(t, 1e6 + std::sin(t / 600.0) + 1e-3 * std::sin(t * 7.1));
    }
    return history;
}

void BM_StatsAddReading(benchmark::State& state)
{
    ReadingHistory history = fullHistory();
    ReadingStatistics statistics;
    Reading reading;
    reading.kind = Reading::Kind::Value;
    reading.functionCode = QStringLiteral("OHMS");
    reading.baseUnit = QStringLiteral("Ohm");
    double t = 0.5 * static_cast<double>(history.capacity());
    for (auto _ : state) {
        reading.valueInBase = 1e6 + std::sin(t);
        statistics.readingTaken(reading);
        history.add(t, reading.valueInBase);
        t += 0.5;
    }
    benchmark::DoNotOptimize(statistics.values().mean());
}
BENCHMARK(BM_StatsAddReading);

void BM_StatsThinHundredThousandTo800(benchmark::State& state)
{
    const ReadingHistory history = fullHistory();
    const double from = history.at(0).time;
    const double to = history.at(history.size() - 1).time;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lumodm::testing::thin(history, 800, from, to));
    }
    if (lumodm::testing::thin(history, 800, from, to).size() != 800) {
        state.SkipWithError("the thinning left columns empty");
    }
}
BENCHMARK(BM_StatsThinHundredThousandTo800)->Unit(benchmark::kMicrosecond);

} // namespace
