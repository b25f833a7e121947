// What the readings window's values cost per reading: the statistics and
// the chart's store told of one reading with a million held. Goal for the
// two together, with the chart's drawing: under 4 ms of processor time.
#include "stats/min_max_pyramid.h"
#include "stats/reading_statistics.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {

using namespace lumodm;

void BM_StatsAddReading(benchmark::State& state)
{
    MinMaxPyramid history;
    double t = 0.0;
    for (std::size_t i = 0; i < 1000000; ++i, t += 0.5) {
        history.append(t, 1e6 + std::sin(t / 600.0) + 1e-3 * std::sin(t * 7.1));
    }
    ReadingStatistics statistics;
    Reading reading;
    reading.kind = Reading::Kind::Value;
    reading.functionCode = QStringLiteral("OHMS");
    reading.baseUnit = QStringLiteral("Ohm");
    for (auto _ : state) {
        reading.valueInBase = 1e6 + std::sin(t);
        statistics.readingTaken(reading);
        history.append(t, reading.valueInBase);
        t += 0.5;
    }
    benchmark::DoNotOptimize(statistics.values().mean());
}
BENCHMARK(BM_StatsAddReading);

} // namespace
