#include "stats/reading_history.h"
#include "stats/statistics_text.h"
#include "tests/support/plain_thinning.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <map>
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

// Every slice's extremes survive the thinning (against brute force), also
// kept up to date reading by reading across a clock set back, a second
// series and the ring's drops; and the ring keeps the newest points.
TEST(History, ThinningKeepsEveryExtremeAndTheRingDropsTheOldest)
{
    ReadingHistory history(400);
    std::mt19937_64 random(3);
    std::normal_distribution<double> value(0, 1);
    std::vector<HistoryPoint> added;
    GridThinning live;
    int mismatches = 0;
    for (int i = 0; i < 1500; ++i) {
        // The clock set back 30.5 s at 1000 s, then 50 s without readings.
        added.push_back({i - (i < 1000 ? 0 : 30.5) + (i < 1200 ? 0 : 50), value(random)});
        history.add(added.back().time, added.back().value);
        live.update(history, added.back().time < 1260 ? std::vector{0.0} : std::vector{0.0, 1260.0},
                    50);
        std::map<std::pair<std::int64_t, double>, GridBucket> cells;
        for (std::size_t j = 0; j < history.size(); ++j) {
            const auto [t, v] = history.at(j);
            const GridBucket b{static_cast<std::int64_t>(std::floor(t / live.width())),
                               t < 1260 ? 0.0 : 1260.0, v, v};
            auto& cell = cells.try_emplace({b.column, b.series}, b).first->second;
            cell = {b.column, b.series, std::min(cell.minimum, v), std::max(cell.maximum, v)};
        }
        std::vector<GridBucket> expected;
        for (const auto& [key, cell] : cells) {
            if (key.first >= live.firstColumn() && key.first < live.firstColumn() + 50)
                expected.push_back(cell);
        }
        mismatches += !std::equal(live.buckets().begin(), live.buckets().end(), expected.begin(),
                                  expected.end());
    }
    EXPECT_EQ(mismatches, 0);
    ASSERT_EQ(history.size(), 400U);
    EXPECT_EQ(history.at(0).time, added[1100].time);

    // 60 slices of 10 s from 700 s to 1300 s, the end in the last.
    std::vector<testing::ThinnedColumn> expected;
    for (std::size_t i = 1100; i < added.size(); ++i) {
        const auto [t, v] = added[i];
        if (t < 700 || t > 1300)
            continue;
        const std::size_t c = std::min<std::size_t>(static_cast<std::size_t>(t - 700) / 10, 59);
        if (expected.empty() || expected.back().column != c)
            expected.push_back({c, v, v});
        expected.back().minimum = std::min(expected.back().minimum, v);
        expected.back().maximum = std::max(expected.back().maximum, v);
    }
    EXPECT_EQ(testing::thin(history, 60, 700, 1300), expected);
}

} // namespace
} // namespace lumodm
