// Cost of one readout's number formatting and of parsing one answer.
#include "meter/number_format.h"
#include "meter/parse_number.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

std::vector<float> readingValues()
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> value(-2000.0f, 2000.0f);
    std::vector<float> values(1024);
    for (float& v : values) {
        v = value(random);
    }
    return values;
}

// The reading procedure's case: a truncating 1.F format.
void BM_NrToStrTruncating(benchmark::State& state)
{
    const std::vector<float> values = readingValues();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lumodm::NrToStr(values[i++ & 1023], -1.4f));
    }
}
BENCHMARK(BM_NrToStrTruncating);

void BM_NrToStrSignificantDigits(benchmark::State& state)
{
    const std::vector<float> values = readingValues();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lumodm::NrToStr(values[i++ & 1023], 104.0f));
    }
}
BENCHMARK(BM_NrToStrSignificantDigits);

void BM_NrToStrGeneral(benchmark::State& state)
{
    const std::vector<float> values = readingValues();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lumodm::NrToStr(values[i++ & 1023], 0.0f));
    }
}
BENCHMARK(BM_NrToStrGeneral);

void BM_ParseLeadingNumber(benchmark::State& state)
{
    const QString answers[] = {QStringLiteral("-1.234567E-03"), QStringLiteral(" 0.0123456"),
                               QStringLiteral("DCV 2"), QStringLiteral("9.9E+37")};
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lumodm::ParseLeadingNumber(answers[i++ & 3]));
    }
}
BENCHMARK(BM_ParseLeadingNumber);

} // namespace
