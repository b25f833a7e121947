#include "readings/meter_comparison.h"

#include <cmath>
#include <gtest/gtest.h>

namespace lumodm {
namespace {

Reading at(int address, double value, int second, const char* unit = "V",
           Reading::Kind kind = Reading::Kind::Value)
{
    Reading r;
    r.kind = kind;
    r.meterAddress = address;
    r.valueInBase = value;
    r.baseUnit = QString::fromLatin1(unit);
    r.time = std::chrono::system_clock::time_point(std::chrono::seconds(second));
    return r;
}

// Each reading of meter 12 minus the latest of meter 14; a stale, failed
// or foreign-unit partner is a gap, and the Allan chain does not span it.
TEST(MeterComparison, PairsWithTheOthersLatestReadingAndSaysGaps)
{
    MeterComparison c;
    c.readingTaken(at(12, 10.0, 0), 12); // compares with nothing yet
    c.compareWith(14, QStringLiteral("DM5120 at 14"));
    const struct
    {
        Reading reading;
        const char* text; // after it
    } steps[] = {
        {at(12, 10.0, 1), "minus DM5120 at 14: - (- ppm)"},
        {at(14, 10.0, 1), "minus DM5120 at 14: - (- ppm)"},
        {at(12, 10.00001, 2), "minus DM5120 at 14: +10.00 µV (+1.000 ppm)"},
        {at(12, 9.99998, 3), "minus DM5120 at 14: -20.00 µV (-2.000 ppm)"},
        {at(14, 10.0, 4, "Ohm"), "minus DM5120 at 14: -20.00 µV (-2.000 ppm)"},
        {at(12, 10.0, 5), "minus DM5120 at 14: - (- ppm)"}, // another unit
        {at(14, 0.0, 6), "minus DM5120 at 14: - (- ppm)"},
        {at(12, 0.5, 7), "minus DM5120 at 14: +500.0 mV (- ppm)"},
        {at(12, 0.5, 37), "minus DM5120 at 14: - (- ppm)"}, // 31 s old
        {at(12, 1.0, 38, "V", Reading::Kind::Overflow), "minus DM5120 at 14: - (- ppm)"},
    };
    for (const auto& step : steps) {
        c.readingTaken(step.reading, 12);
        EXPECT_EQ(c.text(), QString::fromUtf8(step.text))
            << step.reading.time.time_since_epoch().count();
    }
    EXPECT_EQ(c.differences().values().count(), 3);
    EXPECT_NEAR(c.differences().values().mean(), (1e-5 - 2e-5 + 0.5) / 3, 1e-12);
    // Only 10 µV then -20 µV were neighbours: one step of 30 µV.
    EXPECT_NEAR(c.differences().allanDeviationOneStep().value_or(0), 3e-5 / std::sqrt(2.0), 1e-12);
    EXPECT_EQ(c.ppmDifferences().values().count(), 2);
    EXPECT_EQ(c.analysis().readings(), 3U);
    EXPECT_EQ(c.analysis().allanDeviation().allan.gaps.size(), 1U)
        << c.analysis().allanDeviation().text.toStdString();
    c.compareWith(0, QString());
    EXPECT_TRUE(c.text().isEmpty() && c.differences().values().count() == 0);
}

} // namespace
} // namespace lumodm
