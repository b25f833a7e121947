#include "stats/reading_statistics.h"
#include "stats/statistics_text.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numeric>
#include <random>

namespace lumodm {
namespace {

Reading reading(Reading::Kind kind, double value, const char* function = "DCV",
                const char* unit = "V")
{
    Reading r;
    r.kind = kind;
    r.valueInBase = value;
    r.functionCode = QString::fromLatin1(function);
    r.baseUnit = QString::fromLatin1(unit);
    return r;
}

// Against a two-pass reference; far from zero a sum of squares would lose
// the whole spread. Overflows and hyphens count for nothing.
TEST(Statistics, AgreeWithTwoPassReferenceAndRestart)
{
    const double cases[][2] = {{0, 1}, {1e6, 1e-3}, {-5, 100}}; // offset, noise
    for (const auto& [offset, width] : cases) {
        std::mt19937_64 random(7);
        std::uniform_real_distribution<double> noise(-width, width);
        std::vector<double> values(1000);
        ReadingStatistics statistics;
        for (double& v : values) {
            v = offset + noise(random);
            statistics.readingTaken(reading(Reading::Kind::Value, v));
            statistics.readingTaken(reading(Reading::Kind::Overflow, 9.9e37));
            statistics.readingTaken(reading(Reading::Kind::NoNumber, 0));
        }
        const double mean = std::accumulate(values.begin(), values.end(), 0.0) / 1000;
        const double squares =
            std::accumulate(values.begin(), values.end(), 0.0,
                            [mean](double sum, double v) { return sum + (v - mean) * (v - mean); });
        const RunningStatistics& s = statistics.values();
        EXPECT_NEAR(s.mean(), mean, width * 1e-9 + std::abs(mean) * 1e-14);
        EXPECT_NEAR(s.standardDeviation(), std::sqrt(squares / 999), width * 1e-6);
        EXPECT_EQ(s.minimum(), *std::min_element(values.begin(), values.end()));
        EXPECT_EQ(s.peakToPeak(), *std::max_element(values.begin(), values.end()) - s.minimum());

        statistics.readingTaken(reading(Reading::Kind::Value, 2.5, "OHMS", "Ohm"));
        EXPECT_EQ(statisticsLine(statistics).toStdString(),
                  "statistics: n=1 mean=2.5 std=- min=2.5 max=2.5 pp=0 unit=Ohm adev1=-");
        statistics.reset();
        EXPECT_EQ(statisticsLine(statistics).toStdString(),
                  "statistics: n=0 mean=- std=- min=- max=- pp=- unit=Ohm adev1=-");
    }
}

// A drift of d a reading: d/sqrt(2) at one step, whatever the offset; a
// reading without a number is a gap no step spans; a reset starts afresh.
TEST(Statistics, AllanDeviationAtOneStep)
{
    ReadingStatistics statistics;
    for (const double v : {5.0, 5.5, 6.0}) {
        statistics.readingTaken(reading(Reading::Kind::Value, v));
    }
    statistics.readingTaken(reading(Reading::Kind::NoNumber, 0));
    statistics.readingTaken(reading(Reading::Kind::Value, 100.0));
    statistics.readingTaken(reading(Reading::Kind::Value, 100.5));
    EXPECT_DOUBLE_EQ(statistics.allanDeviationOneStep().value_or(0), 0.5 / std::sqrt(2.0));
    EXPECT_TRUE(statisticsLine(statistics).contains(" unit=V adev1=0.35355339059327"));
    statistics.reset();
    statistics.readingTaken(reading(Reading::Kind::Value, 1.0));
    EXPECT_FALSE(statistics.allanDeviationOneStep());
}

} // namespace
} // namespace lumodm
