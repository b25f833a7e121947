#include "stats/allan_deviation.h"
#include "stats/histogram.h"
#include "stats/min_max_pyramid.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace lumodm {
namespace {

// The definition term by term, O(N m): no cumulative sums, no line taken off.
double referenceDeviation(const double* y, std::size_t n, std::size_t m)
{
    const std::size_t terms = n - 2 * m + 1;
    double sum = 0;
    for (std::size_t j = 0; j < terms; ++j) {
        double d = 0;
        for (std::size_t i = j; i < j + m; ++i)
            d += y[i + m] - y[i];
        sum += d * d;
    }
    return std::sqrt(sum / (2.0 * m * m * terms));
}

TEST(AllanDeviation, AgreesWithTheDefinitionWhiteNoiseFallsDriftRises)
{
    std::mt19937_64 random(11);
    std::normal_distribution<double> noise(0, 1e-6);
    std::vector<double> times(4096), white(4096), drift(4096);
    for (std::size_t i = 0; i < times.size(); ++i) {
        times[i] = 1000 + 0.5 * i + (i % 4 == 1 ? 0.01 : 0); // a little jitter
        white[i] = 10 + noise(random);
        drift[i] = 10 + i / 1048576.0; // exactly on the line
    }
    const AllanDeviation w = allanDeviation(times, white);
    const AllanDeviation d = allanDeviation(times, drift);
    ASSERT_EQ(w.points.size(), 11U); // m = 1 ... 1024, a quarter of the run
    EXPECT_EQ(w.interval, 0.5);
    EXPECT_EQ(d.gapCount, 0U);
    for (std::size_t k = 0; k < 11; ++k) {
        EXPECT_EQ(w.points[k].tau, 0.5 * w.points[k].m);
        EXPECT_NEAR(w.points[k].deviation / referenceDeviation(white.data(), 4096, w.points[k].m),
                    1, 1e-9);
        // A drift of d a reading: exactly d m / sqrt(2).
        EXPECT_NEAR(d.points[k].deviation * 1048576.0 * std::sqrt(2.0) / d.points[k].m, 1, 1e-9);
    }
    EXPECT_NEAR(std::log(w.points[6].deviation / w.points[0].deviation) / std::log(64), -0.5, 0.05);
}

// Gaps are told and the longest stretch without one is computed over.
TEST(AllanDeviation, GapsAreReportedAndSkipped)
{
    const struct
    {
        std::size_t at;
        double shift; // the time stamps from `at` on move by this; 0: value missing
        std::size_t gapIndex, first, count;
    } cases[] = {{100, 10, 100, 100, 300}, {250, 0, 251, 0, 250}, {300, -5, 300, 0, 300}};
    for (const auto& c : cases) {
        std::vector<double> times(400), values(400);
        for (std::size_t i = 0; i < 400; ++i) {
            times[i] = 0.5 * i + (i >= c.at ? c.shift : 0);
            values[i] = i == c.at && c.shift == 0 ? NAN : std::sin(i * 1.7);
        }
        const AllanDeviation a = allanDeviation(times, values);
        ASSERT_EQ(a.gaps.size(), 1U);
        EXPECT_EQ(a.gapCount, 1U);
        EXPECT_EQ(a.gaps[0].index, c.gapIndex);
        EXPECT_EQ(a.gaps[0].to, times[c.gapIndex]);
        EXPECT_EQ(a.first, c.first);
        ASSERT_EQ(a.count, c.count);
        ASSERT_EQ(a.points.size(), c.count >= 256 ? 7U : 6U);
        EXPECT_NEAR(a.points[0].deviation, referenceDeviation(&values[c.first], c.count, 1), 1e-12);
    }
    for (const auto& v : std::vector<std::vector<double>>{{}, {1.0}, {NAN, NAN, NAN, NAN, NAN}})
        EXPECT_TRUE(allanDeviation(v, v).points.empty());
}

// Freedman-Diaconis; Scott where the middle half is one value; the cap; one
// bin for equal values; what is not a number is left out.
TEST(Histogram, BinsOnKnownData)
{
    std::vector<double> ramp, spike(90, 5.0), outlier;
    for (int i = 0; i < 1000; ++i) {
        (i < 100 ? ramp : outlier).push_back(i < 100 ? i : i * 1e-3);
        if (i < 5)
            spike.insert(spike.end(), {0.0, 10.0});
    }
    outlier.push_back(1e9);
    const std::pair<std::vector<double>, std::vector<std::size_t>> cases[] = {
        {ramp, {20, 20, 20, 20, 20}},
        {spike, {5, 0, 0, 0, 90, 0, 0, 0, 5}},
        {{3, 3, NAN, 3}, {3}},
        {{NAN}, {}}};
    for (const auto& [values, counts] : cases)
        EXPECT_EQ(histogram(values).counts, counts);
    EXPECT_EQ(histogram({3, NAN, INFINITY}).skipped, 2U);
    const Histogram r = histogram(ramp);
    EXPECT_NEAR(r.deviation, std::sqrt(100 * 9999 / 12.0 / 99), 1e-12);
    EXPECT_NEAR(r.normal[2], 100 * std::erf(9.9 / (r.deviation * std::sqrt(2))), 1e-9);
    EXPECT_EQ(histogram({3, 3, 3}).normal, std::vector<double>{3});
    const Histogram o = histogram(outlier, 200);
    ASSERT_EQ(o.counts.size(), 200U);
    EXPECT_EQ(o.counts.front() + o.counts.back(), 901U);
}

bool sameColumns(const std::vector<ColumnExtremes>& a, const std::vector<ColumnExtremes>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.present == y.present &&
               (!x.present || (x.minimum == y.minimum && x.maximum == y.maximum));
    });
}

// The scan every column is checked against: readings from `since` on and
// before `until`.
using View = std::array<double, 5>; // from, to, columns, since, until

std::vector<ColumnExtremes> scan(const std::vector<double>& times,
                                 const std::vector<double>& values, const View& view)
{
    const auto [from, to, columns, since, until] = view;
    const auto width = static_cast<std::size_t>(columns);
    std::vector<ColumnExtremes> out(width);
    for (std::size_t k = 0; k < times.size() && from < to; ++k) {
        for (std::size_t c = 0; c < width; ++c) {
            const double lo = from + (to - from) * c / width;
            const double hi = from + (to - from) * (c + 1) / width;
            ColumnExtremes& s = out[c];
            if (times[k] >= lo && (times[k] < hi || (c + 1 == width && times[k] <= to)) &&
                times[k] >= since && times[k] < until && !std::isnan(values[k])) {
                s = {s.present ? std::min(s.minimum, values[k]) : values[k],
                     s.present ? std::max(s.maximum, values[k]) : values[k], true};
            }
        }
    }
    return out;
}

// Every column against a scan of all readings, some cut to a series' times.
TEST(MinMaxPyramid, ColumnsMatchAScanOfEveryReading)
{
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> uniform(0, 1);
    MinMaxPyramid pyramid(5 * 4096);
    std::vector<double> times, values;
    double t = 100;
    for (int i = 0; i < 20000; ++i) {
        t += uniform(random) < 0.1 ? 0 : uniform(random); // equal times too
        times.push_back(t);
        values.push_back(uniform(random) < 0.01 ? NAN : uniform(random));
        pyramid.append(t, values.back());
    }
    EXPECT_FALSE(pyramid.append(t - 1, 0));
    EXPECT_FALSE(pyramid.append(NAN, 0));
    EXPECT_EQ(pyramid.refused(), 2U);
    ASSERT_EQ(pyramid.size(), 20000U);
    const double first = times[0], last = times.back(), inf = INFINITY;
    const View views[] = {{first, last, 1000, -inf, inf},
                          {first, last, 1, -inf, inf},
                          {first + 50, first + 60, 7, -inf, inf},
                          {0, first + 9, 30, -inf, inf},
                          {last, last + 9, 5, -inf, inf},
                          {last + 1, last + 9, 4, -inf, inf},
                          {first, last, 0, -inf, inf},
                          {last, first, 3, -inf, inf},
                          {first, last, 20, times[5000], times[9000]},
                          {first, last, 20, times[7000], inf},
                          {first + 50, first + 99, 7, first + 70, first + 71}};
    for (const auto& view : views) {
        const auto width = static_cast<std::size_t>(view[2]);
        EXPECT_TRUE(sameColumns(pyramid.columns(view[0], view[1], width, view[3], view[4]),
                                scan(times, values, view)))
            << view[0] << " " << width;
    }
    pyramid.clear();
    EXPECT_FALSE(pyramid.columns(0, 1e9, 3)[0].present);
    pyramid.append(4, 2);
    EXPECT_TRUE(sameColumns(pyramid.columns(0, 10, 2), {{2, 2, true}, {}}));
}

// Full, the store halves its entries and keeps going: a run eight times its
// size stays whole, and columns on whole groups (16 readings at the third
// level) are exact, the group still filling included.
TEST(MinMaxPyramid, CompactsWhenFullAndKeepsEveryColumnsExtremes)
{
    std::mt19937_64 random(9);
    std::uniform_real_distribution<double> uniform(-1, 1);
    MinMaxPyramid pyramid(4 * 4096);
    std::vector<double> times, values;
    for (int i = 0; i < 100003; ++i) {
        times.push_back(i);
        values.push_back(i % 1000 == 7 ? NAN : uniform(random) * (i % 5000 == 3 ? 9 : 1));
        pyramid.append(times.back(), values.back());
    }
    EXPECT_EQ(pyramid.level(), 3);
    EXPECT_EQ(pyramid.size(), 12500U);
    EXPECT_EQ(pyramid.readings(), 100003U);
    EXPECT_EQ(pyramid.lastTime(), 100002);
    EXPECT_FALSE(pyramid.append(100001.5, 0));
    for (const View& v : {View{0, 102400, 50, -INFINITY, INFINITY}, View{0, 102400, 1, 512, 1e5}}) {
        EXPECT_TRUE(
            sameColumns(pyramid.columns(v[0], v[1], static_cast<std::size_t>(v[2]), v[3], v[4]),
                        scan(times, values, v)));
    }
}

} // namespace
} // namespace lumodm
