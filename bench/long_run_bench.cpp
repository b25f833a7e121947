// A long run's views of 1,000,000 readings: the histogram and the Allan
// deviation since Reset (goal for the two: under 50 ms), computed alone and
// through the readings window's analysis with its texts, and the chart's
// min/max store: appending them, a query at 1,000 pixel columns (goal: well
// under 4 ms, the whole redraw's budget) and its memory (peak_growth_mb is
// what the store added to the process's peak: run that case alone); the
// compaction of a full store, and ten million readings appended.
#include "readings/reading_analysis.h"
#include "stats/allan_deviation.h"
#include "stats/histogram.h"
#include "stats/min_max_pyramid.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <random>
#include <sys/resource.h>

namespace {

using namespace lumodm;

constexpr std::size_t kReadings = 1000000;

// Six days at 0.5 s: a 10 V reference with noise of 1 uV and a slow drift.
struct Run
{
    std::vector<double> times;
    std::vector<double> values;

    Run()
    {
        std::mt19937_64 random(1);
        std::normal_distribution<double> noise(0.0, 1e-6);
        for (std::size_t i = 0; i < kReadings; ++i) {
            const double t = 1.8e9 + 0.5 * static_cast<double>(i);
            times.push_back(t);
            values.push_back(10.0 + 1e-12 * static_cast<double>(i) + noise(random));
        }
    }
};

const Run& run()
{
    static const Run r;
    return r;
}

void BM_LongRunHistogramAndAllanDeviation(benchmark::State& state)
{
    const Run& r = run();
    const bool histogramToo = state.range(0) != 2;
    const bool allanToo = state.range(0) != 1;
    for (auto _ : state) {
        if (histogramToo) {
            benchmark::DoNotOptimize(histogram(r.values).counts.data());
        }
        if (allanToo) {
            benchmark::DoNotOptimize(allanDeviation(r.times, r.values).points.data());
        }
    }
}
// 0: both, 1: the histogram alone, 2: the Allan deviation alone.
BENCHMARK(BM_LongRunHistogramAndAllanDeviation)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

// Through the window's analysis, a reading added before each computation as
// the window does: /0 a million readings; /1 the ring full (2^20 held of
// 1,500,000), turned in order for each computation.
void BM_LongRunAnalysis(benchmark::State& state)
{
    const Run& r = run();
    ReadingAnalysis analysis;
    Reading reading;
    reading.kind = Reading::Kind::Value;
    reading.functionCode = QStringLiteral("DCV");
    reading.unit = reading.baseUnit = QStringLiteral("V");
    std::size_t taken = 0;
    const auto take = [&] {
        reading.valueInBase = r.values[taken % kReadings];
        reading.time = std::chrono::system_clock::time_point(
            std::chrono::milliseconds(1800000000000LL + 500LL * static_cast<long long>(taken)));
        analysis.readingTaken(reading);
        ++taken;
    };
    while (taken < (state.range(0) == 0 ? kReadings : kReadings * 3 / 2)) {
        take();
    }
    for (auto _ : state) {
        take();
        benchmark::DoNotOptimize(analysis.histogram().text.size());
        benchmark::DoNotOptimize(analysis.allanDeviation().text.size());
    }
    state.counters["readings"] = static_cast<double>(analysis.readings());
}
BENCHMARK(BM_LongRunAnalysis)
    ->Arg(0)
    ->Arg(1)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_PyramidAppendMillion(benchmark::State& state)
{
    const Run& r = run();
    static const double before = peakMegabytes(); // before the first store
    for (auto _ : state) {
        MinMaxPyramid pyramid;
        for (std::size_t i = 0; i < kReadings; ++i) {
            pyramid.append(r.times[i], r.values[i]);
        }
        benchmark::DoNotOptimize(pyramid.size());
        state.counters["store_mb"] = static_cast<double>(pyramid.memoryBytes()) / 1048576.0;
    }
    state.counters["s_per_reading"] = benchmark::Counter(
        static_cast<double>(kReadings),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["peak_rss_mb"] = peakMegabytes();
    state.counters["peak_growth_mb"] = peakMegabytes() - before;
}
BENCHMARK(BM_PyramidAppendMillion)->Unit(benchmark::kMillisecond);

// The one append that finds the store full and halves it: the slowest a
// reading ever costs; and ten million readings, a long log opened, with
// the store compacting itself four times on the way.
void BM_PyramidCompaction(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        MinMaxPyramid pyramid;
        for (std::size_t i = 0; i < pyramid.capacity(); ++i) {
            pyramid.append(static_cast<double>(i), std::sin(static_cast<double>(i)));
        }
        state.ResumeTiming();
        pyramid.append(1e12, 0.0);
        benchmark::DoNotOptimize(pyramid.level());
    }
}
BENCHMARK(BM_PyramidCompaction)->Unit(benchmark::kMillisecond);

void BM_PyramidAppendTenMillion(benchmark::State& state)
{
    for (auto _ : state) {
        MinMaxPyramid pyramid;
        for (std::size_t i = 0; i < 10 * kReadings; ++i) {
            pyramid.append(static_cast<double>(i), run().values[i % kReadings]);
        }
        benchmark::DoNotOptimize(pyramid.size());
        state.counters["level"] = pyramid.level();
        state.counters["store_mb"] = static_cast<double>(pyramid.memoryBytes()) / 1048576.0;
    }
}
BENCHMARK(BM_PyramidAppendTenMillion)->Unit(benchmark::kMillisecond);

// Columns over the whole run (1,000 readings each), then a zoom to a
// hundredth of it (10 readings each).
void BM_PyramidColumnsAtThousandPixels(benchmark::State& state)
{
    static const MinMaxPyramid pyramid = [] {
        MinMaxPyramid p;
        for (std::size_t i = 0; i < kReadings; ++i) {
            p.append(run().times[i], run().values[i]);
        }
        return p;
    }();
    const double whole = pyramid.time(pyramid.size() - 1) - pyramid.time(0);
    const double span = whole / static_cast<double>(state.range(0));
    const double from = pyramid.time(0) + (whole - span) / 2; // the middle of the run
    for (auto _ : state) {
        benchmark::DoNotOptimize(pyramid.columns(from, from + span, 1000).data());
    }
}
BENCHMARK(BM_PyramidColumnsAtThousandPixels)
    ->Arg(1)
    ->Arg(100)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMicrosecond);

} // namespace
